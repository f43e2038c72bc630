// SplitText: tokens, empty tokens, several delimiters and odd arguments.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/containers/split_text.h"

namespace {

std::vector<std::string> split(const char* text, const char* delimiters, int skipEmpty, int32_t* count = nullptr) {
    RtArray<RtString> out;
    int32_t n = SplitText(RtString(text), out, RtString(delimiters), skipEmpty);
    if (count) *count = n;
    std::vector<std::string> tokens;
    for (int32_t i = 0; i < out.total; ++i) tokens.emplace_back(out.at(i).data, out.at(i).length);
    EXPECT_EQ(n, out.d1);
    return tokens;
}

using Tokens = std::vector<std::string>;

}  // namespace

TEST(SplitText, EmptyTokensAreKeptOrSkipped) {
    int32_t n = 0;
    EXPECT_EQ((Tokens{"a", "b", "", "c"}), split("a,b,,c", ",", 0, &n));
    EXPECT_EQ(4, n);
    EXPECT_EQ((Tokens{"a", "b", "c"}), split("a,b,,c", ",", 1, &n));
    EXPECT_EQ(3, n);
}

TEST(SplitText, LeadingDelimiterGivesAnEmptyTokenTrailingOneDoesNot) {
    EXPECT_EQ((Tokens{"", "a"}), split(",a", ",", 0));
    EXPECT_EQ((Tokens{"a"}), split("a,", ",", 0));
    EXPECT_EQ((Tokens{"", ""}), split(",,", ",", 0));
    EXPECT_EQ((Tokens{}), split(",,,", ",", 1));
    EXPECT_EQ((Tokens{"a"}), split(",,a,,", ",", 1));
}

TEST(SplitText, EmptyTextGivesNoTokenAndAnEmptiedArray) {
    RtArray<RtString> out;
    out.dim(5);
    EXPECT_EQ(0, SplitText(RtString(), out, RtString(","), 0));
    EXPECT_EQ(0, out.d1);
    EXPECT_EQ(0, out.total);
    EXPECT_EQ(0, out.dims);
    EXPECT_EQ(0, out.capacity);
    EXPECT_EQ(nullptr, out.data);
}

TEST(SplitText, AnyOfSeveralDelimiters) {
    EXPECT_EQ((Tokens{"x", "1", "y", "2"}), split("x=1;y=2", "=;", 0));
    EXPECT_EQ((Tokens{"a", "b"}), split("a \tb", " \t", 1));
}

TEST(SplitText, EmptyDelimiterSetKeepsTheWholeText) {
    EXPECT_EQ((Tokens{"a,b"}), split("a,b", "", 0));
    EXPECT_EQ((Tokens{"a,b"}), split("a,b", "", 1));
}

TEST(SplitText, ReplacesWhatTheArrayHeldAndGrowsByPush) {
    RtArray<RtString> out;
    out.dim(3, 2);
    std::string text;
    for (int n = 0; n < 100; ++n) text += std::to_string(n) + " ";
    EXPECT_EQ(100, SplitText(RtString(text.c_str()), out, RtString(" "), 0));
    EXPECT_EQ(1, out.dims);
    EXPECT_EQ(0, out.d2);
    EXPECT_EQ(128, out.capacity);
    EXPECT_STREQ("99", out.at(-1).data);
}

TEST(SplitText, TextAndDelimitersMayBeElementsOfTheArray) {
    RtArray<RtString> out;
    out.push("p-q-r");
    out.push("-");
    EXPECT_EQ(3, SplitText(out.at(0), out, out.at(1), 0));
    EXPECT_STREQ("p", out.at(0).data);
    EXPECT_STREQ("r", out.at(2).data);
}
