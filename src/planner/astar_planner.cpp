// The weighted A* search of the grid planner.
// Depends on the planner base and its node containers.
#include "planner/astar_planner.h"

#include <cstddef>
#include <cstdlib>

namespace planner {

namespace {

struct Step {
    int8_t dx, dy;
    bool diagonal;
};
// The visiting order of the neighbours; must stay as it is, ties between
// equal routes are settled by it.
constexpr Step kSteps[8] = {
    {-1, -1, true}, {0, -1, false}, {1, -1, true}, {1, 0, false},
    {-1, 0, false}, {-1, 1, true},  {0, 1, false}, {1, 1, true},
};

}  // namespace

void AStarPlanner::start() {
    Planner::start();
    exhausted_ = false;
    if (grid_ == nullptr) return;
    Node* first = pool_.take();
    if (first == nullptr) return;
    *first = Node{nullptr, request_.startX, request_.startY, 0.0f, 0.0f, nullptr};
    if (!open_.push_back(first)) {
        pool_.giveBack();
        return;
    }
    const size_t cell = cellOf(first->x, first->y);
    cellNode_[cell] = first;
    cellState_[cell] = kInOpenList;
}

uint32_t AStarPlanner::firstPositionAtMost(float f) const {
    uint32_t lo = 0;
    uint32_t hi = open_.size();
    while (lo < hi) {
        const uint32_t mid = lo + (hi - lo) / 2;
        if (open_.at(mid)->f <= f) {
            hi = mid;
        } else {
            lo = mid + 1;
        }
    }
    return lo;
}

bool AStarPlanner::openInsert(Node* node) { return open_.insert(firstPositionAtMost(node->f), node); }

uint32_t AStarPlanner::openPosition(const Node* node) const {
    // The nodes of equal f form one run, and the node is in it.
    for (uint32_t i = firstPositionAtMost(node->f); i < open_.size() && open_.at(i)->f == node->f; ++i) {
        if (open_.at(i) == node) return i;
    }
    for (uint32_t i = open_.size(); i > 0; --i) {
        if (open_.at(i - 1) == node) return i - 1;
    }
    return open_.size();  // not there: erase refuses it
}

void AStarPlanner::closeNode(Node* node) {
    closed_.insertAbsent(node);
    cellState_[cellOf(node->x, node->y)] = kInClosedSet;
}

bool AStarPlanner::finish(Node* end) {
    finished_ = true;
    pathEnd_ = end;
    return true;
}

bool AStarPlanner::search() {
    if (grid_ == nullptr) return finish(nullptr);
    const int32_t gx = request_.goalX;
    const int32_t gy = request_.goalY;
    const int32_t width = request_.width;
    const int32_t height = request_.height;
    const float w = request_.heuristicWeight;
    const float d = request_.diagonalStepFactor != 0 ? kDiagonalFactor : 1.0f;
    const int steps = request_.diagonalMoves != 0 ? 8 : 4;
    static constexpr int kStraight[4] = {1, 3, 4, 6};
    NodeHashTable::Cursor cursor(closed_);

    for (;;) {
        if (open_.empty()) return finish(nullptr);
        Node* current = open_.back();
        open_.pop_back();
        if (current->x == gx && current->y == gy) {
            closeNode(current);
            return finish(current);
        }
        for (int s = 0; s < steps; ++s) {
            const Step& step = kSteps[steps == 8 ? s : kStraight[s]];
            const int32_t nx = current->x + step.dx;
            const int32_t ny = current->y + step.dy;
            if (nx < 0 || nx >= width || ny < 0 || ny >= height) continue;
            const size_t cell = cellOf(nx, ny);
            const float c = grid_[cell];
            if (c == kBlockedCell) continue;
            const float g = current->g + (step.diagonal ? c * d : c);
            const float h = static_cast<float>(std::llabs(static_cast<int64_t>(gx) - nx) +
                                               std::llabs(static_cast<int64_t>(gy) - ny));
            const float f = (h - g) * w + g;

            // The cell's node, in the closed set or in the open list, or none.
            Node* node = cellNode_[cell];
            if (node != nullptr) {
                if (node->g <= g) continue;
                if (cellState_[cell] == kInClosedSet) {
                    if (open_.full()) {
                        exhausted_ = true;
                        break;
                    }
                    cursor.find(nx, ny);
                    cursor.unlink();
                } else {
                    open_.erase(openPosition(node));
                }
            } else {
                node = pool_.take();
                if (node == nullptr || open_.full()) {
                    if (node != nullptr) pool_.giveBack();
                    exhausted_ = true;
                    break;
                }
                node->x = nx;
                node->y = ny;
                cellNode_[cell] = node;
            }
            node->parent = current;
            node->g = g;
            node->f = f;
            node->next = nullptr;
            cellState_[cell] = kInOpenList;
            openInsert(node);
        }
        closeNode(current);
        if (exhausted_) return finish(nullptr);
    }
}

}  // namespace planner
