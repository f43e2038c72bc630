// One search node of the grid planner: the cell it stands for, how it was
// reached and what it costs. Nodes live in the pool of a NodeFactory and are
// chained through `next` while they sit in a NodeHashTable.
//
// Addition: `link`, the pointer that holds the node in its chain, lets the
// table take a node out of a long chain without walking it (a search that
// reopens closed nodes does so for most nodes it expands).
#pragma once
#include <cstdint>

namespace planner {

struct Node {
    Node* parent = nullptr;  // the node it was reached from; null for the start node
    int32_t x = 0;           // column
    int32_t y = 0;           // row
    float f = 0.0f;          // priority in the open list (smaller is expanded first)
    float g = 0.0f;          // cost from the start
    Node* next = nullptr;    // next node in the same hash-table chain
    Node** link = nullptr;   // while in a chain: the bucket entry or the `next` of the node before it, which holds this node
};

}  // namespace planner
