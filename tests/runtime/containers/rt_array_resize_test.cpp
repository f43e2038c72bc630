// Resizing, push, remove and the row move.
#include <gtest/gtest.h>

#include <cstring>

#include "container_test_support.h"
#include "runtime/containers/rt_array.h"

using containertest::Blood;
using containertest::Fish;
using containertest::Gem;

namespace {

void fillGems(RtArray<Gem>& gems) {
    for (int s = 0; s < gems.total; ++s) gems.data[s] = Gem{s + 1, 100 + s};
}

}  // namespace

TEST(RtArrayResize, RecordArrayGrowsIntoANewBufferKeepingItsElements) {
    RtArray<Gem> gems;
    gems.dim(5);
    fillGems(gems);
    Gem* before = gems.data;
    gems.redim(8);
    EXPECT_NE(before, gems.data);
    EXPECT_EQ(8, gems.total);
    EXPECT_EQ(64, gems.capacity);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(i + 1, gems.at(i).x);
    for (int i = 5; i < 8; ++i) EXPECT_EQ(0, gems.at(i).x);
    gems.redim(3);
    EXPECT_EQ(3, gems.total);
    EXPECT_EQ(64, gems.capacity);
    EXPECT_EQ(101, gems.at(-2).y);
}

TEST(RtArrayResize, FirstSizeBelowOneEmptiesButKeepsTheBuffer) {
    RtArray<RtString> texts;
    texts.dim(4, 2);
    texts.at(1, 1) = "kept";
    RtString* before = texts.data;
    texts.redim(-3, 7);
    EXPECT_EQ(before, texts.data);
    EXPECT_EQ(64, texts.capacity);
    EXPECT_EQ(0, texts.d1);
    EXPECT_EQ(0, texts.d2);
    EXPECT_EQ(0, texts.total);
    EXPECT_EQ(0, texts.dims);
    EXPECT_EQ(0, texts.stride2);
    EXPECT_STREQ("kept", texts.data[5].data);
}

TEST(RtArrayResize, RecordOverlapOfTheFirstTwoIndicesMovesToTheNewStrides) {
    RtArray<Gem> gems;
    gems.dim(2, 3);
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 2; ++i) gems.at(i, j) = Gem{10 * i + j + 1, 0};
    gems.redim(3, 2);
    EXPECT_EQ(1, gems.data[0].x);   // (0,0)
    EXPECT_EQ(11, gems.data[1].x);  // (1,0)
    EXPECT_EQ(2, gems.data[3].x);   // (0,1)
    EXPECT_EQ(12, gems.data[4].x);  // (1,1)
    EXPECT_EQ(0, gems.data[2].x);
    EXPECT_EQ(0, gems.data[5].x);
}

TEST(RtArrayResize, OneDimensionBecomesTheFirstColumn) {
    RtArray<Gem> gems;
    gems.dim(3);
    fillGems(gems);
    gems.redim(3, 4);
    EXPECT_EQ(12, gems.total);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(i + 1, gems.at(i, 0).x);
        for (int j = 1; j < 4; ++j) EXPECT_EQ(0, gems.at(i, j).x);
    }
}

TEST(RtArrayResize, ThirdIndexSurvivesOnlyForNumbers) {
    RtArray<Gem> gems;
    gems.dim(2, 2, 2);
    fillGems(gems);
    gems.redim(2, 2, 3);
    int kept = 0;
    for (int k = 0; k < 3; ++k)
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 2; ++i) kept += gems.at(i, j, k).x != 0;
    EXPECT_EQ(4, kept);
    EXPECT_EQ(4, gems.at(1, 1, 0).x);

    RtArray<int> numbers;
    numbers.dim(2, 2, 2);
    for (int s = 0; s < 8; ++s) numbers.data[s] = s + 1;
    numbers.redim(2, 2, 3);
    EXPECT_EQ(12, numbers.total);
    EXPECT_EQ(16, numbers.capacity);
    for (int k = 0; k < 2; ++k)
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 2; ++i) EXPECT_EQ(1 + i + 2 * j + 4 * k, numbers.at(i, j, k));
    EXPECT_EQ(0, numbers.at(1, 1, 2));
}

TEST(RtArrayResize, NumbersKeepTheOverlapOfAllFourIndices) {
    RtArray<double> a;
    a.dim(3, 3, 2, 2);
    for (int s = 0; s < a.total; ++s) a.data[s] = s;
    a.redim(2, 4, 2, 1);
    EXPECT_EQ(4, a.dims);
    EXPECT_EQ(16, a.total);
    EXPECT_EQ(a.data[0], 0.0);
    EXPECT_EQ(1 + 2 * 3 + 1 * 9, a.at(1, 2, 1, 0));
    EXPECT_EQ(0.0, a.at(1, 3, 1, 0));
}

