// The node pool, the closed-set hash table with its cursor, and the open-list ring.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

#include "planner/fixed_deque.h"
#include "planner/node_factory.h"
#include "planner/node_hash_table.h"
#include "planner_test_support.h"

using planner::FixedDeque;
using planner::Node;
using planner::NodeFactory;
using planner::NodeHashTable;
using plannertest::ScopedRefuseStorage;

namespace {
Node cell(int32_t x, int32_t y) { return Node{nullptr, x, y, 0.0f, 0.0f, nullptr}; }
}  // namespace

TEST(NodeFactory, HandsOutFreshNodesAndTakesThemAllBackAtOnce) {
    NodeFactory pool;
    ASSERT_TRUE(pool.rebuild(3));
    Node* a = pool.take();
    *a = Node{a, 4, 5, 6.0f, 7.0f, a, &a->next};
    pool.take();
    EXPECT_EQ(pool.inUseAt(1), a + 1);
    EXPECT_EQ(pool.inUseAt(2), nullptr);
    EXPECT_EQ(pool.indexOf(a + 1), 1u);
    pool.giveBackAll();
    EXPECT_EQ(pool.inUse(), 0u);
    EXPECT_EQ(pool.inUseAt(0), nullptr);
    ASSERT_EQ(pool.take(), a);  // the same node, made afresh
    EXPECT_EQ(a->parent, nullptr);
    EXPECT_EQ(a->x + a->y, 0);
    EXPECT_EQ(a->f + a->g, 0.0f);
    EXPECT_EQ(a->next, nullptr);
    EXPECT_EQ(a->link, nullptr);
}

TEST(NodeFactory, HandsOutInOrderKeepsItsPoolOnAFailedRebuild) {
    NodeFactory pool;
    EXPECT_EQ(pool.take(), nullptr);
    pool.giveBack();  // never below 0
    ASSERT_TRUE(pool.rebuild(2));
    Node* a = pool.take();
    EXPECT_EQ(pool.take(), a + 1);
    EXPECT_EQ(pool.take(), nullptr);
    EXPECT_FALSE(pool.rebuild(0));
    {
        ScopedRefuseStorage refuse;
        EXPECT_FALSE(pool.rebuild(4));
    }
    EXPECT_EQ(pool.capacity(), 2u);
    EXPECT_EQ(pool.inUse(), 2u);
    for (int i = 0; i < 3; ++i) pool.giveBack();
    EXPECT_EQ(pool.take(), a);
    ASSERT_TRUE(pool.rebuild(4));
    EXPECT_EQ(pool.inUse(), 0u);
    EXPECT_EQ(pool.capacity(), 4u);
}

TEST(NodeHashTable, InitCapsAndEvensTheBitsBucketsTakeTheLowBits) {
    NodeHashTable table;
    EXPECT_EQ(table.bucketCount(), 1u);
    EXPECT_EQ(table.bucketOf(1234, 5678), 0u);
    EXPECT_EQ(table.init(25), 24);
    EXPECT_EQ(table.init(7), 6);
    EXPECT_EQ(table.init(-3), 0);
    EXPECT_EQ(table.init(0), 0);
    EXPECT_EQ(table.bucketCount(), 1u);
    EXPECT_EQ(table.init(9), 8);
    {
        ScopedRefuseStorage refuse;
        EXPECT_EQ(table.init(10), -1);
    }
    EXPECT_EQ(table.bits(), 8u);
    EXPECT_EQ(table.bucketOf(17, 3), 1u | (3u << 4));
    EXPECT_EQ(table.bucketOf(15, 15), 255u);
    EXPECT_EQ(table.bucketOf(16, 32), 0u);
}

