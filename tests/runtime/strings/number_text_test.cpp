// Number text: integer and double constructors, radix text, hexadecimal,
// character codes, field widths and the readings of text as numbers.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

#include "runtime/strings/number_format.h"
#include "runtime/strings/number_text.h"
#include "string_test_util.h"

namespace {

double fromBits(uint64_t bits) {
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

}  // namespace

TEST(NumberText, IntegerConstructorsHaveFixedCapacities) {
    RtString small(12345);
    EXPECT_EQ("12345", bytesOf(small));
    EXPECT_EQ(32u, small.capacity);
    EXPECT_EQ("0", bytesOf(RtString(0)));
    EXPECT_EQ("-2147483648", bytesOf(RtString(INT_MIN)));
    RtString wide(LLONG_MIN);
    EXPECT_EQ("-9223372036854775808", bytesOf(wide));
    EXPECT_EQ(80u, wide.capacity);
    EXPECT_EQ("9223372036854775807", bytesOf(RtString(LLONG_MAX)));
    RtString hex = RtString::fromHex(255);
    EXPECT_EQ("ff", bytesOf(hex));
    EXPECT_EQ(32u, hex.capacity);
    EXPECT_EQ("ffffffff", bytesOf(RtString::fromHex(0xFFFFFFFFu)));
    EXPECT_EQ("0", bytesOf(RtString::fromHex(0)));
}

TEST(NumberText, Int64ToTextInEveryRadix) {
    char buffer[65];
    EXPECT_STREQ("ffffffffffffffff", int64ToText(-1, buffer, 16));
    EXPECT_STREQ("ff", int64ToText(255, buffer, 16));
    EXPECT_STREQ("-9223372036854775808", int64ToText(LLONG_MIN, buffer, 10));
    EXPECT_STREQ("1000000000000000000000000000000000000000000000000000000000000000",
                 int64ToText(LLONG_MIN, buffer, 2));
    EXPECT_STREQ("zz", int64ToText(35 * 36 + 35, buffer, 36));
    EXPECT_STREQ("0", int64ToText(0, buffer, 7));
    EXPECT_STREQ("-5", int64ToText(-5, buffer, 99));  // an unknown radix counts as 10
}

TEST(NumberText, DoubleTextKeepsTenDigitsInTheShorterForm) {
    const struct { double value; const char* text; } cases[] = {
        {3.0, "3"}, {0.5, "0.5"}, {0.0, "0"}, {-0.0, "-0"}, {100.0, "100"}, {-3.0, "-3"},
        {0.1, "0.1"}, {1.0 / 3, "0.3333333333"}, {2.0 / 3, "0.6666666667"},
        {1234567.891, "1234567.891"}, {123456.7891234, "123456.7891"},
        {9999999999.0, "9999999999"}, {9999999999.6, "10000000000"}, {0.99999999996, "1"},
        // exponent form below 0.1 and from ten integer digits on
        {0.05, "5.e-002"}, {0.0123456789012, "1.23456789e-002"}, {1e10, "1.e+010"},
        {12345678901.0, "1.23456789e+010"}, {1e100, "1.e+100"}, {1.5e-5, "1.5e-005"},
        {-2.5e-7, "-2.5e-007"}, {0.099999999996, "1.e-001"}, {5e-324, "4.940656458e-324"},
        {1.7976931348623157e308, "1.797693135e+308"},
        // half up on the 17-digit expansion, though the exact value lies below the half
        {1.0001000025, "1.000100003"},
    };
    for (const auto& c : cases) {
        RtString s(c.value);
        EXPECT_EQ(c.text, bytesOf(s)) << c.text;
        EXPECT_EQ(80u, s.capacity);
    }
}

TEST(NumberText, InfinitiesAndNaNsReadAsTheRuntimeAlwaysShowedThem) {
    EXPECT_EQ("1.#INF", bytesOf(RtString(HUGE_VAL)));
    EXPECT_EQ("-1.#INF", bytesOf(RtString(-HUGE_VAL)));
    EXPECT_EQ("1.#QNAN", bytesOf(RtString(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_EQ("-1.#IND", bytesOf(RtString(fromBits(0xFFF8000000000000ull))));
    EXPECT_EQ("-1.#QNAN", bytesOf(RtString(fromBits(0xFFF8000000000001ull))));
    EXPECT_EQ("1.#SNAN", bytesOf(RtString(fromBits(0x7FF0000000000001ull))));
}

TEST(NumberText, FloatsWidenToDoubleFirst) {
    EXPECT_EQ("0.1000000015", bytesOf(RtString(0.1f)));
    EXPECT_EQ("2", bytesOf(RtString(2.0f)));
}

TEST(NumberText, TidyFixesOnlyPointZeroAndATrailingPoint) {
    char a[] = ".0", b[] = "3.", c[] = "0.5", d[] = "";
    EXPECT_EQ(1u, rtstring::tidyShortDoubleText(a, 2));
    EXPECT_STREQ("0", a);
    EXPECT_EQ(1u, rtstring::tidyShortDoubleText(b, 2));
    EXPECT_STREQ("3", b);
    EXPECT_EQ(3u, rtstring::tidyShortDoubleText(c, 3));
    EXPECT_EQ(0u, rtstring::tidyShortDoubleText(d, 0));
}

TEST(NumberText, HexadecimalBytesAndPairs) {
    const unsigned char bytes[] = {0x01, 0xAB};
    EXPECT_EQ("01AB", bytesOf(bytesToHexText(bytes, 2, true)));
    EXPECT_EQ("01ab", bytesOf(bytesToHexText(bytes, 2, false)));
    RtString none = bytesToHexText(bytes, 0, true);
    EXPECT_EQ(RtString::emptyBuffer(), none.data);
    EXPECT_EQ(0u, bytesToHexText(bytes, -3, true).length);
    EXPECT_EQ(65, hexPairToByte('4', '1'));
    EXPECT_EQ(255, hexPairToByte('f', 'F'));
    EXPECT_EQ(2 * 16 + ('g'), hexPairToByte('2', 'g'));
    EXPECT_EQ(-1 * 16 + 0, hexPairToByte('\xFF', '0'));  // a signed character code
}

TEST(NumberText, CharacterCodes) {
    EXPECT_EQ(0, CharacterCode(RtString()));
    EXPECT_EQ(65, CharacterCode(RtString("A")));
    EXPECT_EQ(0xE9, CharacterCode(RtString("\xE9")));
    RtString ab("AB");
    EXPECT_EQ(66, CharacterCodeAt(ab, 1));
    EXPECT_EQ(0, CharacterCodeAt(ab, 2));
    EXPECT_EQ(0, CharacterCodeAt(ab, -1));
    RtString nul = CharacterFromCode(0);
    EXPECT_EQ(1u, nul.length);
    EXPECT_EQ(0u, nul.textLength());
    EXPECT_EQ(16u, nul.capacity);
    EXPECT_EQ("\xFF", bytesOf(CharacterFromCode(255)));
}

TEST(NumberText, FieldWidthsAndDecimals) {
    EXPECT_EQ("   7", bytesOf(FormatInteger(4, 0, 7)));
    EXPECT_EQ("12345", bytesOf(FormatInteger(4, 0, 12345)));
    EXPECT_EQ("  -3", bytesOf(FormatInteger(4.9, 0, -3)));
    EXPECT_EQ("7   ", bytesOf(FormatInteger(-4, 0, 7)));
    EXPECT_EQ("-9223372036854775808", bytesOf(FormatInteger(0, 0, LLONG_MIN)));
    EXPECT_EQ("    3.14", bytesOf(FormatNumber(8, 2, 3.14159)));
    EXPECT_EQ("3.14    ", bytesOf(FormatNumber(-8, 2, 3.14159)));
    EXPECT_EQ(16u, FormatInteger(4, 0, 7).capacity);
    // half up, where glibc's printf rounds an exact half to even
    EXPECT_EQ("0.13", bytesOf(FormatNumber(0, 2, 0.125)));
    EXPECT_EQ("3", bytesOf(FormatNumber(0, 0, 2.5)));
    EXPECT_EQ("1", bytesOf(FormatNumber(0, 0, 0.5)));
    EXPECT_EQ("0.01", bytesOf(FormatNumber(0, 2, 0.005)));
    EXPECT_EQ("0.00", bytesOf(FormatNumber(0, 2, 0.0009)));
    EXPECT_EQ("-0.00", bytesOf(FormatNumber(0, 2, -0.001)));
    EXPECT_EQ("1.500000", bytesOf(FormatNumber(0, -1, 1.5)));
    EXPECT_EQ("1.#INF00", bytesOf(FormatNumber(0, 6, HUGE_VAL)));
    EXPECT_EQ("    1.#J", bytesOf(FormatNumber(8, 2, HUGE_VAL)));
}

TEST(NumberText, FieldWidthsAreBoundedWhateverTheArguments) {
    EXPECT_EQ(1024u, FormatInteger(2000, 0, 7).length);
    EXPECT_EQ(1024u, FormatInteger(-1e300, 0, 7).length);
    EXPECT_EQ("7", bytesOf(FormatInteger(std::nan(""), 0, 7)));
    RtString huge = FormatNumber(0, 2, 1e300);
    ASSERT_EQ(304u, huge.length);  // 301 digits, the point, 2 decimals
    EXPECT_EQ(0, std::memcmp(huge.data, "10000000000000001000", 20));
    EXPECT_EQ(".00", bytesOf(huge).substr(301));
    RtString longest = FormatNumber(0, 1e9, -1.7976931348623157e308);
    EXPECT_EQ(1u + 309 + 1 + 512, longest.length);
    EXPECT_EQ(1024u, FormatNumber(1e9, 1e9, -1.7976931348623157e308).length);
    EXPECT_EQ(512u, bytesOf(FormatNumber(0, 600, 1)).size() - 2);
}

TEST(NumberReading, SixtyFourBitDigitsWrapModuloTwoToTheSixtyFourth) {
    EXPECT_EQ(-42, textToInt64("  -42abc"));
    EXPECT_EQ(7, textToInt64("+7"));
    EXPECT_EQ(0, textToInt64("x1"));
    EXPECT_EQ(0, textToInt64(""));
    EXPECT_EQ(0, textToInt64(static_cast<const char*>(nullptr)));
    EXPECT_EQ(0, textToInt64("- 5"));
    EXPECT_EQ(-7, textToInt64(" \t\n\v\f\r-7"));
    EXPECT_EQ(3, textToInt64(RtString("3.9")));
    // The digits are kept modulo 2^64 and the sign is applied last.
    const struct { const char* text; long long value; } beyond[] = {
        {"9223372036854775807", LLONG_MAX},
        {"9223372036854775808", LLONG_MIN},
        {"9223372036854775813", LLONG_MIN + 5},
        {"18446744073709551615", -1},
        {"18446744073709551616", 0},
        {"18446744073709551617", 1},
        {"99999999999999999999", 7766279631452241919},  // 10^20 - 1 - 5 x 2^64
        {"-9223372036854775808", LLONG_MIN},
        {"-9223372036854775809", LLONG_MAX},
        {"-18446744073709551615", 1},
        {"-18446744073709551617", -1},
        {" +000000000000000000000000042", 42},
    };
    for (const auto& c : beyond) EXPECT_EQ(c.value, textToInt64(c.text)) << c.text;
}

TEST(NumberReading, SixtyFourBitValuesComeBackFromTheirText) {
    // Unsigned values are written as unsigned digits; their bits come back.
    for (uint64_t value : {uint64_t{0}, uint64_t{1} << 63, (uint64_t{1} << 63) + 5, UINT64_MAX - 1, UINT64_MAX}) {
        const RtString text = RtString() + value;
        EXPECT_EQ(value, static_cast<uint64_t>(textToInt64(text))) << bytesOf(text);
    }
    EXPECT_EQ("9223372036854775813", bytesOf(RtString() + ((uint64_t{1} << 63) + 5)));
    for (long long value : {LLONG_MIN, LLONG_MIN + 1, -1LL, 0LL, LLONG_MAX}) {
        EXPECT_EQ(value, textToInt64(RtString(value))) << value;
    }
}

TEST(NumberReading, IntegersClampToTheIntRange) {
    using rtstring::parseInt32Text;
    EXPECT_EQ(-42, parseInt32Text("  -42abc"));
    EXPECT_EQ(INT_MAX, parseInt32Text("2147483647"));
    EXPECT_EQ(INT_MAX, parseInt32Text("2147483648"));
    EXPECT_EQ(INT_MIN, parseInt32Text("-2147483648"));
    EXPECT_EQ(INT_MIN, parseInt32Text("-99999999999999999999999"));
    EXPECT_EQ(3, parseInt32Text("3.9"));
    EXPECT_EQ(0, parseInt32Text("+"));
    EXPECT_EQ(0, parseInt32Text("0x10"));
}

TEST(NumberReading, DoublesHaveNoHexadecimalInfinityOrNaNForms) {
    using rtstring::parseDoubleText;
    EXPECT_EQ(-1500.0, parseDoubleText("  -1.5e3xyz"));
    EXPECT_EQ(100.0, parseDoubleText("1d2"));
    EXPECT_EQ(0.01, parseDoubleText("1D-2"));
    EXPECT_EQ(0.0, parseDoubleText("0x10"));
    EXPECT_EQ(0.0, parseDoubleText("inf"));
    EXPECT_EQ(0.0, parseDoubleText("-infinity"));
    EXPECT_EQ(0.0, parseDoubleText("nan"));
    EXPECT_EQ(1.0, parseDoubleText("1e"));
    EXPECT_EQ(1.0, parseDoubleText("1e+"));
    EXPECT_EQ(0.5, parseDoubleText(".5"));
    EXPECT_EQ(5.0, parseDoubleText("5."));
    EXPECT_EQ(5.0, parseDoubleText("+.5e1"));
    EXPECT_EQ(0.0, parseDoubleText("."));
    EXPECT_EQ(0.0, parseDoubleText("-"));
    EXPECT_EQ(0.0, parseDoubleText(nullptr));
    EXPECT_EQ(0.1, parseDoubleText("0.1"));
    EXPECT_EQ(HUGE_VAL, parseDoubleText("1e400"));
    EXPECT_EQ(-HUGE_VAL, parseDoubleText("-1e400"));
    EXPECT_EQ(HUGE_VAL, parseDoubleText(std::string(400, '9').c_str()));
    EXPECT_EQ(0.0, parseDoubleText("1e-400"));
    EXPECT_EQ(0.0, parseDoubleText("0.000001e-99999999999"));
    EXPECT_EQ(4e-320, parseDoubleText("4e-320"));
}
