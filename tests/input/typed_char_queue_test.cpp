#include <gtest/gtest.h>

#include "input/typed_char_queue.h"

namespace {

TEST(TypedCharQueue, OldestFirstAndZeroWhenEmpty) {
    TypedCharQueue q;
    EXPECT_EQ(q.pop(), 0);
    EXPECT_TRUE(q.push('a'));
    EXPECT_TRUE(q.push('b'));
    EXPECT_EQ(q.size(), 2);
    EXPECT_EQ(q.pop(), 'a');
    EXPECT_EQ(q.pop(), 'b');
    EXPECT_EQ(q.pop(), 0);
    EXPECT_EQ(q.size(), 0);
}

TEST(TypedCharQueue, HoldsSixteenAndDropsWhatComesAfter) {
    TypedCharQueue q;
    for (int i = 0; i < 16; ++i) EXPECT_TRUE(q.push(static_cast<uint8_t>('A' + i)));
    EXPECT_FALSE(q.push('!'));
    EXPECT_EQ(q.size(), 16);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(q.pop(), 'A' + i);
    EXPECT_EQ(q.pop(), 0);
}

TEST(TypedCharQueue, WrapsAroundItsRing) {
    TypedCharQueue q;
    for (int round = 0; round < 5; ++round) {
        for (int i = 0; i < 11; ++i) q.push(static_cast<uint8_t>(i + round));
        for (int i = 0; i < 11; ++i) EXPECT_EQ(q.pop(), i + round);
    }
    q.push(200);
    q.clear();
    EXPECT_EQ(q.size(), 0);
    EXPECT_EQ(q.pop(), 0);
}

}  // namespace
