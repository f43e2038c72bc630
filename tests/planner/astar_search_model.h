// A plain, step-by-step model of the planner's weighted A* search, kept
// naive on purpose (an open list that is a sorted vector searched by a scan
// from the back, a closed set of hash chains searched node by node, a pool
// that is a vector) so that the planner's fast paths can be checked against
// it. Both describe what they hold as a SearchState, compared field by field.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "planner/astar_planner.h"

namespace plannertest {

struct NodeState {
    int32_t x, y;
    float f, g;
    int32_t parentX, parentY;  // -1, -1 for no parent
    bool operator==(const NodeState&) const = default;
};

// Everything a finished search leaves behind, in the orders that its
// expansion order decides.
struct SearchState {
    std::vector<NodeState> route;                // goal first, back to the start
    std::vector<NodeState> open;                 // front to back
    std::vector<std::vector<NodeState>> chains;  // the closed set, bucket by bucket, each chain from its head
    std::vector<NodeState> taken;                // the nodes in use, in the order they were taken
    bool exhausted = false;
    bool operator==(const SearchState&) const = default;
};

// How often the model's searches took a node back out of the closed set, and
// improved a node of the open list (to show that random rounds reach both).
struct ModelCounts {
    uint64_t reopened = 0;
    uint64_t improvedOpen = 0;
};

// The model: setup, start and search of one request, all in one; adds to
// the counts when given. Null when setup would refuse the request (start
// equal to goal, or no cost above 0).
std::optional<SearchState> modelSearch(const planner::PlannerInput& request, ModelCounts* counts = nullptr);

// What a planner holds now (reads its protected sets).
class InspectablePlanner : public planner::AStarPlanner {
public:
    SearchState state() const;
};

}  // namespace plannertest
