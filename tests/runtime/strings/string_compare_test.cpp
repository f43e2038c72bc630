// The comparison families, the number readings of a string and its small
// members: three-way compare, wide view, truncation.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cwchar>
#include <limits>
#include <string>

#include "string_test_util.h"

using rtstring::Relation;
using rtstring::relation;

TEST(CompareFamily, TextsCompareByStrcmpNumbersByValue) {
    EXPECT_TRUE(relation<Relation::Less>(5LL, "12"));
    EXPECT_TRUE(relation<Relation::Greater>("5", "12"));
    EXPECT_TRUE(RtString("5") > RtString("12"));
    EXPECT_TRUE(RtString("5") < 12LL);
    EXPECT_TRUE(RtString("5") < 12);
    EXPECT_TRUE(12.5 > RtString("12.4"));
    EXPECT_TRUE(RtString() < "a");
    EXPECT_TRUE(RtString("\x80") > "z");
    EXPECT_TRUE(RtString("abc") <= "abc");
    EXPECT_TRUE(RtString("abd") >= RtString("abc"));
    EXPECT_TRUE(RtString("abc") != "abd");
}

TEST(CompareFamily, EachNumberKindReadsTheTextItsOwnWay) {
    RtString big("3000000000");
    EXPECT_TRUE(big == 3000000000LL);        // 64-bit digits
    EXPECT_TRUE(big == 2147483647);          // atoi clamps
    EXPECT_TRUE(big == 3e9);                 // atof
    EXPECT_TRUE(RtString("4294967295") == 4294967295u);  // unsigned 32-bit reads as long long
    EXPECT_TRUE(RtString(" 12abc") == static_cast<uint8_t>(12));
    EXPECT_TRUE(RtString("3.9") == 3);
    EXPECT_TRUE(RtString("3.9") == 3LL);
    EXPECT_TRUE(relation<Relation::Equal>("abc", 0));
    EXPECT_TRUE(RtString("0.1") == 0.1);
    EXPECT_FALSE(RtString("0.1") == 0.1f);
    EXPECT_TRUE(RtString("0.1") != 0.1f);
    EXPECT_TRUE(RtString("9223372036854775808") == LLONG_MIN);  // digits wrap modulo 2^64
    EXPECT_TRUE(RtString("18446744073709551617") == 1LL);
    EXPECT_TRUE(RtString("-9223372036854775809") > 0LL);
}

TEST(CompareFamily, UnsignedSixtyFourBitValuesCompareByTheirOwnValue) {
    const uint64_t top = UINT64_MAX, high = uint64_t{1} << 63;
    EXPECT_TRUE(RtString("18446744073709551615") == top);
    EXPECT_TRUE(RtString("9223372036854775808") == high);
    EXPECT_TRUE(RtString("5") < top);
    EXPECT_TRUE(RtString("-1") < uint64_t{0});
    EXPECT_TRUE(RtString("-1") != top);
    EXPECT_TRUE(high > RtString("9223372036854775807"));
    EXPECT_TRUE(relation<Relation::LessEqual>("18446744073709551615", top));
    EXPECT_TRUE(RtString("18446744073709551616") == uint64_t{0});  // digits wrap modulo 2^64
    EXPECT_TRUE(RtString("18446744073709551621") == uint64_t{5});
}

TEST(CompareFamily, NaNMakesEveryRelationFalseButNotEqual) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    RtString s("1");
    EXPECT_FALSE(s == nan);
    EXPECT_FALSE(s < nan);
    EXPECT_FALSE(s <= nan);
    EXPECT_FALSE(nan > s);
    EXPECT_FALSE(nan >= s);
    EXPECT_TRUE(s != nan);
    EXPECT_TRUE(static_cast<float>(nan) != s);
    EXPECT_EQ(0, s.compare(nan));
}

TEST(CompareFamily, EqualityOfStringsIsLengthFirstInequalityStopsAtNul) {
    RtString s = RtString::fromBytes("a\0b", 3);
    EXPECT_FALSE(s == "a");
    EXPECT_FALSE("a" == s);
    EXPECT_FALSE(s != "a");  // strcmp stops at the NUL
    EXPECT_FALSE(s == RtString("a"));
    EXPECT_TRUE(s == RtString::fromBytes("a\0b", 3));
    EXPECT_TRUE(static_cast<const char*>(nullptr) == RtString());
    EXPECT_TRUE(RtString() == static_cast<const char*>(nullptr));
    EXPECT_TRUE(RtString() != "x");
    EXPECT_FALSE(RtString("x") < static_cast<const char*>(nullptr));  // null reads as empty
}

TEST(StringMembers, NumberValuesAndThreeWayCompare) {
    EXPECT_EQ(1, RtString("10").compare(9));
    EXPECT_EQ(-1, RtString("8").compare(9));
    EXPECT_EQ(0, RtString("abc").compare(0));
    EXPECT_EQ(1, RtString("2.5").compare(2.25));
    EXPECT_EQ(-1, RtString("2.5").compare(3.0));
    EXPECT_EQ(0, RtString("2.5").compare(2.5));
    EXPECT_LT(RtString("abc").compare("abd"), 0);
    EXPECT_EQ(0, RtString().compare(nullptr));
    EXPECT_EQ(-7.5, RtString(" -7.5x").toDouble());
    EXPECT_EQ(42, RtString("42.9").toInt());
    EXPECT_EQ(0, RtString("abc").toInt());
}

TEST(StringMembers, TruncateCutsInsideTheTextOnly) {
    RtString s("hello");
    s.truncate(-1);
    s.truncate(5);
    EXPECT_EQ("hello", bytesOf(s));
    s.truncate(2);
    EXPECT_EQ("he", bytesOf(s));
    const uint32_t capacity = s.capacity;
    s.truncate(0);
    EXPECT_EQ(0u, s.length);
    EXPECT_EQ(capacity, s.capacity);
    EXPECT_EQ('\0', s.data[0]);
    RtString empty;
    empty.truncate(0);
    EXPECT_EQ(RtString::emptyBuffer(), empty.data);
}

TEST(WideText, ViewWidensEachByteAndIsCutToItsBuffer) {
    const wchar_t* view = RtString("ab\xE9").toWide();
    EXPECT_EQ(L'a', view[0]);
    EXPECT_EQ(L'\xE9', view[2]);
    EXPECT_EQ(L'\0', view[3]);
    RtString longText(std::string(600, 'q').c_str());
    view = longText.toWide();
    EXPECT_EQ(511u, std::wcslen(view));
    EXPECT_EQ(L'\0', RtString().toWide()[0]);
}

TEST(WideText, ConstructionNarrowsEachCharacter) {
    RtString s(L"abc");
    EXPECT_EQ("abc", bytesOf(s));
    EXPECT_EQ(16u, s.capacity);
    RtString empty(L"");
    EXPECT_EQ(0u, empty.length);
    EXPECT_EQ(16u, empty.capacity);
    RtString none(static_cast<const wchar_t*>(nullptr));
    EXPECT_EQ(RtString::emptyBuffer(), none.data);
    EXPECT_EQ("a?b\xE9", bytesOf(RtString(L"a\u0100b\u00e9")));
    RtString target;
    target.reserve(40, false);
    target.assign(L"xy");
    EXPECT_EQ(48u, target.capacity);
    EXPECT_EQ("xy", bytesOf(target));
}
