// Planner: the base of the grid path planners. It owns the cost grid (the
// caller's costs normalised into single precision), the node pool, the open
// list and the closed set; a derived class seeds the open list (start) and
// runs the search (search). Every node a search may need is made by setup,
// so a search allocates nothing.
//
// Calling order: construct, setup; when setup succeeds start, search, read
// the route from pathEnd(), reset; destroy in every case. reset keeps the
// grid and the request, so a search can be run again on the same setup.
//
// Departures, each closing a way to a crash or a wrong route:
// - setup refuses a request whose width or height is not positive, whose
//   cost map is missing, whose pool size or open-list capacity is negative,
//   or whose cell count (or pool size) exceeds the signed 32-bit range, and
//   tells a refusal apart from storage it could not obtain (setupFault());
// - setup and start hand back the nodes of an earlier search first, so a
//   rebuilt pool never leaves the sets pointing at freed nodes and a second
//   start never sees the closed set of the first;
// - a setup that fails after the old grid is gone leaves the planner without
//   a grid: start then places nothing and search ends at once with no route;
// - costs above the largest float (and +infinity) count as the largest
//   float, NaN costs as walls, and a NaN weight as 1.
// Addition: beside the grid the planner keeps a cell index, the node of each
// cell and the set it is in, so that a search finds a cell's node without
// walking a hash chain or scanning the open list. The sets themselves, their
// orders and every route are as without it.
#pragma once
#include <cstddef>
#include <cstdint>

#include "planner/fixed_deque.h"
#include "planner/node.h"
#include "planner/node_factory.h"
#include "planner/node_hash_table.h"

namespace planner {

// A request for a route, copied whole into the planner by setup.
struct PlannerInput {
    int32_t startX = 0;             // column of the start cell
    int32_t startY = 0;             // row of the start cell
    int32_t goalX = 0;              // column of the goal cell
    int32_t goalY = 0;              // row of the goal cell
    uint8_t diagonalStepFactor = 0; // non-zero: a diagonal step costs the entered cell's cost times kDiagonalFactor
    uint8_t diagonalMoves = 0;      // non-zero: the four diagonal neighbours are expanded too
    int32_t nodePoolSize = 0;       // nodes to make; 0 means width * height
    int32_t openListCapacity = 0;   // 0 means width * height
    int32_t hashBits = 0;           // size exponent of the closed set (capped at 24, rounded down to even)
    float heuristicWeight = 0.0f;   // w: f = (1 - w) * g + w * h, clamped by setup into 0..1
    int32_t width = 0;              // columns
    int32_t height = 0;             // rows
    const double* costMap = nullptr;  // width * height costs, row after row: cell (x, y) is y * width + x
};

// Why the last setup failed.
enum class SetupFault {
    None,           // it succeeded
    BadRequest,     // bad shape or sizes, start or goal outside the grid, start equal to goal
    NoPassableCell, // no cost greater than 0
    TooLarge,       // the cell count or the pool size beyond the signed 32-bit range
    OutOfStorage,   // the grid, the pool, the open list or the closed set could not be obtained
};

// Step costs: a diagonal step with the factor set costs the entered cell
// times this (the value of the square root of 2 that routes were always
// costed with).
inline constexpr float kDiagonalFactor = 1.4142137f;
// The grid value of a wall.
inline constexpr float kBlockedCell = -1.0f;

class Planner {
public:
    Planner() = default;
    virtual ~Planner();
    Planner(const Planner&) = delete;
    Planner& operator=(const Planner&) = delete;

    // Validates the request, builds the normalised grid and sizes the pool,
    // the open list and the closed set. False means the planner must not be
    // searched; setupFault() says why.
    bool setup(const PlannerInput& request);
    // Prepares a search: finished flag 0, no path end.
    virtual void start();
    // Runs the whole search; true when it has finished.
    virtual bool search() = 0;
    // Every node back to the pool, both sets empty, no path end, finished.
    virtual void reset();

    // g of the path end; -1 without a route.
    float pathCost() const { return pathEnd_ != nullptr ? pathEnd_->g : -1.0f; }
    // Nodes on the route, start and goal included; 0 without a route.
    uint32_t pathLength() const;
    uint32_t openListSize() const { return open_.size(); }
    uint32_t knownNodeCount() const { return closed_.count(); }
    // Frees the grid, forgets the path end and zeroes the request copy.
    void freeGrid();

    // The goal node once a route is found, else null; the route is its parent chain.
    const Node* pathEnd() const { return pathEnd_; }
    bool finished() const { return finished_; }
    SetupFault setupFault() const { return setupFault_; }
    const PlannerInput& request() const { return request_; }
    // The normalised cost of a cell (-1 for a wall or with no grid); tests and tools read it.
    float gridCost(int32_t x, int32_t y) const;
    const NodeFactory& pool() const { return pool_; }

protected:
    // Where a cell's node is: in no set, in the open list or in the closed set.
    enum CellState : uint8_t { kNoNode = 0, kInOpenList = 1, kInClosedSet = 2 };

    // Every node of the open list and the closed set goes back to the pool,
    // and the cell index forgets them.
    void releaseNodes();
    size_t cellOf(int32_t x, int32_t y) const {
        return static_cast<size_t>(y) * static_cast<uint32_t>(request_.width) + static_cast<uint32_t>(x);
    }

    bool finished_ = true;  // false only between start and the end of search
    NodeFactory pool_;
    PlannerInput request_{};
    float* grid_ = nullptr;  // width * height normalised costs; kBlockedCell for a wall
    // The cell index, present exactly when the grid is: for each cell its
    // node while that node is in a set, and which set.
    Node** cellNode_ = nullptr;
    CellState* cellState_ = nullptr;
    FixedDeque<Node*> open_;  // non-increasing f from front to back: the best node at the back
    NodeHashTable closed_;
    Node* pathEnd_ = nullptr;

private:
    bool fail(SetupFault fault) {
        setupFault_ = fault;
        return false;
    }

    SetupFault setupFault_ = SetupFault::None;
};

}  // namespace planner
