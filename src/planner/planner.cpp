// The planner base: request checks, the normalised cost grid, the sizing of
// the node pool and both node sets, the release of nodes and the route queries.
// Depends on the node containers and the containers' allocator.
#include "planner/planner.h"

#include <cfloat>
#include <cmath>
#include <cstring>

#include "runtime/containers/container_storage.h"

namespace planner {

namespace {

bool insideGrid(int32_t x, int32_t y, const PlannerInput& r) { return x >= 0 && x < r.width && y >= 0 && y < r.height; }

// The weight clamped into 0..1; NaN counts as 1, as the path commands make it.
float clampWeight(float w) {
    if (std::isnan(w)) return 1.0f;
    return w < 0.0f ? 0.0f : (w > 1.0f ? 1.0f : w);
}

// A caller's cost in single precision: positive costs above the float range
// count as the largest float; everything not above 0 (NaN included) and
// positive costs too small for a float are walls.
float cellCost(double cost) {
    if (!(cost > 0.0)) return kBlockedCell;
    const float value = cost > static_cast<double>(FLT_MAX) ? FLT_MAX : static_cast<float>(cost);
    return value > 0.0f ? value : kBlockedCell;
}

}  // namespace

Planner::~Planner() {
    reset();
    freeGrid();
}

bool Planner::setup(const PlannerInput& request) {
    const PlannerInput& r = request;
    if (r.width <= 0 || r.height <= 0 || r.costMap == nullptr || r.nodePoolSize < 0 || r.openListCapacity < 0) {
        return fail(SetupFault::BadRequest);
    }
    if (!insideGrid(r.startX, r.startY, r) || !insideGrid(r.goalX, r.goalY, r)) return fail(SetupFault::BadRequest);
    if (r.startX == r.goalX && r.startY == r.goalY) return fail(SetupFault::BadRequest);
    const int64_t cells64 = static_cast<int64_t>(r.width) * r.height;
    if (cells64 > INT32_MAX) return fail(SetupFault::TooLarge);
    const uint32_t cells = static_cast<uint32_t>(cells64);

    // The nodes of an earlier search go back before anything they live in changes.
    releaseNodes();
    if (grid_ != nullptr) freeGrid();
    pathEnd_ = nullptr;

    grid_ = static_cast<float*>(containers::obtainStorage(sizeof(float) * cells));
    cellNode_ = static_cast<Node**>(containers::obtainStorage((sizeof(Node*) + sizeof(CellState)) * cells));
    if (grid_ == nullptr || cellNode_ == nullptr) {
        freeGrid();
        return fail(SetupFault::OutOfStorage);
    }
    cellState_ = reinterpret_cast<CellState*>(cellNode_ + cells);
    std::memset(cellNode_, 0, (sizeof(Node*) + sizeof(CellState)) * cells);
    float largest = 0.0f;
    for (uint32_t i = 0; i < cells; ++i) {
        const float value = cellCost(r.costMap[i]);
        grid_[i] = value;
        if (value > largest) largest = value;
    }
    if (!(largest > 0.0f)) {
        freeGrid();
        return fail(SetupFault::NoPassableCell);
    }
    // Passable cells cost more than 1 and at most 2.
    for (uint32_t i = 0; i < cells; ++i) {
        if (grid_[i] > 0.0f) grid_[i] = grid_[i] / largest + 1.0f;
    }

    const uint32_t poolSize = r.nodePoolSize == 0 ? cells : static_cast<uint32_t>(r.nodePoolSize);
    const uint32_t openCapacity = r.openListCapacity == 0 ? cells : static_cast<uint32_t>(r.openListCapacity);
    if (!pool_.rebuild(poolSize) || !open_.reset(openCapacity) || closed_.init(r.hashBits) < 0) {
        freeGrid();
        return fail(SetupFault::OutOfStorage);
    }

    request_ = r;
    request_.heuristicWeight = clampWeight(r.heuristicWeight);
    pathEnd_ = nullptr;
    finished_ = true;
    setupFault_ = SetupFault::None;
    return true;
}

void Planner::start() {
    releaseNodes();
    finished_ = false;
    pathEnd_ = nullptr;
}

void Planner::releaseNodes() {
    if (cellNode_ != nullptr) {
        // Every node in use is in one of the sets, and only those are indexed.
        for (uint32_t i = 0; i < pool_.inUse(); ++i) {
            const Node* n = pool_.nodeAt(i);
            const size_t cell = cellOf(n->x, n->y);
            cellNode_[cell] = nullptr;
            cellState_[cell] = kNoNode;
        }
    }
    for (uint32_t i = open_.size(); i > 0; --i) pool_.giveBack();
    open_.clear();
    closed_.releaseAll(pool_);
}

void Planner::reset() {
    releaseNodes();
    pathEnd_ = nullptr;
    finished_ = true;
}

uint32_t Planner::pathLength() const {
    uint32_t length = 0;
    for (const Node* n = pathEnd_; n != nullptr; n = n->parent) ++length;
    return length;
}

void Planner::freeGrid() {
    containers::releaseStorage(grid_);
    containers::releaseStorage(cellNode_);
    grid_ = nullptr;
    cellNode_ = nullptr;
    cellState_ = nullptr;
    pathEnd_ = nullptr;
    request_ = PlannerInput{};
}

float Planner::gridCost(int32_t x, int32_t y) const {
    if (grid_ == nullptr || !insideGrid(x, y, request_)) return kBlockedCell;
    return grid_[cellOf(x, y)];
}

}  // namespace planner