TEST(RtArrayResize, StringsAreCopiedAndTheOldSlotsReleased) {
    RtArray<RtString> texts;
    texts.dim(2);
    texts.at(0) = "alpha";
    texts.at(1) = "beta";
    char* oldText = texts.at(0).data;
    texts.redim(70);
    EXPECT_EQ(128, texts.capacity);
    EXPECT_STREQ("alpha", texts.at(0).data);
    EXPECT_NE(oldText, texts.at(0).data);
    EXPECT_STREQ("beta", texts.at(1).data);
    for (int i = 2; i < 128; ++i) ASSERT_TRUE(texts.data[i].isEmpty());
}

TEST(RtArrayResize, NeverDimensionedArraysAndNegativeLaterSizes) {
    RtArray<int> numbers;
    numbers.redim(3, 2);  // the same as a dim
    EXPECT_EQ(6, numbers.total);
    EXPECT_EQ(8, numbers.capacity);
    numbers.at(0) = 5;
    numbers.redim(3, 2, -1);  // nothing is copied
    EXPECT_EQ(0, numbers.at(0));
    RtArray<Gem> gems;
    gems.dim(2, 2);
    fillGems(gems);
    gems.redim(2, -2);
    EXPECT_EQ(2, gems.total);
    EXPECT_EQ(0, gems.at(0).x);
}

TEST(RtArrayPush, FirstPushMakesSixtyFourSlots) {
    RtArray<Blood> blood;
    blood.push(Blood{1, 2, 3, 4, 0.1, 9});
    EXPECT_EQ(1, blood.d1);
    EXPECT_EQ(1, blood.total);
    EXPECT_EQ(64, blood.capacity);
    const double expected = 0.1;
    EXPECT_EQ(0, std::memcmp(&expected, &blood.at(0).speed, sizeof expected));
    EXPECT_EQ(9, blood.at(0).life);
}

TEST(RtArrayPush, PushesWorkInPlaceUntilOneSlotIsLeft) {
    RtArray<Gem> gems;
    gems.push(Gem{0, 0});
    Gem* first = gems.data;
    for (int n = 1; n < 63; ++n) gems.push(Gem{n, 0});
    EXPECT_EQ(first, gems.data);
    EXPECT_EQ(63, gems.d1);
    gems.push(Gem{63, 0});  // one slot free, but the push resizes
    EXPECT_NE(first, gems.data);
    EXPECT_EQ(128, gems.capacity);
    EXPECT_EQ(64, gems.total);
    for (int n = 0; n < 64; ++n) ASSERT_EQ(n, gems.at(n).x);
    while (gems.d1 < 127) gems.push(Gem{gems.d1, 0});
    EXPECT_EQ(128, gems.capacity);
    gems.push(Gem{127, 0});
    EXPECT_EQ(192, gems.capacity);
}

TEST(RtArrayPush, PushedStringIsACopy) {
    RtArray<RtString> texts;
    RtString piece("north");
    texts.push(piece);
    piece += "west";
    EXPECT_STREQ("north", texts.at(0).data);
    EXPECT_NE(piece.data, texts.at(0).data);
}

TEST(RtArrayPush, PushingAnElementOfTheSameArrayCopiesItFirst) {
    RtArray<RtString> texts;
    for (int n = 0; n < 63; ++n) texts.push(RtString(n));
    texts.push(texts.at(5));  // this push moves the storage
    EXPECT_EQ(128, texts.capacity);
    EXPECT_STREQ("5", texts.at(-1).data);
    RtArray<Gem> gems;
    for (int n = 0; n < 63; ++n) gems.push(Gem{n, n});
    gems.push(gems.at(62));
    EXPECT_EQ(62, gems.at(63).y);
}

TEST(RtArrayRemove, RemoveKeepsOrderAndLeavesTheOldLastSlot) {
    RtArray<Gem> gems;
    for (int n : {'A', 'B', 'C', 'D'}) gems.push(Gem{n, 0});
    gems.remove(1);
    EXPECT_EQ(3, gems.d1);
    EXPECT_EQ(3, gems.total);
    EXPECT_EQ(64, gems.capacity);
    EXPECT_EQ('A', gems.at(0).x);
    EXPECT_EQ('C', gems.at(1).x);
    EXPECT_EQ('D', gems.at(2).x);
    EXPECT_EQ('D', gems.data[3].x);
    Gem* before = gems.data;
    gems.push(Gem{'E', 0});
    EXPECT_EQ(before, gems.data);
    EXPECT_EQ('E', gems.data[3].x);
}

