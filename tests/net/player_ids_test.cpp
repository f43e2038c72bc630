// The host's ids in use: given in order from 101, again from 101 once the
// valid range is used up, never one in use, none when all are.
#include <gtest/gtest.h>

#include "net/player_ids.h"

TEST(PlayerIds, TheCountGoesOnThenStartsAgainSkippingIdsInUse) {
    PlayerIds ids;
    EXPECT_EQ(ids.firstFreeFrom(kFirstAssignedPlayerId), 101);
    EXPECT_EQ(ids.firstFreeFrom(5000), 5000);
    ids.take(101);
    ids.take(102);
    ids.take(kLastValidPlayerId);
    EXPECT_TRUE(ids.inUse(102));
    EXPECT_EQ(ids.firstFreeFrom(101), 103);
    EXPECT_EQ(ids.firstFreeFrom(kLastValidPlayerId), 103);      // past the range, from 101 again
    EXPECT_EQ(ids.firstFreeFrom(kLastValidPlayerId + 1), 103);  // what the count holds after 65,279
    EXPECT_EQ(ids.firstFreeFrom(0), 103);
    ids.giveBack(102);
    EXPECT_FALSE(ids.inUse(102));
    EXPECT_EQ(ids.firstFreeFrom(kLastValidPlayerId), 102);
}

TEST(PlayerIds, NoneIsFreeWhenEveryValidIdIsInUse) {
    PlayerIds ids;
    for (uint32_t id = kFirstAssignedPlayerId; id <= kLastValidPlayerId; ++id) ids.take(static_cast<uint16_t>(id));
    for (uint32_t from : {101u, 102u, 30000u, 65279u, 65280u}) EXPECT_EQ(ids.firstFreeFrom(from), 0) << from;
    ids.giveBack(64);  // outside the range given out: still none
    EXPECT_EQ(ids.firstFreeFrom(101), 0);
    ids.giveBack(40000);
    EXPECT_EQ(ids.firstFreeFrom(101), 40000);
    EXPECT_EQ(ids.firstFreeFrom(50000), 40000);
    ids.clear();
    EXPECT_EQ(ids.firstFreeFrom(50000), 50000);
}
