// Substrings, trimming, control-byte cuts, replacement and case conversion.
#include <gtest/gtest.h>

#include <climits>

#include "runtime/strings/text_edit.h"
#include "string_test_util.h"

TEST(Substring, ClampsCountAndRefusesBadStarts) {
    RtString hello("hello");
    EXPECT_EQ("ell", bytesOf(ExtractSubstring(hello, 1, 3)));
    EXPECT_EQ(16u, ExtractSubstring(hello, 1, 3).capacity);  // reserves count + 1
    EXPECT_EQ("lo", bytesOf(ExtractSubstring(hello, 3, -1)));
    EXPECT_EQ("lo", bytesOf(ExtractSubstring(hello, 3, 10)));
    EXPECT_EQ(0u, ExtractSubstring(hello, 5, 1).length);
    EXPECT_EQ(0u, ExtractSubstring(hello, -1, 2).length);
    EXPECT_EQ(0u, ExtractSubstring(hello, 1, 0).length);
    EXPECT_EQ(RtString::emptyBuffer(), ExtractSubstring(hello, 1, 0).data);
    EXPECT_EQ(0u, ExtractSubstring(RtString(), 0, -1).length);
}

TEST(Substring, StartPlusCountBeyondTwoToThe31NeverReadsPastTheText) {
    RtString hello("hello");
    EXPECT_EQ("lo", bytesOf(ExtractSubstring(hello, 3, INT_MAX)));
    EXPECT_EQ(0u, ExtractSubstring(hello, INT_MAX, INT_MAX).length);
    EXPECT_EQ(0u, ExtractSubstring(hello, INT_MIN, INT_MAX).length);
    EXPECT_EQ(0u, ExtractSubstring(hello, INT_MAX, -1).length);
    EXPECT_EQ("hello", bytesOf(ExtractSubstring(hello, 0, INT_MAX)));
}

TEST(Trim, PassesOverBytesOfTheSet) {
    EXPECT_EQ("ab", bytesOf(TrimRight(RtString("ab  "), RtString(" "))));
    EXPECT_EQ("ab", bytesOf(TrimLeft(RtString("xxab"), RtString("x"))));
    EXPECT_EQ(0u, TrimRight(RtString("   "), RtString(" ")).length);
    EXPECT_EQ(0u, TrimLeft(RtString("   "), RtString(" ")).length);
    EXPECT_EQ("ab ", bytesOf(TrimLeft(RtString("ab "), RtString())));
    EXPECT_EQ(" ab", bytesOf(TrimRight(RtString(" ab"), RtString(" x"))));
    EXPECT_EQ("b", bytesOf(TrimRight(RtString::fromBytes("b\0\0", 3), RtString::fromBytes("\0", 1))));
    EXPECT_EQ(0u, TrimRight(RtString(), RtString(" ")).length);
}

TEST(Trim, TrailingControlBytesAreCutInPlace) {
    RtString line("line\r\n");
    line.stripTrailingControl();
    EXPECT_EQ("line", bytesOf(line));
    EXPECT_EQ(4u, line.length);
    RtString high("ab\xA0");
    high.stripTrailingControl();
    EXPECT_EQ(3u, high.length);
    RtString all("\x01\x1F");
    all.stripTrailingControl();
    EXPECT_EQ(0u, all.length);
    RtString empty;
    empty.stripTrailingControl();
    EXPECT_EQ(RtString::emptyBuffer(), empty.data);
}

TEST(Replace, EveryOccurrenceLeftToRightNeverRescanningReplacements) {
    RtString dotted("a.b.c");
    RtString slashed = ReplaceText(dotted, RtString("."), RtString("/"));
    EXPECT_EQ("a/b/c", bytesOf(slashed));
    EXPECT_EQ(dotted.capacity, slashed.capacity);  // same size: edited in a copy
    EXPECT_EQ("aaaaaa", bytesOf(ReplaceText(RtString("aaa"), RtString("a"), RtString("aa"))));
    EXPECT_EQ(0u, ReplaceText(RtString("abcabc"), RtString("abc"), RtString()).length);
    EXPECT_EQ("xabxab", bytesOf(ReplaceText(RtString("abab"), RtString("ab"), RtString("xab"))));
    EXPECT_EQ("abc", bytesOf(ReplaceText(RtString("abc"), RtString(), RtString("x"))));
    EXPECT_EQ("a--b--c", bytesOf(replaceAll(RtString("aXbXc"), RtString("X"), RtString("--"))));
    EXPECT_EQ("x--y", bytesOf(ReplaceText(RtString::fromBytes("x\0y", 3),
                                          RtString::fromBytes("\0", 1), RtString("--"))));
    EXPECT_EQ(0u, ReplaceText(RtString(), RtString("a"), RtString("b")).length);
}

TEST(CaseConversion, OnlyAsciiLettersChange) {
    EXPECT_EQ("abc\xC9z1", bytesOf(LowerCase(RtString("AbC\xC9Z1"))));
    EXPECT_EQ("ABC\xE9Z1", bytesOf(UpperCase(RtString("abc\xE9z1"))));
    RtString s("MiXeD");
    s.toLowerInPlace();
    EXPECT_EQ("mixed", bytesOf(s));
    s.toUpperInPlace();
    EXPECT_EQ("MIXED", bytesOf(s));
}