TEST(NodeHashTable, InsertFindUnlinkWithinOneChain) {
    NodeHashTable table;
    table.init(8);
    Node a = cell(1, 1), b = cell(17, 1), c = cell(33, 1);  // one bucket
    EXPECT_FALSE(table.insert(nullptr));
    for (Node* n : {&a, &b, &c}) EXPECT_TRUE(table.insert(n));
    EXPECT_FALSE(table.insert(&a));
    EXPECT_EQ(table.count(), 3u);
    EXPECT_EQ(table.bucketHead(table.bucketOf(1, 1)), &c);  // chain c, b, a
    NodeHashTable::Cursor cursor(table);
    EXPECT_EQ(cursor.find(49, 1), nullptr);
    EXPECT_EQ(cursor.unlink(), nullptr);
    EXPECT_EQ(cursor.find(17, 1), &b);
    EXPECT_EQ(cursor.unlink(), &b);
    EXPECT_EQ(cursor.current(), &b);
    EXPECT_EQ(c.next, &a);
    EXPECT_EQ(cursor.find(17, 1), nullptr);
    EXPECT_EQ(cursor.find(33, 1), &c);
    cursor.unlink();
    EXPECT_EQ(table.bucketHead(table.bucketOf(1, 1)), &a);
    EXPECT_EQ(table.count(), 1u);
}

TEST(NodeHashTable, RemovePresentTakesANodeOutWhereverItsChainHasIt) {
    // Every way in and out of a chain keeps the links removePresent relies on.
    NodeHashTable table;
    table.init(2);
    std::vector<Node> nodes;
    for (int i = 0; i < 6; ++i) nodes.push_back(cell(2 * i, 0));  // one bucket: chain 5 4 3 2 1 0
    for (Node& n : nodes) table.insertAbsent(&n);
    table.insert(&nodes[0]);  // already there: unchanged
    auto chain = [&] {
        std::vector<int32_t> xs;
        for (const Node* n = table.bucketHead(0); n != nullptr; n = n->next) xs.push_back(n->x / 2);
        return xs;
    };
    table.removePresent(&nodes[3]);  // the middle
    EXPECT_EQ(chain(), (std::vector<int32_t>{5, 4, 2, 1, 0}));
    table.removePresent(&nodes[5]);  // the head
    table.removePresent(&nodes[0]);  // the last
    EXPECT_EQ(chain(), (std::vector<int32_t>{4, 2, 1}));
    NodeHashTable::Cursor cursor(table);
    cursor.find(4, 0);
    EXPECT_EQ(cursor.unlink(), &nodes[2]);
    table.removePresent(&nodes[1]);  // its link moved when the node before it left
    table.insert(&nodes[3]);         // a new head: the old head's link moves
    table.removePresent(&nodes[4]);
    EXPECT_EQ(chain(), (std::vector<int32_t>{3}));
    cursor.first();
    EXPECT_EQ(cursor.removeAndAdvance(), &nodes[3]);
    EXPECT_EQ(table.count(), 0u);
}

TEST(NodeHashTable, CursorWalksAndRemovesInBucketOrder) {
    NodeHashTable table;
    table.init(4);
    NodeHashTable::Cursor cursor(table);
    EXPECT_EQ(cursor.first(), nullptr);
    EXPECT_EQ(cursor.next(), nullptr);
    // Only the last bucket: its nodes, then null.
    Node d = cell(3, 3), e = cell(7, 3);
    table.insert(&d);
    table.insert(&e);
    EXPECT_EQ(cursor.first(), &e);
    EXPECT_EQ(cursor.bucket(), 15u);
    EXPECT_EQ(cursor.next(), &d);
    EXPECT_EQ(cursor.next(), nullptr);
    EXPECT_EQ(cursor.current(), nullptr);
    EXPECT_EQ(cursor.removeAndAdvance(), nullptr);

    Node a = cell(0, 0), b = cell(4, 0), c = cell(1, 0);  // bucket 0: b, a; 1: c
    for (Node* n : {&a, &b, &c}) table.insert(n);
    std::vector<Node*> removed;
    for (Node* n = cursor.first(); n != nullptr; n = cursor.current()) removed.push_back(cursor.removeAndAdvance());
    EXPECT_EQ(removed, (std::vector<Node*>{&b, &a, &c, &e, &d}));
    EXPECT_EQ(table.count(), 0u);
}

