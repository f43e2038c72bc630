// Percent-encoding, decoding and UTF-8 to single bytes.
#include <gtest/gtest.h>

#include "runtime/strings/url_text.h"
#include "string_test_util.h"

TEST(UrlText, EncodeEscapesAllButLettersAndDigits) {
    EXPECT_EQ("a%20b", bytesOf(UrlEncode(RtString("a b"))));
    EXPECT_EQ("%2d%5f%2e%7eAz09", bytesOf(UrlEncode(RtString("-_.~Az09"))));
    EXPECT_EQ("%c3%a9", bytesOf(UrlEncode(RtString("\xE9"))));
    EXPECT_EQ("%c2%a0%c2%bf", bytesOf(UrlEncode(RtString("\xA0\xBF"))));
    EXPECT_EQ("%00", bytesOf(UrlEncode(RtString::fromBytes("\0", 1))));
    EXPECT_EQ(RtString::emptyBuffer(), UrlEncode(RtString()).data);
}

TEST(UrlText, DecodeDropsBrokenEscapes) {
    EXPECT_EQ("a bA", bytesOf(UrlDecode(RtString("a+b%41%4"))));
    EXPECT_EQ("\xE9", bytesOf(UrlDecode(RtString("%c3%a9"))));
    EXPECT_EQ("z", bytesOf(UrlDecode(RtString("%zz"))));
    EXPECT_EQ("ab", bytesOf(UrlDecode(RtString("ab%"))));
    EXPECT_EQ("J", bytesOf(UrlDecode(RtString("%4a"))));
    EXPECT_EQ("\xE9", bytesOf(UrlDecode(UrlEncode(RtString("\xE9")))));
}

TEST(UrlText, Utf8SequencesBecomeOneByte) {
    RtString s = RtString::fromBytes("A\xC3\xA9\xE2\x82\xAC\x80\xFF", 8);
    utf8ToSingleByte(s);
    // e-acute, the euro sign keeps its low 8 bits (0xAC); stray bytes go.
    EXPECT_EQ("A\xE9\xAC", bytesOf(s));
    RtString cut("ab\xC3");
    utf8ToSingleByte(cut);
    EXPECT_EQ("ab", bytesOf(cut));
    RtString shortLead("a\xE2\x82");
    utf8ToSingleByte(shortLead);
    EXPECT_EQ("a", bytesOf(shortLead));  // the lead goes alone, 0x82 is stray
}

TEST(UrlText, FourByteSequencesKeepTheLow8BitsAndBrokenOnesOnlyLoseTheirLead) {
    EXPECT_EQ("\xA9", bytesOf(UrlDecode(RtString("%F0%9F%92%A9"))));  // U+1F4A9
    EXPECT_EQ("caf au lait", bytesOf(UrlDecode(RtString("caf%e9+au+lait"))));
    EXPECT_EQ("xyz", bytesOf(UrlDecode(RtString("x%F0%9Fyz"))));
    EXPECT_EQ("a\xE9", bytesOf(UrlDecode(RtString("a%C3%C3%A9"))));
}
