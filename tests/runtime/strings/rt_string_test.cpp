// The string value: growth rule, shared empty buffer, assignment and appending.
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/strings/rt_string.h"

TEST(RtStringValue, EmptyValuesShareOneBufferAndAllocateNothing) {
    RtString a;
    RtString b("");
    RtString c(static_cast<const char*>(nullptr));
    EXPECT_EQ(a.data, RtString::emptyBuffer());
    EXPECT_EQ(b.data, RtString::emptyBuffer());
    EXPECT_EQ(c.data, RtString::emptyBuffer());
    EXPECT_EQ(0u, c.capacity);
    c.reserve(0, true);
    EXPECT_EQ(0u, c.capacity);
}

TEST(RtStringValue, GrowthRuleGivesTheNextMultipleOf16AboveNeededPlusOne) {
    const struct { uint32_t needed, capacity; } cases[] = {
        {14, 16}, {15, 32}, {16, 32}, {31, 48}, {63, 80}, {128, 144}};
    for (auto c : cases) {
        RtString s;
        s.reserve(c.needed, false);
        EXPECT_EQ(c.capacity, s.capacity) << "needed " << c.needed;
    }
}

TEST(RtStringValue, AssignIsExactThenAppendGrowsByTheRule) {
    RtString s;
    s.assign("abc");
    EXPECT_EQ(4u, s.capacity);
    EXPECT_EQ(3u, s.length);
    s += "d";
    EXPECT_EQ(16u, s.capacity);
    EXPECT_STREQ("abcd", s.data);
}

TEST(RtStringValue, SelfAssignmentAndEmptyAssignmentKeepTheBuffer) {
    RtString s;
    s.reserve(20, false);
    s = RtString("hello");
    ASSERT_EQ(32u, s.capacity);
    s = s;
    EXPECT_STREQ("hello", s.data);
    s = RtString();
    EXPECT_EQ(32u, s.capacity);
    EXPECT_EQ(0u, s.length);
    EXPECT_EQ('\0', s.data[0]);
}

TEST(RtStringValue, CopyTakesCapacityFromTheLengthAlone) {
    RtString big;
    big.reserve(200, false);
    big += "01234567890123456789";
    RtString copy(big);
    EXPECT_EQ(32u, copy.capacity);
    RtString target;
    target.reserve(20, false);
    target = RtString("12345");
    EXPECT_EQ(32u, target.capacity);
}

TEST(RtStringValue, AppendingAValueToItselfDoublesIt) {
    RtString s("ab");
    s += s;
    EXPECT_STREQ("abab", s.data);
    EXPECT_EQ(4u, s.length);
}

TEST(RtStringValue, TextFromTheTargetsOwnBufferIsCopiedFirst) {
    RtString s("abcdefghijklmnop");  // 16 bytes: the next append must grow
    s += s.data + 8;
    EXPECT_STREQ("abcdefghijklmnopijklmnop", s.data);
    s.assign(s.data + 4);
    EXPECT_STREQ("efghijklmnopijklmnop", s.data);
}

TEST(RtStringValue, EmbeddedNulBytesSurviveCopies) {
    RtString s;
    s.appendChar('a').appendChar('\0').appendChar('b');
    EXPECT_EQ(3u, s.length);
    EXPECT_EQ(1u, s.textLength());
    EXPECT_FALSE(s.equals("a"));
    RtString copy(s);
    EXPECT_EQ(3u, copy.length);
    EXPECT_EQ(0, std::memcmp(copy.data, "a\0b", 3));
}

TEST(RtStringValue, RecountLengthCutsAFullBuffer) {
    RtString s;
    char* p = s.writableBuffer(10);
    std::strcpy(p, "12345678");
    s.recountLength();
    EXPECT_EQ(8u, s.length);
    std::memset(s.data, 'x', s.capacity);
    s.recountLength();
    EXPECT_EQ(s.capacity - 1, s.length);
    EXPECT_EQ('\0', s.data[s.capacity - 1]);
}

TEST(RtStringValue, ReleasingTwiceLeavesItEmpty) {
    RtString s("text");
    s.clear();
    s.clear();
    EXPECT_EQ(RtString::emptyBuffer(), s.data);
    EXPECT_EQ(0u, s.length);
}
