// The growable vector: growth numbers, plain and counted storage, append,
// clear, copyFrom and storage failures.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "container_test_support.h"
#include "runtime/containers/rt_vector.h"
#include "runtime/strings/rt_string.h"

using containertest::ScopedStorageRefusal;

namespace {

// A counted element that logs its construction and destruction.
struct Tracked {
    static std::vector<int>* log;  // +id on construction, -id on destruction
    static int next;
    int id;
    int value = 0;
    Tracked() : id(++next) {
        if (log) log->push_back(id);
    }
    ~Tracked() {
        if (log) log->push_back(-id);
    }
    Tracked& operator=(const Tracked& other) {
        value = other.value;
        return *this;
    }
};
std::vector<int>* Tracked::log = nullptr;
int Tracked::next = 0;

// Shaped like the INI document's key/value pair.
struct Pair {
    RtString key;
    RtString value;
};

static_assert(sizeof(RtVector<int32_t>) == sizeof(void*) + 4 * sizeof(int32_t));

// Static vectors (the shade table) are ready before any code runs.
constinit RtVector<uint8_t> staticVector(128, 512);

}  // namespace

TEST(RtVectorGrowth, StepAndMinimumGiveTheCapacities) {
    const struct { int32_t n, capacity; } cases[] = {
        {0, 512}, {1, 512}, {511, 512}, {512, 512}, {513, 640}, {640, 768}, {1000, 1024}, {4096, 4224}};
    for (auto c : cases) {
        RtVector<int32_t> v;
        EXPECT_TRUE(v.reserve(c.n));
        EXPECT_EQ(c.capacity, v.capacity) << c.n;
        EXPECT_EQ(0, v.count);
    }
    RtVector<uint8_t> ones(1, 1);
    ones.reserve(0);
    EXPECT_EQ(1, ones.capacity);
    ones.reserve(5);
    EXPECT_EQ(6, ones.capacity);
}

TEST(RtVectorGrowth, ReserveBelowTheCapacityChangesNothing) {
    RtVector<double> v;
    v.reserve(10);
    double* before = v.data;
    EXPECT_TRUE(v.reserve(511));
    EXPECT_TRUE(v.reserve(-7));
    EXPECT_EQ(before, v.data);
    EXPECT_TRUE(v.reserve(512));  // not above: a new storage of the same size
    EXPECT_EQ(512, v.capacity);
    RtVector<double> none;
    EXPECT_TRUE(none.reserve(-1));
    EXPECT_EQ(nullptr, none.data);
}

TEST(RtVectorAppend, The513thElementGrowsTo640InOrder) {
    RtVector<int32_t> v;
    for (int32_t n = 0; n < 512; ++n) v.append(n);
    EXPECT_EQ(512, v.capacity);
    v.append(512);
    EXPECT_EQ(640, v.capacity);
    EXPECT_EQ(513, v.count);
    for (int32_t n = 0; n < 513; ++n) ASSERT_EQ(n, v[n]);
}

TEST(RtVectorAppend, AnElementOfTheVectorItselfSurvivesTheGrowth) {
    RtVector<RtString> v(1, 1);
    v.append("first");
    v.append(v[0]);  // full: grows while the value lives in the old storage
    v.append(v[1]);
    ASSERT_EQ(3, v.count);
    EXPECT_STREQ("first", v[2].data);
    RtVector<int32_t> numbers(1, 1);
    numbers.append(41);
    numbers.append(numbers[0]);
    EXPECT_EQ(3, numbers.capacity);
    EXPECT_EQ(41, numbers[1]);
}

TEST(RtVectorCounted, WholeCapacityIsConstructedAndDestroyedLastToFirst) {
    std::vector<int> log;
    Tracked::log = &log;
    Tracked::next = 0;
    {
        RtVector<Tracked> v(2, 3);
        v.reserve(0);
        EXPECT_EQ((std::vector<int>{1, 2, 3}), log);
        log.clear();
        Tracked t;
        t.value = 5;
        for (int n = 0; n < 3; ++n) v.append(t);
        log.clear();
        v.append(t);  // reserve(4): capacity 2 * (4 / 2 + 1) = 6
        EXPECT_EQ(6, v.capacity);
        EXPECT_EQ((std::vector<int>{5, 6, 7, 8, 9, 10, -3, -2, -1}), log);
        for (int n = 0; n < 4; ++n) EXPECT_EQ(5, v[n].value);
        log.clear();
    }
    EXPECT_EQ((std::vector<int>{-4, -10, -9, -8, -7, -6, -5}), log);  // t first, then the storage
    Tracked::log = nullptr;
}

