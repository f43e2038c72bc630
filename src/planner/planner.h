// Planner: the base of the grid path planners. It holds the request, the
// cost grid (the caller's costs normalised into single precision), the node
// pool, the open list and the closed set; a derived class seeds the open list
// (start) and runs the search (search). Every node a search may need is
// provided for by setup, so a search allocates nothing.
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
// Departures that make setup, start and reset cost what a search touches
// rather than the whole grid (a greedy search over a large grid touches a
// sliver of it), with the same routes, sets and orders:
// - setup reads every cost once, for the largest, but normalises a cell's
//   cost only when a search first reaches it, reading it then from the
//   caller's cost map: the costs must stay where they are, unchanged, from
//   setup to the end of the last search or gridCost (the path commands
//   hold them for the whole call);
// - each cell also names its node, the set it is in and its g (the cell
//   index), so that a search finds a cell's node without walking a hash
//   chain or scanning the open list. Handing the nodes back forgets the
//   cells they stood for (one bit each), so that start and reset cost what
//   the last search touched;
// - the open list holds each node as its pool index beside a copy of its f
//   rather than as a pointer, so that finding a place in it reads no node;
//   it is the same sorted ring in the same order.
#pragma once
#include <cfloat>
#include <cmath>
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
    // The normalised cost of a cell (-1 for a wall, outside the grid or with
    // no grid); tests and tools read it.
    float gridCost(int32_t x, int32_t y) const;
    const NodeFactory& pool() const { return pool_; }

protected:
    // One cell of the grid, written when a search first reaches it.
    struct GridCell {
        float cost;     // normalised; kBlockedCell for a wall
        uint32_t node;  // the cell index: pool index of the cell's node (kNoNode for none), kClosedBit set while it is closed
        float g;        // the node's g (+infinity without one), kept here so that a step that improves nothing reads no node
    };
    // An element of the open list: the pool index of a node and a copy of
    // its f (which never changes while the node is in the list), so that the
    // binary search over the list reads the ring alone.
    struct OpenEntry {
        float f;
        uint32_t node;
    };
    static constexpr uint32_t kClosedBit = 0x80000000u;
    // An index entry that names no node (no pool index reaches it: the pool
    // holds at most INT32_MAX nodes).
    static constexpr uint32_t kNoNode = 0x7FFFFFFFu;

    // The node a cell's index entry names, or null.
    Node* nodeOf(const GridCell& cell) const {
        return cell.node == kNoNode ? nullptr : pool_.nodeAt(cell.node & ~kClosedBit);
    }
    // Cell i of the grid, written first when no search since the cell was
    // last forgotten has reached it.
    GridCell& reach(size_t i) {
        uint64_t& word = reached_[i / 64];
        const uint64_t bit = uint64_t{1} << (i % 64);
        if ((word & bit) == 0) {
            word |= bit;
            grid_[i] = GridCell{normalisedCost(request_.costMap[i], largestCost_), kNoNode, HUGE_VALF};
        }
        return grid_[i];
    }
    // A caller's cost normalised by the largest: passable cells cost more
    // than 1 and at most 2.
    static float normalisedCost(double cost, float largest) {
        const float value = singleCost(cost);
        return value > 0.0f ? value / largest + 1.0f : kBlockedCell;
    }
    // A caller's cost in single precision: positive costs above the float
    // range count as the largest float; everything not above 0 (NaN
    // included) and positive costs too small for a float are walls.
    static float singleCost(double cost) {
        if (!(cost > 0.0)) return kBlockedCell;
        const float value = cost > static_cast<double>(FLT_MAX) ? FLT_MAX : static_cast<float>(cost);
        return value > 0.0f ? value : kBlockedCell;
    }

    // Every node of the open list and the closed set goes back to the pool,
    // and the cells they stood for are forgotten.
    void releaseNodes();
    size_t cellOf(int32_t x, int32_t y) const {
        return static_cast<size_t>(y) * static_cast<uint32_t>(request_.width) + static_cast<uint32_t>(x);
    }

    bool finished_ = true;  // false only between start and the end of search
    NodeFactory pool_;
    PlannerInput request_{};
    uint64_t* reached_ = nullptr;  // a bit per cell, set once the cell is written; the grid follows in the same storage
    GridCell* grid_ = nullptr;     // width * height cells, row after row
    float largestCost_ = 0.0f;     // the largest single-precision cost, which normalises the others
    // The open list: non-increasing f from front to back, the best node at
    // the back; among equal f the node inserted first lies nearer the back.
    FixedDeque<OpenEntry> open_;
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
