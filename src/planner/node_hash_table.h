// NodeHashTable: the closed set of the grid search, a table of 2^bits chains
// keyed on the low bits of a node's x and y, with a cursor for lookup,
// removal and walking the whole table. The table links the nodes through
// their `next` field but never owns them: they belong to the NodeFactory.
//
// Rule that must hold: bits is even and at most 24, and the table always has
// 2^bits buckets. The one bucket of a 0-bit table lives inside the object,
// so an empty table needs no storage and cannot fail to exist.
// A bucket array that cannot be obtained leaves the table as it was: init
// then answers -1, and a copy keeps (or takes) the one-bucket empty table.
//
// Addition: every change to a chain keeps each node's `link` (the pointer
// that holds it) true, so that removePresent takes a node out in one step
// where the cursor walks the chain. A copy shares its source's chains, and
// their links lead into whichever table linked them last.
#pragma once
#include <cstdint>

#include "planner/node.h"
#include "planner/node_factory.h"

namespace planner {

class NodeHashTable {
public:
    static constexpr int32_t kMaxBits = 24;

    NodeHashTable() = default;
    virtual ~NodeHashTable();
    // A copy takes the other table's bits and its own copy of the bucket
    // array; the chains are shared, not copied.
    NodeHashTable(const NodeHashTable& other);
    NodeHashTable& operator=(const NodeHashTable& other);

    // 2^b empty buckets, where b is bits capped at 24, lowered by one when
    // odd, and 0 for a negative request. Returns b, or -1 (table unchanged)
    // when the bucket array cannot be obtained.
    int32_t init(int32_t bits);
    // The bucket of a cell: the low bits/2 bits of x, then those of y above them.
    uint32_t bucketOf(int32_t x, int32_t y) const {
        const uint32_t h = bits_ / 2;
        const uint32_t m = (uint32_t{1} << h) - 1;
        return (static_cast<uint32_t>(x) & m) | ((static_cast<uint32_t>(y) & m) << h);
    }

    // Puts the node at the head of its bucket's chain. False for null or for
    // a node already in that chain.
    bool insert(Node* node);
    // insert for a caller that knows the node is in no chain of the table:
    // the same place at the head, without walking the chain first.
    void insertAbsent(Node* node) { pushFront(buckets_[bucketOf(node->x, node->y)], node); }
    // Takes out a node that the caller knows is in a chain of this table,
    // as the cursor's find and unlink would, without walking the chain.
    void removePresent(Node* node) { unlinkAt(node->link, node); }
    // Nodes in all chains.
    uint32_t count() const;
    // Every bucket empty; the nodes are not handed back.
    void clearBuckets();
    // Every node of every chain goes back to the factory, then every bucket is emptied.
    void releaseAll(NodeFactory& factory);

    uint32_t bits() const { return bits_; }
    uint32_t bucketCount() const { return uint32_t{1} << bits_; }
    Node* bucketHead(uint32_t bucket) const { return bucket < bucketCount() ? buckets_[bucket] : nullptr; }

    // A position in the table: the bucket, the current node and the link that
    // holds it (the bucket entry or the `next` field of the node before it).
    class Cursor {
    public:
        explicit Cursor(NodeHashTable& table) : table_(&table) {}

        // The node of cell (x, y), or null (no current node) when it is not in the table.
        Node* find(int32_t x, int32_t y);
        // Takes the current node out of its chain and returns it; the cursor
        // still names it. Null without a current node.
        Node* unlink();
        // The first node of the lowest non-empty bucket; null for an empty table.
        Node* first();
        // The node after the current one, in its chain or else at the head of
        // the next non-empty bucket; null, with no current node, at the end
        // (and when there is no current node to go on from).
        Node* next();
        // Unlinks the current node and moves to the node that followed it
        // (same chain, else the next non-empty bucket); returns the removed
        // node, or null without a current node.
        Node* removeAndAdvance();

        uint32_t bucket() const { return bucket_; }
        Node* current() const { return node_; }

    private:
        // From bucket `from` on: the first non-empty bucket's head, or the end.
        Node* headFrom(uint32_t from);

        NodeHashTable* table_;
        uint32_t bucket_ = 0;
        Node* node_ = nullptr;
        Node** link_ = nullptr;
    };

private:
    // Puts the node at the head of the chain that `head` begins.
    static void pushFront(Node*& head, Node* node) {
        node->next = head;
        node->link = &head;
        if (head != nullptr) head->link = &node->next;
        head = node;
    }
    // Takes the node out of its chain, where `link` holds it.
    static void unlinkAt(Node** link, Node* node) {
        *link = node->next;
        if (node->next != nullptr) node->next->link = link;
    }

    bool adoptCopyOf(const NodeHashTable& other);
    void releaseBuckets();

    Node** buckets_ = &single_;  // 2^bits_ chain heads
    uint32_t bits_ = 0;          // even, 0 to 24
    Node* single_ = nullptr;     // the bucket of a 0-bit table
};

}  // namespace planner