TEST(RtVectorClear, KeepOrFreeTheStorage) {
    RtVector<Pair> pairs;
    pairs.append(Pair{"key", "value"});
    pairs.reserve(600);
    pairs.data[600].key = "beyond";
    pairs.clear(false);
    EXPECT_EQ(0, pairs.count);
    EXPECT_EQ(640, pairs.capacity);
    EXPECT_STREQ("key", pairs.data[0].key.data);
    EXPECT_STREQ("beyond", pairs.data[600].key.data);
    pairs.clear(true);  // every pair of the storage goes, the one beyond count too
    EXPECT_EQ(nullptr, pairs.data);
    EXPECT_EQ(0, pairs.capacity);
}

TEST(RtVectorCopy, EmptySourceStillGetsFiveHundredTwelveSlots) {
    RtVector<int32_t> source(64, 64);
    RtVector<int32_t> target;
    EXPECT_TRUE(target.copyFrom(source));
    EXPECT_NE(nullptr, target.data);
    EXPECT_EQ(512, target.capacity);
    EXPECT_EQ(0, target.count);
    EXPECT_EQ(64, target.step);
    EXPECT_EQ(64, target.minimum);
}

TEST(RtVectorCopy, CapacityFollowsTheSourceCapacity) {
    RtVector<int32_t> source(600, 600);
    source.reserve(1);
    ASSERT_EQ(600, source.capacity);
    source.append(3);
    source.append(4);
    RtVector<int32_t> target;
    target.copyFrom(source);
    EXPECT_EQ(640, target.capacity);
    EXPECT_EQ(2, target.count);
    EXPECT_EQ(4, target[1]);
    EXPECT_NE(source.data, target.data);
}

TEST(RtVectorCopy, DeepCopyOfStringsAndCopyOntoItself) {
    RtVector<Pair> source;
    source.append(Pair{"a", "1"});
    source.append(Pair{"b", "2"});
    RtVector<Pair> copy;
    copy.copyFrom(source);
    source[0].key += "changed";
    EXPECT_STREQ("a", copy[0].key.data);
    EXPECT_NE(source[1].value.data, copy[1].value.data);
    copy.copyFrom(copy);
    EXPECT_EQ(2, copy.count);
    EXPECT_STREQ("2", copy[1].value.data);
    RtVector<Pair> constructed(copy);
    EXPECT_STREQ("b", constructed[1].key.data);
    RtVector<Pair> moved(std::move(constructed));
    EXPECT_EQ(nullptr, constructed.data);
    EXPECT_EQ(2, moved.count);
}

TEST(RtVectorFailure, FailedGrowthLeavesAnEmptyVector) {
    RtVector<Pair> v;
    v.append(Pair{"k", "v"});
    {
        ScopedStorageRefusal refuse(1);
        EXPECT_FALSE(v.reserve(513));
        EXPECT_EQ(nullptr, v.data);
        EXPECT_EQ(0, v.count);
        EXPECT_EQ(0, v.capacity);
        EXPECT_FALSE(v.reserve(0));  // no storage before, tried again
        EXPECT_EQ(2, ScopedStorageRefusal::refused());
        v.append(Pair{"dropped", ""});
        EXPECT_EQ(0, v.count);
    }
    EXPECT_TRUE(v.reserve(0));
    EXPECT_EQ(512, v.capacity);
}

TEST(RtVectorFailure, FailedCopyLeavesAnEmptyTargetWithTheSourceRules) {
    RtVector<int32_t> source(64, 64);
    source.append(1);
    RtVector<int32_t> target;
    target.append(9);
    ScopedStorageRefusal refuse(1);
    EXPECT_FALSE(target.copyFrom(source));
    EXPECT_EQ(nullptr, target.data);
    EXPECT_EQ(0, target.count);
    EXPECT_EQ(0, target.capacity);
    EXPECT_EQ(64, target.step);
    EXPECT_EQ(64, target.minimum);
}

TEST(RtVectorFailure, CapacityBeyond32BitsFails) {
    RtVector<uint8_t> v(1 << 30, 1);
    EXPECT_FALSE(v.reserve(INT32_MAX - 1));
    EXPECT_EQ(0, v.capacity);
}
