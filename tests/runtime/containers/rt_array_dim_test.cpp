// Dimensioning, capacity rules, strides, the checked access, bound, array
// copy and arrays from lists.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "container_test_support.h"
#include "runtime/containers/rt_array.h"
#include "runtime/engine/orderly_end.h"
#include "runtime/services/runtime_error.h"

using containertest::Blood;
using containertest::Gem;

// Game globals are constant-initialised: no code runs for them at start-up.
constinit RtArray<int> globalNumbers;
constinit RtArray<RtString> globalTexts;
constinit RtArray<Gem> globalGems;

static_assert(sizeof(RtArray<Gem>) == sizeof(void*) + 10 * sizeof(int32_t));
static_assert(offsetof(RtArray<int>, stride2) == sizeof(void*));
static_assert(offsetof(RtArray<int>, d1) == sizeof(void*) + 12);
static_assert(offsetof(RtArray<int>, capacity) == sizeof(void*) + 36);

// What each element kind may do is fixed at compile time.
template <class A, class V>
concept Pushable = requires(A& a, const V& v) { a.push(v); };
template <class A>
concept Removable = requires(A& a) { a.remove(0); };
template <class A>
concept Bounded = requires(const A& a) { a.bound(0); };
template <class A>
concept Resizable = requires(A& a) { a.redim(1); };
template <class A>
concept ExactDim = requires(A& a) { a.dimExact(1); };
template <class A>
concept Copyable = requires(A& a, const A& b) { a = b; };
template <class A>
concept Sortable = requires(A& a) { a.sortAll(nullptr); };

static_assert(!Pushable<RtArray<int>, int> && !Pushable<RtArray<double>, double>);
static_assert(!Pushable<RtArray<unsigned char>, unsigned char>);
static_assert(Pushable<RtArray<RtString>, RtString> && Pushable<RtArray<Gem>, Gem>);
static_assert(Removable<RtArray<Gem>> && !Removable<RtArray<RtString>> && !Removable<RtArray<int>>);
static_assert(Bounded<RtArray<int>> && Bounded<RtArray<double>> && Bounded<RtArray<RtString>>);
static_assert(!Bounded<RtArray<Gem>> && !Bounded<RtArray<unsigned char>>);
static_assert(Resizable<RtArray<int>> && Resizable<RtArray<Gem>> && !Resizable<RtArray<unsigned char>>);
static_assert(ExactDim<RtArray<double>> && !ExactDim<RtArray<Gem>> && !ExactDim<RtArray<RtString>>);
static_assert(Copyable<RtArray<int>> && !Copyable<RtArray<Gem>> && !Copyable<RtArray<RtString>>);
static_assert(Sortable<RtArray<RtString>> && !Sortable<RtArray<int>>);
static_assert(!std::is_same_v<RtArray<Gem>, RtArray<containertest::FlyingGem>>);

TEST(RtArrayRecord, NeverDimensionedArrayIsAllZero) {
    EXPECT_EQ(nullptr, globalNumbers.data);
    EXPECT_EQ(0, globalNumbers.total);
    EXPECT_EQ(0, globalNumbers.capacity);
    for (int n : {-1, 0, 1, 2, 3, 4}) EXPECT_EQ(0, globalTexts.bound(n));
    EXPECT_EQ(0, globalGems.dims);
}

TEST(RtArrayDim, CapacityRules) {
    const struct { int need, block, spare, exact; } cases[] = {
        {1, 64, 8, 1}, {7, 64, 8, 7}, {8, 64, 16, 8}, {63, 64, 64, 63}, {64, 128, 72, 64}, {200, 256, 208, 200}};
    for (auto c : cases) {
        RtArray<Gem> gems;
        gems.dim(c.need);
        RtArray<RtString> texts;
        texts.dim(c.need);
        RtArray<unsigned char> bytes;
        bytes.dim(c.need);
        RtArray<int> spare;
        spare.dim(c.need);
        RtArray<double> exact;
        exact.dimExact(c.need);
        EXPECT_EQ(c.block, gems.capacity) << c.need;
        EXPECT_EQ(c.block, texts.capacity) << c.need;
        EXPECT_EQ(c.block, bytes.capacity) << c.need;
        EXPECT_EQ(c.spare, spare.capacity) << c.need;
        EXPECT_EQ(c.exact, exact.capacity) << c.need;
    }
}

TEST(RtArrayDim, StridesTotalsAndSlots) {
    RtArray<Gem> gems;
    gems.dim(3, 4);
    EXPECT_EQ(2, gems.dims);
    EXPECT_EQ(3, gems.stride2);
    EXPECT_EQ(12, gems.stride3);
    EXPECT_EQ(0, gems.stride4);
    EXPECT_EQ(12, gems.total);
    EXPECT_EQ(64, gems.capacity);
    EXPECT_EQ(gems.data + 11, &gems.at(2, 3));
    EXPECT_EQ(gems.data + 11, &gems.at(-1, 3));

    RtArray<int> cube;
    cube.dim(2, 3, 4, 5);
    EXPECT_EQ(4, cube.dims);
    EXPECT_EQ(2, cube.stride2);
    EXPECT_EQ(6, cube.stride3);
    EXPECT_EQ(24, cube.stride4);
    EXPECT_EQ(120, cube.total);
    EXPECT_EQ(128, cube.capacity);
    EXPECT_EQ(cube.data + 119, &cube.at(1, 2, 3, 4));
    EXPECT_EQ(cube.data + 1 + 2 * 2 + 3 * 6, &cube.at(1, 2, 3));
    const RtArray<int>& view = cube;
    EXPECT_EQ(cube.data + 24, &view.at(0, 0, 0, 1));
}

