// The node pool: one block of nodes handed out by a counter, each made when taken.
// Depends on the containers' allocator (null instead of throwing).
#include "planner/node_factory.h"

#include "runtime/containers/container_storage.h"

namespace planner {

NodeFactory::~NodeFactory() { containers::releaseStorage(nodes_); }

bool NodeFactory::rebuild(uint32_t n) {
    if (n == 0) return false;
    void* fresh = containers::obtainStorage(static_cast<size_t>(n) * sizeof(Node));
    if (fresh == nullptr) return false;
    containers::releaseStorage(nodes_);
    nodes_ = static_cast<Node*>(fresh);
    capacity_ = n;
    nextFree_ = 0;
    return true;
}

void NodeFactory::giveBack() {
    if (nextFree_ > 0) --nextFree_;
}

}  // namespace planner
