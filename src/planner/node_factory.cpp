// The node pool: one block of nodes handed out by a counter.
// Depends on the containers' allocator (null instead of throwing).
#include "planner/node_factory.h"

#include <new>

#include "runtime/containers/container_storage.h"

namespace planner {

NodeFactory::~NodeFactory() { containers::releaseStorage(nodes_); }

bool NodeFactory::rebuild(uint32_t n) {
    if (n == 0) return false;
    void* raw = containers::obtainStorage(static_cast<size_t>(n) * sizeof(Node));
    if (raw == nullptr) return false;
    Node* fresh = static_cast<Node*>(raw);
    for (uint32_t i = 0; i < n; ++i) new (fresh + i) Node();
    containers::releaseStorage(nodes_);
    nodes_ = fresh;
    capacity_ = n;
    nextFree_ = 0;
    return true;
}

Node* NodeFactory::take() {
    if (nodes_ == nullptr || nextFree_ >= capacity_) return nullptr;
    return &nodes_[nextFree_++];
}

void NodeFactory::giveBack() {
    if (nextFree_ > 0) --nextFree_;
}

}  // namespace planner