TEST(RtArrayDim, DimensionsCountFromTheLastNonZeroSize) {
    RtArray<int> a;
    a.dim(-5, 3);
    EXPECT_EQ(0, a.d1);
    EXPECT_EQ(3, a.d2);
    EXPECT_EQ(2, a.dims);
    EXPECT_EQ(0, a.total);
    EXPECT_EQ(0, a.stride2 | a.stride3 | a.stride4);
    a.dim(4, 0, 2);
    EXPECT_EQ(3, a.dims);
    EXPECT_EQ(8, a.total);
    EXPECT_EQ(0, a.stride3);
    a.dim(4, -2);  // stored as passed, counts as 1
    EXPECT_EQ(-2, a.d2);
    EXPECT_EQ(4, a.total);
    a.dim(0);
    EXPECT_EQ(0, a.dims);
}

TEST(RtArrayDim, ZeroElementsPerRule) {
    RtArray<Blood> blood;
    blood.dim(10);
    blood.dim(0);
    EXPECT_EQ(nullptr, blood.data);
    EXPECT_EQ(0, blood.capacity);
    EXPECT_EQ(0, blood.total);

    RtArray<int> numbers;
    numbers.dim(20);
    numbers.dim(0);
    ASSERT_EQ(8, numbers.capacity);
    for (int s = 0; s < 8; ++s) EXPECT_EQ(0, numbers.data[s]);

    RtArray<double> pixels;
    pixels.dimExact(6);
    pixels.dimExact(0);  // no dangling buffer: the destructor frees nothing twice
    EXPECT_EQ(nullptr, pixels.data);
    EXPECT_EQ(0, pixels.capacity);
}

TEST(RtArrayDim, BufferThatIsLargeEnoughIsReusedAndOnlyUsedSlotsCleared) {
    RtArray<Gem> gems;
    gems.dim(100);
    ASSERT_EQ(128, gems.capacity);
    for (int s = 0; s < 128; ++s) gems.data[s] = Gem{s, -s};
    Gem* before = gems.data;
    gems.dim(10);
    EXPECT_EQ(before, gems.data);
    EXPECT_EQ(128, gems.capacity);
    for (int s = 0; s < 10; ++s) EXPECT_EQ(0, gems.data[s].x);
    EXPECT_EQ(10, gems.data[10].x);
    EXPECT_EQ(-127, gems.data[127].y);
    gems.dim(128);  // exactly the capacity still fits
    EXPECT_EQ(before, gems.data);
    gems.dim(129);
    EXPECT_EQ(192, gems.capacity);
}

TEST(RtArrayDim, StringSlotsAreEmptiedInPlaceOrFreshAfterReplacement) {
    RtArray<RtString> texts;
    texts.dim(3);
    for (int s = 0; s < 64; ++s) texts.data[s] = RtString("t") + RtString(s);
    texts.dim(2);
    EXPECT_TRUE(texts.at(0).isEmpty());
    EXPECT_TRUE(texts.at(1).isEmpty());
    EXPECT_STREQ("t2", texts.data[2].data);
    EXPECT_STREQ("t63", texts.data[63].data);
    texts.dim(100);
    for (int s = 0; s < texts.capacity; ++s) ASSERT_TRUE(texts.data[s].isEmpty()) << s;
}

TEST(RtArrayAccess, NegativeFirstIndexAndBound) {
    RtArray<int> a;
    a.dim(5);
    for (int i = 0; i < 5; ++i) a.at(i) = 10 + i;
    EXPECT_EQ(14, a.at(-1));
    EXPECT_EQ(10, a.at(-5));
    EXPECT_EQ(12, a.at(2, 0));
    EXPECT_EQ(12, a.at(2, 0, 0, 0));
    RtArray<double> b;
    b.dim(2, 3, 4, 5);
    const int expected[] = {0, 2, 3, 4, 5, 0};
    for (int n = -1; n <= 4; ++n) EXPECT_EQ(expected[n + 1], b.bound(n)) << n;
}

TEST(RtArrayCopy, CopyTakesSizesAndElementsInTheSameSlots) {
    RtArray<int> source;
    source.dim(2, 3);
    for (int s = 0; s < 6; ++s) source.data[s] = s * 7;
    RtArray<int> target;
    target.dim(40);
    target = source;
    EXPECT_EQ(2, target.d1);
    EXPECT_EQ(3, target.d2);
    EXPECT_EQ(6, target.total);
    EXPECT_EQ(48, target.capacity);  // large enough: kept
    EXPECT_EQ(35, target.at(1, 2));
    RtArray<int>& same = target;
    target = same;  // onto itself: nothing changes
    EXPECT_EQ(35, target.at(1, 2));
    RtArray<int> empty;
    target = empty;
    EXPECT_EQ(0, target.total);
    EXPECT_EQ(8, target.capacity);
}

