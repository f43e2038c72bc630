// NodeFactory: the pool that holds every node a grid search may use. Its
// storage is obtained when the pool is rebuilt, before a search; the search
// then takes the nodes in order by a counter and they come back all together
// when the planner is reset, so a search allocates nothing.
//
// Departure: the nodes sit in one block obtained at once rather than one
// allocation per node behind an array of pointers, and a node is made when
// it is first taken rather than when the pool is rebuilt. The order of
// handing out is the same (index 0 first); one allocation per setup and no
// work for nodes a search never takes keep the setup of a large grid as
// cheap as the search that follows, and the nodes close together.
// A rebuild obtains the new block before it lets the old one go, so a
// refused allocation leaves the old pool whole.
#pragma once
#include <cstdint>
#include <new>

#include "planner/node.h"

namespace planner {

class NodeFactory {
public:
    NodeFactory() = default;
    virtual ~NodeFactory();
    NodeFactory(const NodeFactory&) = delete;
    NodeFactory& operator=(const NodeFactory&) = delete;

    // A pool of n fresh nodes with none in use. n = 0 changes nothing and
    // gives false; so does storage that cannot be obtained.
    bool rebuild(uint32_t n);

    // The next unused node, made afresh (every field zero), or null when
    // there is no pool or every node is in use.
    Node* take() {
        if (nodes_ == nullptr || nextFree_ >= capacity_) return nullptr;
        return new (&nodes_[nextFree_++]) Node();
    }
    // Hands one node back: the count in use drops by one, never below 0.
    void giveBack();
    // Hands every node back at once.
    void giveBackAll() { nextFree_ = 0; }

    // Node i of the pool (null past the capacity); those below inUse() are in
    // use. A node never taken since the last rebuild holds nothing yet.
    Node* nodeAt(uint32_t i) const { return i < capacity_ ? &nodes_[i] : nullptr; }
    // Node i while it is in use, else null.
    Node* inUseAt(uint32_t i) const { return i < nextFree_ ? &nodes_[i] : nullptr; }
    // The index of a node of this pool.
    uint32_t indexOf(const Node* node) const { return static_cast<uint32_t>(node - nodes_); }
    uint32_t capacity() const { return capacity_; }
    uint32_t inUse() const { return nextFree_; }

private:
    uint32_t capacity_ = 0;
    Node* nodes_ = nullptr;  // capacity_ nodes; those below nextFree_ are in use
    uint32_t nextFree_ = 0;
};

}  // namespace planner
