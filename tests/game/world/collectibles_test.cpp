// Gems, pearls and oysters: taking them, their sounds, their animation, and
// the pearl that opens the first oyster beside the diver.
#include "game/world/cell_codes.h"
#include "game/world/collectibles.h"
#include "game/world/effects.h"
#include "world_fixture.h"

namespace worldtest {
namespace {

class Collectibles : public WorldTest {
protected:
    Collectibles() {
        registerSounds();
        for (int x = 0; x < 30; ++x)
            for (int y = 0; y < 30; ++y) MAP.at(x, y) = cell::kWater;
    }
};

TEST_F(Collectibles, SpawnGemCountsAndMarksTheGem) {
    MAP.at(4, 5) = 33;
    GEMS_LEFT = 2;
    SpawnGem(4, 5);
    EXPECT_EQ(GEMS_LEFT, 3);
    EXPECT_EQ(MAP.at(4, 5), 0);
    EXPECT_EQ(OVERLAY.at(4, 5), 23);
    EXPECT_EQ(fields(GEMS.at(0)), (Fields{64, 80}));
}

TEST_F(Collectibles, AGemStaysUntilTheDiverIsInItsCell) {
    SpawnGem(2, 2);
    MAP.at(3, 2) = cell::kDiver;
    UpdateGems();
    EXPECT_EQ(GEMS.d1, 1);
    EXPECT_TRUE(requests().empty());
}

TEST_F(Collectibles, ATakenGemRingsSparklesAndCountsOnlyWhenTheSparkleEnds) {
    SpawnGem(2, 3);
    SpawnGem(5, 5);
    MAP.at(2, 3) = cell::kDiver;  // claimed at the start of a step: taken at once
    UpdateGems();
    ASSERT_EQ(GEMS.d1, 1);
    EXPECT_EQ(fields(GEMS.at(0)), (Fields{80, 80}));
    EXPECT_EQ(OVERLAY.at(2, 3), 0);
    EXPECT_EQ(OVERLAY.at(5, 5), 23);
    ASSERT_EQ(SPARKLES.d1, 1);
    EXPECT_EQ(fields(SPARKLES.at(0)), (Fields{32, 48, 0, 4}));
    EXPECT_EQ(requests(), (std::vector<std::string>{"playSound:s1:0:0.1"}));
    EXPECT_EQ(GEMS_LEFT, 2);
    for (int i = 0; i < 8; ++i) UpdateSparkles();
    EXPECT_EQ(GEMS_LEFT, 1);
}

TEST_F(Collectibles, SpawnPearlFreesItsCell) {
    MAP.at(7, 1) = 47;
    SpawnPearl(7, 1);
    EXPECT_EQ(MAP.at(7, 1), 0);
    EXPECT_EQ(fields(PEARLS.at(0)), (Fields{112, 16, 0, 0}));
}

TEST_F(Collectibles, APearlIsTakenByADiverWhoCarriesNone) {
    SpawnPearl(1, 1);
    SpawnPearl(2, 1);
    MAP.at(1, 1) = cell::kDiver;
    MAP.at(2, 1) = cell::kDiver;
    UpdatePearls();
    EXPECT_EQ(PEARL_TAKEN, 1);
    ASSERT_EQ(PEARLS.d1, 1);  // the second waits: one pearl at a time
    EXPECT_EQ(PEARLS.at(0).x, 32);
    EXPECT_EQ(requests(), (std::vector<std::string>{"playSound:s8:0:0.5"}));
}

TEST_F(Collectibles, APearlCyclesThroughThirteenFramesOneEveryEightUpdates) {
    SpawnPearl(1, 1);
    std::vector<int> frames;
    for (int i = 0; i < 8 * 13 + 1; ++i) {
        UpdatePearls();
        frames.push_back(PEARLS.at(0).frame);
    }
    EXPECT_EQ(frames[6], 0);
    EXPECT_EQ(frames[7], 1);
    EXPECT_EQ(PEARLS.at(0).tick, 1);
    EXPECT_EQ(frames[8 * 12 + 6], 12);
    EXPECT_EQ(frames[8 * 12 + 7], 0);
}

TEST_F(Collectibles, SpawnOysterTakesTheCellAboveItsLowerCell) {
    MAP.at(6, 4) = 46;
    SpawnOyster(6, 4);
    EXPECT_EQ(fields(OYSTERS.at(0)), (Fields{96, 48, 0, 0, 0, 0, 0, 2, 0}));
    EXPECT_EQ(MAP.at(6, 3), 46);
    EXPECT_EQ(MAP.at(6, 4), 46);
}

TEST_F(Collectibles, AClosedOysterWaitsForAPearl) {
    MAP.at(6, 4) = 46;
    SpawnOyster(6, 4);
    MAP.at(5, 4) = cell::kDiver;
    for (int i = 0; i < 20; ++i) UpdateOysters();
    EXPECT_EQ(fields(OYSTERS.at(0)), (Fields{96, 48, cell::kDiver, 0, 0, 0, 0, 2, 0}));
    EXPECT_EQ(MAP.at(6, 3), 46);
    EXPECT_TRUE(requests().empty());
}

TEST_F(Collectibles, ACarriedPearlOpensTheOysterAndFreesItsUpperCell) {
    MAP.at(6, 4) = 46;
    SpawnOyster(6, 4);
    PEARL_TAKEN = 1;
    MAP.at(7, 3) = cell::kDiver;  // beside the upper cell
    UpdateOysters();
    EXPECT_EQ(PEARL_TAKEN, 0);
    EXPECT_EQ(OYSTERS.at(0).state, 1);
    EXPECT_EQ(OYSTERS.at(0).frame, 4);
    EXPECT_EQ(OYSTERS.at(0).tick, 1);
    EXPECT_EQ(requests(), (std::vector<std::string>{"playSound:s6:0:0.5"}));
    std::vector<int> frames{OYSTERS.at(0).frame};
    while (OYSTERS.at(0).state == 1 && frames.size() < 100) {
        UpdateOysters();
        frames.push_back(OYSTERS.at(0).frame);
    }
    // Frame 4 from the opening update, then 5, 6 and 7 for six updates each.
    ASSERT_EQ(frames.size(), 18u);
    EXPECT_EQ(frames[4], 4);
    EXPECT_EQ(frames[5], 5);
    EXPECT_EQ(frames[11], 6);
    EXPECT_EQ(frames[17], 7);
    EXPECT_EQ(OYSTERS.at(0).state, 2);
    EXPECT_EQ(MAP.at(6, 3), 0);
    EXPECT_EQ(MAP.at(6, 4), 46);
    for (int i = 0; i < 20; ++i) UpdateOysters();
    EXPECT_EQ(OYSTERS.at(0).frame, 7);
    EXPECT_EQ(OYSTERS.at(0).state, 2);
}

TEST_F(Collectibles, OnePearlOpensOnlyTheFirstOysterBesideTheDiver) {
    MAP.at(4, 4) = 46;
    MAP.at(6, 4) = 46;
    SpawnOyster(4, 4);
    SpawnOyster(6, 4);
    MAP.at(5, 4) = cell::kDiver;  // between the two lower cells
    PEARL_TAKEN = 1;
    UpdateOysters();
    EXPECT_EQ(OYSTERS.at(0).state, 1);
    EXPECT_EQ(OYSTERS.at(1).state, 0);
    EXPECT_EQ(OYSTERS.at(1).frame, 2);
    EXPECT_EQ(PEARL_TAKEN, 0);
}

TEST_F(Collectibles, WithNoClosedOysterLeftFurtherPearlsStay) {
    SpawnPearl(1, 1);
    PEARL_TAKEN = 1;
    MAP.at(1, 1) = cell::kDiver;
    for (int i = 0; i < 5; ++i) UpdatePearls();
    EXPECT_EQ(PEARLS.d1, 1);
    EXPECT_EQ(PEARL_TAKEN, 1);
}

}  // namespace
}  // namespace worldtest