TEST(NodeHashTable, ReleaseAllHandsBackClearBucketsDoesNotCopiesShareChains) {
    NodeFactory pool;
    pool.rebuild(8);
    NodeHashTable table;
    table.init(2);
    for (int i = 0; i < 3; ++i) table.insert(pool.take());
    table.clearBuckets();
    EXPECT_EQ(table.count(), 0u);
    EXPECT_EQ(pool.inUse(), 3u);
    Node* a = pool.take();
    a->x = 1;
    table.insert(a);
    table.insert(pool.take());

    NodeHashTable copy(table);
    EXPECT_EQ(copy.bits(), 2u);
    Node b = cell(3, 0);
    copy.insert(&b);  // a new head in the copy's bucket, before the shared chain
    EXPECT_EQ(b.next, a);
    EXPECT_EQ(table.count(), 2u);
    EXPECT_EQ(copy.count(), 3u);
    const NodeHashTable& same = copy;
    copy = same;
    EXPECT_EQ(copy.count(), 3u);
    {
        ScopedRefuseStorage refuse;
        NodeHashTable small;
        copy = small;  // a one-bucket table needs no storage
        EXPECT_EQ(copy.bits(), 0u);
        copy = table;  // no storage: unchanged
        EXPECT_EQ(copy.bits(), 0u);
    }
    table.releaseAll(pool);
    EXPECT_EQ(table.count(), 0u);
    EXPECT_EQ(pool.inUse(), 3u);
}

TEST(FixedDeque, FillsWrapsTheTailAndRefusesWhenFull) {
    Node n[5];
    FixedDeque<Node*> ring(4);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(ring.push_back(&n[i]));
    EXPECT_EQ(ring.size(), 4u);
    EXPECT_EQ(ring.tail(), 0u);
    EXPECT_FALSE(ring.push_back(&n[4]));
    EXPECT_FALSE(ring.push_front(&n[4]));
    EXPECT_FALSE(ring.insert(1, &n[4]));
    EXPECT_TRUE(ring.pop_front());
    EXPECT_TRUE(ring.push_back(&n[4]));
    EXPECT_EQ(ring.slot(0), &n[4]);
    EXPECT_EQ(ring.tail(), 1u);
    EXPECT_EQ(ring.at(0), &n[1]);
    EXPECT_EQ(ring.back(), &n[4]);
    EXPECT_EQ(ring.at(4), nullptr);
}

TEST(FixedDeque, EndsWrapAndMiddleChangesRebaseAtZero) {
    Node a, b, c, x;
    FixedDeque<Node*> ring(4);
    EXPECT_TRUE(ring.insert(0, &a));  // empty: a push_back
    EXPECT_EQ(ring.slot(0), &a);
    ring.push_front(&b);
    EXPECT_EQ(ring.slot(3), &b);
    EXPECT_EQ(ring.head(), 3u);
    EXPECT_TRUE(ring.erase(0));  // the first: a pop_front
    EXPECT_EQ(ring.at(0), &a);
    ring.push_front(&b);
    ring.push_back(&c);          // b a c, head 3
    EXPECT_FALSE(ring.insert(4, &x));
    EXPECT_TRUE(ring.insert(2, &x));  // b a x c
    EXPECT_EQ(ring.head(), 0u);
    EXPECT_EQ(ring.tail(), 0u);  // full: wraps to 0
    EXPECT_EQ(ring.slot(2), &x);
    EXPECT_TRUE(ring.erase(1));  // b x c
    EXPECT_EQ(ring.tail(), 3u);
    EXPECT_EQ(ring.at(1), &x);
    EXPECT_FALSE(ring.erase(3));
    EXPECT_TRUE(ring.erase(2));  // the last: a pop_back
    EXPECT_EQ(ring.back(), &x);
    EXPECT_TRUE(ring.pop_back());
    EXPECT_TRUE(ring.pop_back());
    EXPECT_TRUE(ring.empty());
    EXPECT_FALSE(ring.erase(0));
    EXPECT_FALSE(ring.pop_back());
    EXPECT_FALSE(ring.pop_front());
    EXPECT_EQ(ring.back(), nullptr);
}

