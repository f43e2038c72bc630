// AStarPlanner: the weighted A* search over the planner's grid. The open
// list is kept in non-increasing order of f = (1 - w) * g + w * h, where g is
// the cost from the start and h the Manhattan distance to the goal in cells,
// so the best node is at its back; among equal f the node inserted first is
// expanded first. With w = 0 the search orders by cost alone, with w = 1 by
// distance alone, and with w = 0.5 as the classic g + h.
//
// Neighbours are visited in one fixed order (y grows downwards): up-left*,
// up, up-right*, right, left, down-left*, down, down-right*; the starred ones
// only when the request allows diagonal moves. A diagonal step may pass
// between two walls. A step costs the normalised cost of the cell entered
// (times the diagonal factor for a diagonal step when that is set); the start
// cell's own cost never counts, so a search may start on a wall.
//
// A pool or an open list smaller than the request needs (only possible with
// sizes given in the request) ends the search as if no route existed;
// exhausted() then tells so. No missing node is ever used.
//
// The search finds a cell's node through the planner's cell index rather than
// by a look in the closed set and a scan of the open list, and moves an open
// node whose cost improves from its old place to its new one in one shift;
// the order of the open list, the closed set and the expansions are those of
// the plain steps.
#pragma once
#include "planner/planner.h"

namespace planner {

class AStarPlanner : public Planner {
public:
    AStarPlanner() = default;
    ~AStarPlanner() override = default;

    // The start node alone in the open list (nothing when setup failed).
    void start() override;
    // Expands nodes until the goal is taken from the open list or the list
    // runs empty; always returns true. The route is read from pathEnd().
    bool search() override;

    // True when the last search ran out of pool nodes or open-list room.
    bool exhausted() const { return exhausted_; }

private:
    // The first position of the open list whose node has f <= the given f
    // (the size when there is none), by a search of the sorted list.
    uint32_t firstPositionAtMost(float f) const;
    // Inserts at the first position whose f is <= the node's f: among equal
    // f the new node lies nearer the front and is expanded later.
    bool openInsert(Node* node);
    // Position of a node of the open list.
    uint32_t openPosition(const Node* node) const;
    // Into the closed set (the node, of that cell, is in no set).
    void closeNode(Node* node, size_t cell);
    bool finish(Node* end);
    // The search, with or without the four diagonal neighbours.
    template <bool kDiagonalMoves>
    bool searchWith();

    bool exhausted_ = false;
};

}  // namespace planner