TEST(RtArrayRemove, NegativeIndexCountsFromTheEnd) {
    RtArray<Gem> gems;
    for (int n = 0; n < 5; ++n) gems.push(Gem{n, 0});
    gems.remove(-1);
    EXPECT_EQ(3, gems.at(-1).x);
    gems.remove(-4);
    EXPECT_EQ(1, gems.at(0).x);
    while (gems.total > 0) gems.remove(0);
    EXPECT_EQ(0, gems.d1);
    EXPECT_NE(nullptr, gems.data);
    EXPECT_EQ(64, gems.capacity);
}

TEST(RtArrayRemove, RowOfATwoDimensionalArray) {
    RtArray<Gem> gems;
    gems.dim(3, 2);
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 3; ++i) gems.at(i, j) = Gem{i, j};
    gems.remove(0);
    EXPECT_EQ(2, gems.d1);
    EXPECT_EQ(4, gems.total);
    EXPECT_EQ(3, gems.stride2);
    EXPECT_EQ(1, gems.at(0, 0).x);
    EXPECT_EQ(2, gems.at(1, 0).x);
    EXPECT_EQ(1, gems.at(0, 1).x);
    EXPECT_EQ(2, gems.at(1, 1).x);
    EXPECT_EQ(2, gems.data[2].x);  // the old row 2 stays in its slots
}

TEST(RtArrayRemove, ThreeDimensionsMoveOnlyThirdIndexZero) {
    RtArray<Gem> gems;
    gems.dim(2, 1, 2);
    fillGems(gems);  // slots 0..3 hold 1..4
    gems.remove(0);
    EXPECT_EQ(2, gems.data[0].x);  // (0,0,0) took (1,0,0)
    EXPECT_EQ(3, gems.data[2].x);  // (0,0,1) untouched
    EXPECT_EQ(2, gems.total);
}

TEST(RtArrayRemove, MoveRowCopiesThroughTheGivenRoutine) {
    static int calls;
    calls = 0;
    RtArray<Gem> gems;
    gems.dim(2, 3);
    fillGems(gems);
    gems.moveRow(0, -1, [](Gem& to, const Gem& from) {
        ++calls;
        RtArray<Gem>::copyElement(to, from);
    });
    EXPECT_EQ(3, calls);
    EXPECT_EQ(gems.at(1, 2).x, gems.at(0, 2).x);
    RtArray<Gem> line;
    line.dim(3);
    fillGems(line);
    line.moveRow(2, 0, nullptr);
    EXPECT_EQ(1, line.at(2).x);
}

TEST(RtArrayFatal, PushOntoATwoDimensionalArrayEndsWithCode8) {
    auto r = containertest::runFatal([] {
        RtArray<RtString> texts;
        texts.dim(2, 2);
        texts.push("x");
    });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(8, r.exitStatus);
    EXPECT_EQ("", r.err);
    EXPECT_EQ("exit", r.out);
}

TEST(RtArrayFatal, RemoveWithABadIndexReportsItAndEndsWithCode9) {
    struct Case {
        void (*body)();
        const char* err;
    };
    const Case cases[] = {
        {[] { RtArray<Gem> g; g.dim(4); g.remove(4); }, "bounds: [   4]\naccess: [   4]\n"},
        {[] { RtArray<Gem> g; g.dim(4); g.remove(-5); }, "bounds: [   4]\naccess: [  -1]\n"},
        {[] { RtArray<Gem> g; g.remove(0); }, "bounds: [   0]\naccess: [   0]\n"},
        {[] { RtArray<Gem> g; g.dim(4, 2); g.remove(4); }, "bounds: [   4][   2]\naccess: [   4][   0]\n"},
        {[] { RtArray<Gem> g; g.dim(4, 2); g.moveRow(0, 6, nullptr); }, "bounds: [   4][   2]\naccess: [   6][   0]\n"},
    };
    for (const Case& c : cases) {
        auto r = containertest::runFatal(c.body);
        EXPECT_TRUE(r.exited);
        EXPECT_EQ(9, r.exitStatus);
        EXPECT_EQ(c.err, r.err);
    }
}

TEST(RtArrayFatal, RefusedStorageDuringAPushEndsWithCode7) {
    auto r = containertest::runFatal([] {
        RtArray<Gem> gems;
        containertest::ScopedStorageRefusal refuse(1);
        gems.push(Gem{1, 1});
    });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(7, r.exitStatus);
}