TEST(FixedDeque, ZeroCapacityIsFullResetKeepsTheRingWhenRefused) {
    Node a;
    FixedDeque<Node*> ring;
    EXPECT_FALSE(ring.push_back(&a));
    EXPECT_FALSE(ring.insert(0, &a));
    EXPECT_EQ(ring.back(), nullptr);
    EXPECT_TRUE(ring.reset(2));
    EXPECT_TRUE(ring.push_back(&a));
    {
        ScopedRefuseStorage refuse;
        EXPECT_FALSE(ring.reset(8));
    }
    EXPECT_EQ(ring.capacity(), 2u);
    EXPECT_EQ(ring.size(), 1u);
    ring.freeBuffers();
    EXPECT_EQ(ring.capacity(), 0u);
    EXPECT_FALSE(ring.push_back(&a));
}

TEST(FixedDeque, InPlaceChangesGiveTheOrderOfInsertAndErase) {
    // The same changes to two rings, one by the copying operations and one
    // in place, from every head position and across the wrap.
    std::mt19937 random(4711);
    Node n[64];
    for (int round = 0; round < 400; ++round) {
        const uint32_t capacity = 1 + random() % 12;
        FixedDeque<Node*> copying(capacity), inPlace(capacity);
        for (uint32_t i = random() % capacity; i > 0; --i) {  // move the head round
            copying.push_back(&n[0]), copying.pop_front();
            inPlace.push_back(&n[0]), inPlace.pop_front();
        }
        for (int step = 0; step < 40; ++step) {
            const uint32_t size = copying.size();
            const uint32_t i = random() % (size + 2), j = random() % (size + 1);
            Node* v = &n[random() % 64];
            switch (random() % 3) {
                case 0:
                    ASSERT_EQ(inPlace.insertInPlace(i, v), copying.insert(i, v)) << round;
                    break;
                case 1:
                    ASSERT_EQ(inPlace.eraseInPlace(i), copying.erase(i)) << round;
                    break;
                default: {
                    const bool valid = i < size && j < size;
                    ASSERT_EQ(inPlace.reinsert(i, j, v), valid) << round;
                    if (valid) copying.erase(i), copying.insert(j, v);
                }
            }
            ASSERT_EQ(inPlace.size(), copying.size()) << round;
            for (uint32_t k = 0; k < copying.size(); ++k) ASSERT_EQ(inPlace.at(k), copying.at(k)) << round;
        }
    }
}

TEST(FixedDeque, PartitionPointFindsTheFirstElementThatPasses) {
    // Sorted runs long and short, with repeats, wrapped or not: every answer
    // as a scan from the front gives it.
    std::mt19937 random(1213);
    for (int round = 0; round < 300; ++round) {
        const uint32_t capacity = 1 + random() % 700;
        FixedDeque<int> ring(capacity);
        for (uint32_t i = random() % capacity; i > 0; --i) ring.push_back(0), ring.pop_front();
        std::vector<int> values(random() % (capacity + 1));
        for (int& v : values) v = static_cast<int>(random() % (1 + values.size() / 4));
        std::sort(values.begin(), values.end(), std::greater<>());
        for (int v : values) ring.push_back(v);
        for (int probe = -1; probe <= static_cast<int>(values.size() / 4) + 1; ++probe) {
            const auto atMost = [probe](int v) { return v <= probe; };
            const uint32_t expected = static_cast<uint32_t>(std::find_if(values.begin(), values.end(), atMost) - values.begin());
            ASSERT_EQ(ring.partitionPoint(atMost), expected) << round << " " << probe;
        }
    }
}
