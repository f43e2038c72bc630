// Sorting string arrays by strcmp and by a compare routine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <strings.h>
#include <vector>

#include "runtime/containers/rt_array.h"

namespace {

void fill(RtArray<RtString>& texts, const std::vector<std::string>& words) {
    texts.dim(static_cast<int32_t>(words.size()));
    for (size_t n = 0; n < words.size(); ++n) texts.at(static_cast<int32_t>(n)) = words[n].c_str();
}

std::vector<std::string> contents(const RtArray<RtString>& texts) {
    std::vector<std::string> out;
    for (int32_t n = 0; n < texts.total; ++n) out.emplace_back(texts.at(n).data);
    return out;
}

double noCase(const RtString* a, const RtString* b) { return strcasecmp(a->data, b->data); }
double halves(const RtString* a, const RtString* b) { return (a->data[0] - b->data[0]) * 0.5; }

}  // namespace

TEST(TextSort, OneSlotStaysAsItIs) {
    RtArray<RtString> texts;
    fill(texts, {"only"});
    char* before = texts.at(0).data;
    texts.sortAll(nullptr);
    EXPECT_EQ(before, texts.at(0).data);
}

TEST(TextSort, ByteOrderWithoutARoutine) {
    RtArray<RtString> texts;
    fill(texts, {"b", "a"});
    char* b = texts.at(0).data;
    texts.sortAll(nullptr);
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), contents(texts));
    EXPECT_EQ(b, texts.at(1).data);  // whole slots move; no text is copied
    fill(texts, {"c", "b", "a"});
    texts.sortAll(nullptr);
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), contents(texts));
    fill(texts, {"apple", "Zebra", "app", "", "\xe9t\xe9"});
    texts.sortAll(nullptr);
    EXPECT_EQ((std::vector<std::string>{"", "Zebra", "app", "apple", "\xe9t\xe9"}), contents(texts));
}

TEST(TextSort, EqualCaseFoldedSlotsExchangePlaces) {
    RtArray<RtString> texts;
    fill(texts, {"a", "A"});
    texts.sortAll(noCase);
    EXPECT_EQ((std::vector<std::string>{"A", "a"}), contents(texts));
    fill(texts, {"A", "a"});
    texts.sortAll(noCase);
    EXPECT_EQ((std::vector<std::string>{"a", "A"}), contents(texts));
}

TEST(TextSort, ResultsBetweenMinusOneAndOneCountAsEqual) {
    EXPECT_EQ(0, RtArray<RtString>::compareByRoutine(nullptr, nullptr, [](const RtString*, const RtString*) { return 0.5; }));
    EXPECT_EQ(0, RtArray<RtString>::compareByRoutine(nullptr, nullptr, [](const RtString*, const RtString*) { return -0.99; }));
    EXPECT_EQ(-1, RtArray<RtString>::compareByRoutine(nullptr, nullptr, [](const RtString*, const RtString*) { return -1.7; }));
    RtArray<RtString> texts;
    fill(texts, {"b", "a"});  // differ by one: the routine gives 0.5
    texts.sortAll(halves);
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), contents(texts));  // equal: exchanged once
    fill(texts, {"c", "a"});
    texts.sortAll(halves);
    EXPECT_EQ((std::vector<std::string>{"a", "c"}), contents(texts));
}

TEST(TextSort, NotANumberAndHugeResultsHaveAPlace) {
    auto nan = [](const RtString*, const RtString*) { return std::nan(""); };
    auto huge = [](const RtString*, const RtString*) { return 1e300; };
    auto tiny = [](const RtString*, const RtString*) { return -1e300; };
    EXPECT_EQ(0, RtArray<RtString>::compareByRoutine(nullptr, nullptr, nan));
    EXPECT_EQ(INT32_MAX, RtArray<RtString>::compareByRoutine(nullptr, nullptr, huge));
    EXPECT_EQ(INT32_MIN, RtArray<RtString>::compareByRoutine(nullptr, nullptr, tiny));
}

TEST(TextSort, InconsistentRoutinesNeverLeaveTheRun) {
    RtArray<RtString> texts;
    std::vector<std::string> words;
    for (int n = 0; n < 200; ++n) words.push_back(std::to_string(n));
    for (auto routine : {+[](const RtString*, const RtString*) { return -1.0; },
                         +[](const RtString*, const RtString*) { return 1.0; },
                         +[](const RtString*, const RtString*) { return std::rand() % 3 - 1.0; }}) {
        std::srand(7);
        fill(texts, words);
        texts.sortAll(routine);  // the order is open; nothing outside is touched
        auto out = contents(texts);
        std::sort(out.begin(), out.end());
        auto expected = words;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, out);
    }
}

TEST(TextSort, RandomInputSortsLikeTheStandardLibrary) {
    std::mt19937 random(1234);
    std::vector<std::string> words;
    for (int n = 0; n < 3000; ++n) {
        std::string w;
        for (int c = random() % 6; c >= 0; --c) w += static_cast<char>('A' + random() % 40);
        words.push_back(w);
    }
    RtArray<RtString> texts;
    fill(texts, words);
    texts.sortAll(nullptr);
    std::sort(words.begin(), words.end());
    EXPECT_EQ(words, contents(texts));
}

TEST(TextSort, SortedAndReversedInputStayShallow) {
    std::vector<std::string> words;
    for (int n = 0; n < 4000; ++n) {
        char w[8];
        std::snprintf(w, sizeof w, "%05d", n);
        words.push_back(w);
    }
    RtArray<RtString> texts;
    fill(texts, words);
    texts.sortAll(nullptr);
    EXPECT_EQ(words, contents(texts));
    std::vector<std::string> reversed(words.rbegin(), words.rend());
    fill(texts, reversed);
    texts.sortAll(nullptr);
    EXPECT_EQ(words, contents(texts));
    fill(texts, std::vector<std::string>(500, "same"));
    texts.sortAll(nullptr);
    EXPECT_EQ(500u, contents(texts).size());
}

TEST(TextSort, EmptyArrayAndBadRunsDoNothing) {
    RtArray<RtString> texts;
    texts.sortAll(nullptr);
    fill(texts, {"b", "a"});
    RtArray<RtString>::sort(texts.data + 1, texts.data, nullptr);
    RtArray<RtString>::sort(nullptr, nullptr, nullptr);
    EXPECT_EQ((std::vector<std::string>{"b", "a"}), contents(texts));
}
