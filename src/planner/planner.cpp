// The planner base: request checks, the normalised cost grid with its cell
// index, the sizing of the node pool and both node sets, the release of nodes
// and the route queries.
// Depends on the node containers and the containers' allocator.
#include "planner/planner.h"

#include <cmath>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "runtime/containers/container_storage.h"

namespace planner {

namespace {

bool insideGrid(int32_t x, int32_t y, const PlannerInput& r) { return x >= 0 && x < r.width && y >= 0 && y < r.height; }

// The largest of the costs, or 0 when none is above 0; NaN never counts.
// Converting to single precision never reverses two costs, so the largest
// single-precision cost is the conversion of this. The one pass over the
// whole grid that setup makes: several running maxima, two costs to a
// register where the processor has them (its max takes the running value
// whenever the cost is NaN, as the plain comparison does).
double largestOf(const double* costs, uint32_t count) {
    // Costs asked for ahead of the pass (2 KiB), so that it runs at the
    // memory's pace whatever the search before it left in the caches.
    static constexpr uint32_t kScanAhead = 256;
    static constexpr uint32_t kLanes = 8;  // running maxima, two costs each
    uint32_t i = 0;
    double largest = 0.0;
#if defined(__SSE2__)
    __m128d m[kLanes];
    for (__m128d& lane : m) lane = _mm_setzero_pd();
    for (; i + 2 * kLanes <= count; i += 2 * kLanes) {
        if (i + kScanAhead < count) {
            __builtin_prefetch(costs + i + kScanAhead);
            __builtin_prefetch(costs + i + kScanAhead + 8);
        }
        for (uint32_t k = 0; k < kLanes; ++k) m[k] = _mm_max_pd(_mm_loadu_pd(costs + i + 2 * k), m[k]);
    }
    for (uint32_t k = 1; k < kLanes; ++k) m[0] = _mm_max_pd(m[k], m[0]);
    double pair[2];
    _mm_storeu_pd(pair, m[0]);
    largest = pair[0] > pair[1] ? pair[0] : pair[1];
#endif
    for (; i < count; ++i) largest = costs[i] > largest ? costs[i] : largest;
    return largest;
}

// Words of the bits that say which cells are written.
size_t reachedWords(size_t cells) { return (cells + 63) / 64; }

// The weight clamped into 0..1; NaN counts as 1, as the path commands make it.
float clampWeight(float w) {
    if (std::isnan(w)) return 1.0f;
    return w < 0.0f ? 0.0f : (w > 1.0f ? 1.0f : w);
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

    // The bits and the grid in one block; only the bits start out written.
    const size_t words = reachedWords(cells);
    reached_ = static_cast<uint64_t*>(containers::obtainStorage(sizeof(uint64_t) * words + sizeof(GridCell) * cells));
    if (reached_ == nullptr) return fail(SetupFault::OutOfStorage);
    std::memset(reached_, 0, sizeof(uint64_t) * words);
    grid_ = reinterpret_cast<GridCell*>(reached_ + words);
    const float largest = singleCost(largestOf(r.costMap, cells));
    if (!(largest > 0.0f)) {
        freeGrid();
        return fail(SetupFault::NoPassableCell);
    }

    const uint32_t poolSize = r.nodePoolSize == 0 ? cells : static_cast<uint32_t>(r.nodePoolSize);
    const uint32_t openCapacity = r.openListCapacity == 0 ? cells : static_cast<uint32_t>(r.openListCapacity);
    if (!pool_.rebuild(poolSize) || !open_.reset(openCapacity) || closed_.init(r.hashBits) < 0) {
        freeGrid();
        return fail(SetupFault::OutOfStorage);
    }

    request_ = r;
    request_.heuristicWeight = clampWeight(r.heuristicWeight);
    largestCost_ = largest;
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
    // A cell with a node is written afresh when a search next reaches it.
    // Forgetting whole words of bits also forgets cells without nodes next to
    // them, which only makes them be written again; a cell left written has
    // no node. Whichever is less work: a word per node, or every word.
    if (reached_ != nullptr) {
        const size_t words = reachedWords(static_cast<size_t>(request_.width) * static_cast<uint32_t>(request_.height));
        if (pool_.inUse() < words) {
            for (uint32_t i = 0; i < pool_.inUse(); ++i) {
                const Node* n = pool_.nodeAt(i);
                reached_[cellOf(n->x, n->y) / 64] = 0;
            }
        } else {
            std::memset(reached_, 0, sizeof(uint64_t) * words);
        }
    }
    // Every node in use is in one of the sets: they all go back together.
    pool_.giveBackAll();
    open_.clear();
    closed_.clearBuckets();
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
    containers::releaseStorage(reached_);
    grid_ = nullptr;
    reached_ = nullptr;
    largestCost_ = 0.0f;
    pathEnd_ = nullptr;
    request_ = PlannerInput{};
}

float Planner::gridCost(int32_t x, int32_t y) const {
    if (grid_ == nullptr || !insideGrid(x, y, request_)) return kBlockedCell;
    return normalisedCost(request_.costMap[cellOf(x, y)], largestCost_);
}

}  // namespace planner
