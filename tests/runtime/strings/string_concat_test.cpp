// The append and concatenation families over every operand kind.
#include <gtest/gtest.h>

#include <cstdint>

#include "string_test_util.h"

template <typename T>
concept Appendable = requires(RtString s, T v) { s += v; };
template <typename T>
concept Joinable = requires(RtString s, T v) { s + v; v + s; };
static_assert(Appendable<int> && Appendable<double> && Appendable<uint16_t> && Appendable<const char*>);
static_assert(!Appendable<char> && !Appendable<bool>, "characters go through appendChar");
static_assert(Joinable<long> && Joinable<float> && !Joinable<char> && !Joinable<bool>);

TEST(AppendFamily, NumbersAppendTheirConstructorText) {
    RtString s;
    s += 0;
    EXPECT_EQ("0", bytesOf(s));
    s += -12LL;
    s += 2.0;
    s += 0.1f;
    s += 0.1;
    EXPECT_EQ("0-1220.10000000150.1", bytesOf(s));
    RtString kinds;
    kinds += static_cast<uint8_t>(200);
    kinds += static_cast<int16_t>(-7);
    kinds += 4294967295u;
    kinds += static_cast<uint64_t>(1) << 40;
    EXPECT_EQ("200-742949672951099511627776", bytesOf(kinds));
}

TEST(AppendFamily, UnsignedSixtyFourBitValuesKeepTheirDigits) {
    const uint64_t top = UINT64_MAX, high = uint64_t{1} << 63;
    RtString s;
    s += top;
    EXPECT_EQ("18446744073709551615", bytesOf(s));
    RtString x("x");
    EXPECT_EQ("x9223372036854775808", bytesOf(x + high));
    RtString left = top + x;
    EXPECT_EQ("18446744073709551615x", bytesOf(left));
    EXPECT_EQ(80u, left.capacity);  // as for a long long on the left
    EXPECT_EQ("x18446744073709551615", bytesOf(concatText("x", top)));
    EXPECT_EQ("9223372036854775808x", bytesOf(concatText(high, "x")));
}

TEST(AppendFamily, EmptyOperandsChangeNothingAndAllocateNothing) {
    RtString s;
    s += RtString();
    s += "";
    s += static_cast<const char*>(nullptr);
    EXPECT_EQ(RtString::emptyBuffer(), s.data);
    EXPECT_EQ(0u, s.capacity);
    RtString t("abc");
    const char* before = t.data;
    t += static_cast<const char*>(nullptr);
    EXPECT_EQ(before, t.data);
    EXPECT_EQ("abc", bytesOf(t));
}

TEST(AppendFamily, GrowthFollowsTheSixteenByteRule) {
    RtString s;
    s.assign("abcdefghijklmn");  // capacity 15, exact
    s += 5;                      // needed 15: capacity 32
    EXPECT_EQ(32u, s.capacity);
    EXPECT_EQ("abcdefghijklmn5", bytesOf(s));
}

TEST(ConcatFamily, EveryPairGivesLeftThenRight) {
    RtString x("x");
    EXPECT_EQ("x5", bytesOf(concatText("x", 5)));
    EXPECT_EQ("5x", bytesOf(concatText(5, "x")));
    EXPECT_EQ("-12", bytesOf(concatText(-12LL, "")));
    EXPECT_EQ("2.5x", bytesOf(concatText(2.5f, "x")));
    EXPECT_EQ("x0.25", bytesOf(concatText("x", 0.25)));
    EXPECT_EQ("x5", bytesOf(x + 5));
    EXPECT_EQ("5x", bytesOf(5 + x));
    EXPECT_EQ("x-9", bytesOf(x + -9LL));
    EXPECT_EQ("3x", bytesOf(3.0 + x));
    EXPECT_EQ("x0.1000000015", bytesOf(x + 0.1f));
    EXPECT_EQ("xy", bytesOf(x + "y"));
    EXPECT_EQ("yx", bytesOf("y" + x));
    EXPECT_EQ("xx", bytesOf(x + x));
    EXPECT_EQ("x", bytesOf(x));
}

TEST(ConcatFamily, ANumberOnTheLeftKeepsItsConstructorCapacity) {
    RtString right("abc");
    EXPECT_EQ(80u, (2.0 + right).capacity);
    EXPECT_EQ(80u, (7LL + right).capacity);
    EXPECT_EQ(32u, (7 + right).capacity);
    EXPECT_EQ(16u, (right + 7).capacity);  // copy of "abc", then "7" fits
    RtString fits(std::string(78, 'a').c_str());
    EXPECT_EQ(80u, (1.0 + fits).capacity);  // 79 bytes
    RtString over(std::string(79, 'a').c_str());
    EXPECT_EQ(96u, (1.5 + over).capacity);  // 82 bytes: reserve(82)
}

TEST(ConcatFamily, TwoEmptyTextsGiveTheEmptyState) {
    RtString s = concatText("", "");
    EXPECT_EQ(RtString::emptyBuffer(), s.data);
    EXPECT_EQ(0u, s.capacity);
    RtString t = concatText(static_cast<const char*>(nullptr), "");
    EXPECT_EQ(RtString::emptyBuffer(), t.data);
}
