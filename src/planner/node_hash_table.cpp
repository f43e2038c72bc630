// The closed set's hash table and its cursor.
// Depends on the containers' allocator (null instead of throwing).
#include "planner/node_hash_table.h"

#include <cstring>

#include "runtime/containers/container_storage.h"

namespace planner {

NodeHashTable::~NodeHashTable() { releaseBuckets(); }

NodeHashTable::NodeHashTable(const NodeHashTable& other) { adoptCopyOf(other); }

NodeHashTable& NodeHashTable::operator=(const NodeHashTable& other) {
    if (this != &other) adoptCopyOf(other);
    return *this;
}

bool NodeHashTable::adoptCopyOf(const NodeHashTable& other) {
    if (other.bits_ == 0) {
        releaseBuckets();
        single_ = other.buckets_[0];
        return true;
    }
    const size_t bytes = sizeof(Node*) * other.bucketCount();
    auto* copy = static_cast<Node**>(containers::obtainStorage(bytes));
    if (copy == nullptr) return false;
    std::memcpy(copy, other.buckets_, bytes);
    releaseBuckets();
    buckets_ = copy;
    bits_ = other.bits_;
    return true;
}

void NodeHashTable::releaseBuckets() {
    if (buckets_ != &single_) containers::releaseStorage(buckets_);
    buckets_ = &single_;
    single_ = nullptr;
    bits_ = 0;
}

int32_t NodeHashTable::init(int32_t bits) {
    int32_t b = bits < 0 ? 0 : (bits > kMaxBits ? kMaxBits : bits);
    b &= ~1;
    if (b == 0) {
        releaseBuckets();
        return 0;
    }
    const size_t bytes = sizeof(Node*) << b;
    auto* fresh = static_cast<Node**>(containers::obtainStorage(bytes));
    if (fresh == nullptr) return -1;
    std::memset(fresh, 0, bytes);
    releaseBuckets();
    buckets_ = fresh;
    bits_ = static_cast<uint32_t>(b);
    return b;
}

bool NodeHashTable::insert(Node* node) {
    if (node == nullptr) return false;
    Node*& head = buckets_[bucketOf(node->x, node->y)];
    for (Node* n = head; n != nullptr; n = n->next) {
        if (n == node) return false;
    }
    pushFront(head, node);
    return true;
}

uint32_t NodeHashTable::count() const {
    uint32_t total = 0;
    for (uint32_t b = 0; b < bucketCount(); ++b) {
        for (Node* n = buckets_[b]; n != nullptr; n = n->next) ++total;
    }
    return total;
}

void NodeHashTable::clearBuckets() { std::memset(buckets_, 0, sizeof(Node*) * bucketCount()); }

void NodeHashTable::releaseAll(NodeFactory& factory) {
    for (uint32_t b = 0; b < bucketCount(); ++b) {
        for (Node* n = buckets_[b]; n != nullptr; n = n->next) factory.giveBack();
    }
    clearBuckets();
}

Node* NodeHashTable::Cursor::find(int32_t x, int32_t y) {
    bucket_ = table_->bucketOf(x, y);
    link_ = &table_->buckets_[bucket_];
    for (Node* n = *link_; n != nullptr; n = n->next) {
        if (n->x == x && n->y == y) return node_ = n;
        link_ = &n->next;
    }
    link_ = nullptr;
    return node_ = nullptr;
}

Node* NodeHashTable::Cursor::unlink() {
    if (node_ == nullptr || link_ == nullptr) return nullptr;
    unlinkAt(link_, node_);
    return node_;
}

Node* NodeHashTable::Cursor::headFrom(uint32_t from) {
    const uint32_t buckets = table_->bucketCount();
    for (uint32_t b = from; b < buckets; ++b) {
        if (table_->buckets_[b] != nullptr) {
            bucket_ = b;
            link_ = &table_->buckets_[b];
            return node_ = *link_;
        }
    }
    link_ = nullptr;
    return node_ = nullptr;
}

Node* NodeHashTable::Cursor::first() { return headFrom(0); }

Node* NodeHashTable::Cursor::next() {
    if (node_ == nullptr) return nullptr;
    if (node_->next != nullptr) {
        link_ = &node_->next;
        return node_ = node_->next;
    }
    return headFrom(bucket_ + 1);
}

Node* NodeHashTable::Cursor::removeAndAdvance() {
    Node* removed = unlink();
    if (removed == nullptr) return nullptr;
    // The link that held the removed node now holds its successor.
    if (*link_ != nullptr) {
        node_ = *link_;
    } else {
        headFrom(bucket_ + 1);
    }
    return removed;
}

}  // namespace planner
