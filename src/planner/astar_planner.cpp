// The weighted A* search of the grid planner.
// Depends on the planner base and its node containers.
#include "planner/astar_planner.h"

#include <array>
#include <cstddef>
#include <cstdlib>
#include <utility>

namespace planner {

namespace {

struct Step {
    int8_t dx, dy;
    bool diagonal;
};
// The visiting order of the neighbours; must stay as it is, ties between
// equal routes are settled by it.
constexpr std::array<Step, 8> kSteps = {{
    {-1, -1, true}, {0, -1, false}, {1, -1, true}, {1, 0, false},
    {-1, 0, false}, {-1, 1, true},  {0, 1, false}, {1, 1, true},
}};
// A position no open list reaches.
constexpr uint32_t kNotOpen = UINT32_MAX;
// The straight ones among them, in the same order.
constexpr std::array<Step, 4> kStraightSteps = [] {
    std::array<Step, 4> straight{};
    size_t n = 0;
    for (const Step& step : kSteps) {
        if (!step.diagonal) straight[n++] = step;
    }
    return straight;
}();

}  // namespace

void AStarPlanner::start() {
    Planner::start();
    exhausted_ = false;
    if (grid_ == nullptr) return;
    Node* first = pool_.take();
    if (first == nullptr) return;
    first->x = request_.startX;
    first->y = request_.startY;
    if (!open_.push_back(OpenEntry{0.0f, pool_.indexOf(first)})) {
        pool_.giveBack();
        return;
    }
    GridCell& cell = reach(cellOf(first->x, first->y));
    cell.node = pool_.indexOf(first);
    cell.g = 0.0f;
}

uint32_t AStarPlanner::firstPositionAtMost(float f) const {
    return open_.partitionPoint([f](const OpenEntry& e) { return e.f <= f; });
}

bool AStarPlanner::openInsert(Node* node) {
    return open_.insertInPlace(firstPositionAtMost(node->f), OpenEntry{node->f, pool_.indexOf(node)});
}

uint32_t AStarPlanner::openPosition(const Node* node) const {
    // The nodes of equal f form one run, and the node is in it.
    const uint32_t index = pool_.indexOf(node);
    for (uint32_t i = firstPositionAtMost(node->f); i < open_.size() && open_.at(i).f == node->f; ++i) {
        if (open_.at(i).node == index) return i;
    }
    for (uint32_t i = open_.size(); i > 0; --i) {
        if (open_.at(i - 1).node == index) return i - 1;
    }
    return open_.size();  // not there: erase refuses it
}

void AStarPlanner::closeNode(Node* node, size_t cell) {
    closed_.insertAbsent(node);
    grid_[cell].node |= kClosedBit;
}

bool AStarPlanner::finish(Node* end) {
    finished_ = true;
    pathEnd_ = end;
    return true;
}

bool AStarPlanner::search() {
    if (grid_ == nullptr) return finish(nullptr);
    return request_.diagonalMoves != 0 ? searchWith<true>() : searchWith<false>();
}

template <bool kDiagonalMoves>
bool AStarPlanner::searchWith() {
    const int32_t gx = request_.goalX;
    const int32_t gy = request_.goalY;
    const int32_t width = request_.width;
    const int32_t height = request_.height;
    const float w = request_.heuristicWeight;
    const float d = request_.diagonalStepFactor != 0 ? kDiagonalFactor : 1.0f;
    static constexpr auto kOrder = [] {
        if constexpr (kDiagonalMoves) {
            return kSteps;
        } else {
            return kStraightSteps;
        }
    }();

    // Relaxes neighbour k of the current node, whose cell is `here`; false
    // when the pool or the open list has run out.
    auto visit = [&]<size_t k>(Node* current, size_t here) {
        static constexpr Step step = kOrder[k];
        const int32_t nx = current->x + step.dx;
        const int32_t ny = current->y + step.dy;
        if constexpr (step.dx < 0) {
            if (nx < 0) return true;
        } else if constexpr (step.dx > 0) {
            if (nx >= width) return true;
        }
        if constexpr (step.dy < 0) {
            if (ny < 0) return true;
        } else if constexpr (step.dy > 0) {
            if (ny >= height) return true;
        }
        GridCell& cell = reach(here + static_cast<size_t>(static_cast<ptrdiff_t>(step.dy) * width + step.dx));
        const float c = cell.cost;
        if (c < 0.0f) return true;  // a wall: passable cells cost more than 1
        const float g = current->g + (step.diagonal ? c * d : c);

        // The cell's node, in the closed set or in the open list, or none.
        if (cell.g <= g) return true;
        Node* node = nodeOf(cell);
        const float h = static_cast<float>(std::llabs(static_cast<int64_t>(gx) - nx) +
                                           std::llabs(static_cast<int64_t>(gy) - ny));
        const float f = (h - g) * w + g;
        uint32_t from = kNotOpen;  // where an open node that improves stands
        if (node != nullptr) {
            if ((cell.node & kClosedBit) != 0) {
                if (open_.full()) return false;
                closed_.removePresent(node);
            } else {
                from = openPosition(node);
            }
        } else {
            node = pool_.take();
            if (node == nullptr || open_.full()) {
                if (node != nullptr) pool_.giveBack();
                return false;
            }
            node->x = nx;
            node->y = ny;
        }
        node->parent = current;
        node->g = g;
        node->f = f;
        node->next = nullptr;
        cell.node = pool_.indexOf(node);
        cell.g = g;
        if (from == kNotOpen) {
            openInsert(node);
        } else {
            // From its place to its new one in one move, as erasing and
            // inserting it would place it (the list still holds it here).
            const uint32_t at = firstPositionAtMost(f);
            open_.reinsert(from, at > from ? at - 1 : at, OpenEntry{f, cell.node});
        }
        return true;
    };

    for (;;) {
        if (open_.empty()) return finish(nullptr);
        Node* current = pool_.nodeAt(open_.back().node);
        open_.pop_back();
        // The node most likely expanded next (unless one of this node's
        // neighbours goes behind it), fetched while this one is expanded.
        if (!open_.empty()) __builtin_prefetch(pool_.nodeAt(open_.back().node));
        const size_t here = cellOf(current->x, current->y);
        if (current->x == gx && current->y == gy) {
            closeNode(current, here);
            return finish(current);
        }
        // The rows above and below, fetched now, arrive while the
        // neighbours before them are visited.
        if (current->y > 0) {
            __builtin_prefetch(&grid_[here - static_cast<size_t>(width)]);
            __builtin_prefetch(&request_.costMap[here - static_cast<size_t>(width)]);
        }
        if (current->y + 1 < height) {
            __builtin_prefetch(&grid_[here + static_cast<size_t>(width)]);
            __builtin_prefetch(&request_.costMap[here + static_cast<size_t>(width)]);
        }
        // Every neighbour in order, the steps known when compiled; stops at the
        // first that finds the pool or the open list run out.
        const bool visited = [&]<size_t... k>(std::index_sequence<k...>) {
            return (visit.template operator()<k>(current, here) && ...);
        }(std::make_index_sequence<kOrder.size()>());
        if (!visited) exhausted_ = true;
        closeNode(current, here);
        if (exhausted_) return finish(nullptr);
    }
}

}  // namespace planner
