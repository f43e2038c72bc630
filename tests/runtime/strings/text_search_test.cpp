// The Horspool byte search, forward and backward text search, and the
// first-of searches over character sets.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "runtime/strings/text_search.h"
#include "string_test_util.h"

TEST(ByteSearch, HorspoolFindsTheFirstOccurrence) {
    const char range[] = "the quick brown pattern fox pattern";
    EXPECT_EQ(16, findBytes(range, 35, "patter", 6));
    EXPECT_EQ(-1, findBytes("abc", 3, "abcd", 4));
    EXPECT_EQ(-1, findBytes("abc", 3, "", 0));
    EXPECT_EQ(0, findBytes("abc", 3, "abc", 3));
    EXPECT_EQ(-1, findBytes("abd", 3, "abc", 3));
    EXPECT_EQ(-1, findBytes(nullptr, 3, "a", 1));
    EXPECT_EQ(-1, findBytes("abc", 3, nullptr, 1));
    EXPECT_EQ(-1, findBytes("", 0, "a", 1));
    EXPECT_EQ(2, findBytes("ab\xFF\xFE", 4, "\xFF\xFE", 2));
}

TEST(ByteSearch, AgreesWithANaiveSearchOnRandomText) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 500; ++round) {
        std::string text(random() % 64, 'a'), pattern(1 + random() % 5, 'a');
        for (char& c : text) c = static_cast<char>('a' + random() % 3);
        for (char& c : pattern) c = static_cast<char>('a' + random() % 3);
        size_t expected = text.find(pattern);
        int32_t found = findBytes(text.data(), static_cast<uint32_t>(text.size()), pattern.data(),
                                  static_cast<uint32_t>(pattern.size()));
        EXPECT_EQ(expected == std::string::npos ? -1 : static_cast<int32_t>(expected), found)
            << text << " / " << pattern;
    }
}

TEST(ForwardSearch, EveryFormAndTheStartRule) {
    RtString text("abcabc");
    EXPECT_EQ(4, FindText(text, "bc", 2));
    EXPECT_EQ(4, FindText("abcabc", RtString("bc"), 2));
    EXPECT_EQ(1, FindText("abcabc", "bc", 0));
    EXPECT_EQ(1, FindText(text, RtString("bc"), 0));
    EXPECT_EQ(-1, FindText("abc", "c", 3));
    EXPECT_EQ(-1, FindText(RtString(), "a", 0));
    EXPECT_EQ(-1, FindText(static_cast<const char*>(nullptr), "a", 0));
    EXPECT_EQ(1, FindText(text, "bc", -5));  // a negative start counts as 0
    EXPECT_EQ(2, FindText(RtString::fromBytes("a\0b", 3), "b", 0));
}

TEST(BackwardSearch, LastOccurrenceAtOrBeforeTheLimit) {
    EXPECT_EQ(4, FindLastText("abcabc", "bc", -1));
    EXPECT_EQ(1, FindLastText(RtString("abcabc"), "bc", 3));
    EXPECT_EQ(1, FindLastText("aaa", RtString("aa"), -1));
    EXPECT_EQ(1, FindLastText(RtString("aa"), RtString("a"), 5));
    EXPECT_EQ(-1, FindLastText("a", "abc", -1));
    EXPECT_EQ(-1, FindLastText("abc", "", -1));
    EXPECT_EQ(-1, FindLastText("abcabc", "bc", 0));
}

TEST(SetSearch, FirstOfAndFirstNotOf) {
    const char* text = "  key=value";
    EXPECT_EQ(text + 5, findFirstOf(text, "=:"));
    EXPECT_EQ(text + 2, findFirstNotOf(text, " "));
    EXPECT_EQ(nullptr, findFirstOf(text, "#"));
    EXPECT_EQ(nullptr, findFirstNotOf("   ", " "));
    EXPECT_EQ(nullptr, findFirstOf(nullptr, " "));
    EXPECT_EQ(text, findFirstNotOf(text, nullptr));
}
