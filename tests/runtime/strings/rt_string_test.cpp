// The string value: growth rule, shared empty buffer, assignment and appending.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <new>
#include <string>

#include "child_process.h"
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
    const RtString& same = s;
    s = same;
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

TEST(RtStringValue, RawBytesKeepNulsAndMayComeFromTheOwnBuffer) {
    RtString s = RtString::fromBytes("a\0b", 3);
    EXPECT_EQ(3u, s.length);
    EXPECT_EQ(16u, s.capacity);
    s.appendBytes(s.data, 3);  // grows past 16 bytes later; here it fits
    EXPECT_EQ(0, std::memcmp(s.data, "a\0ba\0b", 7));
    RtString full("0123456789abcde");  // capacity 16: the append below must grow
    full.appendBytes(full.data + 10, 5);
    EXPECT_STREQ("0123456789abcdeabcde", full.data);
    EXPECT_EQ(RtString::emptyBuffer(), RtString::fromBytes("xyz", 0).data);
}

TEST(RtStringValue, ATextBeyondThe32BitLengthRaisesTheAllocationFailure) {
    RtString s("abc");
    const uint32_t realLength = s.length;
    s.length = UINT32_MAX - 20;  // stands in for a text of 4 GiB
    EXPECT_THROW(s += "0123456789", std::bad_alloc);
    EXPECT_THROW(s += RtString("0123456789"), std::bad_alloc);
    s.length = realLength;
    EXPECT_STREQ("abc", s.data);
    RtString t;
    EXPECT_THROW(t.reserve(UINT32_MAX, false), std::bad_alloc);
    EXPECT_EQ(RtString::emptyBuffer(), t.data);
}

TEST(RtStringValue, AnUncaughtAllocationFailureEndsTheProgram) {
    // Nothing between a command and the program's entry catches it.
    auto command = []() noexcept {
        RtString s;
        s.reserve(UINT32_MAX - 1, false);
    };
    testsupport::ChildResult child = testsupport::runInChild(command);
    EXPECT_FALSE(child.exited);
    EXPECT_EQ(SIGABRT, child.signal);
    EXPECT_NE(std::string::npos, child.err.find("bad_alloc"));
}