TEST(RtArrayList, DimFromListHoldsTheValuesInOrder) {
    const int values[] = {7, 8, 9};
    RtArray<int> a;
    a.dimFromList(3, values);
    EXPECT_EQ(3, a.d1);
    EXPECT_EQ(3, a.total);
    EXPECT_EQ(1, a.dims);
    EXPECT_EQ(8, a.capacity);
    EXPECT_EQ(7, a.at(0));
    EXPECT_EQ(9, a.at(2));
    a.dimFromList(0, values);
    EXPECT_EQ(0, a.total);
    EXPECT_EQ(8, a.capacity);
}

TEST(RtArrayFatal, AccessOutsideTheSizesEndsWithCode9) {
    struct Case {
        const char* name;
        void (*body)();
    };
    const Case cases[] = {
        {"no buffer", [] { RtArray<int> a; a.at(0) = 1; }},
        {"past d1", [] { RtArray<int> a; a.dim(5); a.at(5) = 1; }},
        {"below -d1", [] { RtArray<int> a; a.dim(5); a.at(-6) = 1; }},
        {"negative second", [] { RtArray<int> a; a.dim(5); a.at(2, -1) = 1; }},
        {"absent second", [] { RtArray<int> a; a.dim(5); a.at(0, 1) = 1; }},
        {"negative size", [] { RtArray<int> a; a.dim(5, -3); a.at(0, 0) = 1; }},
        {"past d4", [] { RtArray<unsigned char> a; a.dim(2, 2, 2, 2); a.at(0, 0, 0, 2) = 1; }},
        {"empty record", [] { RtArray<Gem> a; a.dim(0); a.at(0).x = 1; }},
    };
    for (const Case& c : cases) {
        auto r = containertest::runFatal(c.body);
        EXPECT_TRUE(r.exited) << c.name;
        EXPECT_EQ(9, r.exitStatus) << c.name;
        EXPECT_EQ(0u, r.err.find("bounds: [")) << c.name << ": " << r.err;
        EXPECT_EQ("exit", r.out) << c.name;
    }
}

TEST(RtArrayFatal, ShapesBeyond32BitsEndWithCode7) {
    struct Case {
        const char* name;
        void (*body)();
    };
    const Case cases[] = {
        {"product", [] { RtArray<int> a; a.dim(65536, 65536); }},
        {"four sizes", [] { RtArray<Gem> a; a.dim(2000, 2000, 2000, 2000); }},
        {"block capacity", [] { RtArray<unsigned char> a; a.dim(INT32_MAX); }},
        {"spare-eight capacity", [] { RtArray<int> a; a.dim(INT32_MAX - 3); }},
        {"copy", [] { RtArray<int> a; RtArray<int> b; b.d1 = 70000; b.d2 = 70000; a = b; }},
    };
    for (const Case& c : cases) {
        auto r = containertest::runFatal(c.body);
        EXPECT_TRUE(r.exited) << c.name;
        EXPECT_EQ(7, r.exitStatus) << c.name;
        EXPECT_EQ("", r.err) << c.name;
    }
}

TEST(RtArrayFatal, RefusedStorageEndsWithCode7BeforeAnythingIsWritten) {
    auto r = containertest::runFatal([] {
        RtArray<RtString> texts;
        texts.dim(3);
        texts.at(0) = "kept";
        containertest::ScopedStorageRefusal refuse(1);
        texts.dim(500);
    });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(7, r.exitStatus);
    EXPECT_EQ("exit", r.out);
}

// During the shutdown the end returns to the caller: the failed operation
// then leaves everything as it was and writes nowhere.
TEST(RtArrayFatal, FailuresDuringTheShutdownLeaveTheArrayAlone) {
    auto r = containertest::runFatal([] {
        setShutdownStep(ShutdownStageNetwork, [] {
            RtArray<int> a;
            a.dim(2);
            a.at(0) = 5;
            a.at(7) = 99;  // reported, then lands outside the array
            {
                containertest::ScopedStorageRefusal refuse(1);
                a.dim(100);  // refused: the array stays
            }
            std::printf("[%d %d %d %d]", a.d1, a.capacity, a.at(0), a.at(1));
            RtArray<Gem> gems;
            gems.dim(2, 2);
            gems.push(Gem{1, 1});  // code 8, then nothing
            std::printf("[%d %d]", gems.d1, gems.total);
            std::fflush(stdout);
        });
        setRuntimeError(0);
        terminateProgram();
    });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(0, r.exitStatus);
    EXPECT_EQ("bounds: [   2]\naccess: [   7]\n", r.err);
    EXPECT_EQ("[2 8 5 0][2 4]exit", r.out);
}
