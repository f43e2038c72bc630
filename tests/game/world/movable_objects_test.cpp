// Sponges, boulders and bombs: pushes, falls, landings, crushing, the bomb's
// fall count and explosions, and death in blast fire.
#include <algorithm>

#include "game/world/cell_codes.h"
#include "game/world/movable_objects.h"
#include "runtime/services/isaac.h"
#include "scripted_play.h"

namespace worldtest {
namespace {

using Objects = PlayTest;

TEST_F(Objects, SpawnRoutinesGiveTheStartingRecords) {
    SeedRandom(5);
    const int32_t interval = RandomInt(90);
    SeedRandom(5);
    SpawnSponge(1, 2);
    SpawnBoulder(3, 4);
    SpawnBomb(5, 6);
    EXPECT_EQ(fields(SPONGES.at(0)), (Fields{16, 32, 0, 0}));
    EXPECT_EQ(fields(BOULDERS.at(0)), (Fields{48, 64, 0, 0, 0}));
    EXPECT_EQ(fields(BOMBS.at(0)), (Fields{80, 96, 0, 0, 0, 0, double(interval), 0}));
}

TEST_F(Objects, ASpongeSlidesAheadOfTheDiverSteppingTowardIt) {
    start(1, {
                 "########",
                 "#P.Q..G#",
                 "########",
             });
    frames(20);
    frame(held("Right"));  // the diver claims (2, 1), beside the sponge
    EXPECT_EQ(SPONGES.at(0).pushHeading, 1);
    EXPECT_EQ(MAP.at(4, 1), cell::kSponge);
    EXPECT_EQ(SPONGES.at(0).x, 50);
    frames(8);
    EXPECT_EQ(SPONGES.at(0).x, 64);
    EXPECT_EQ(SPONGES.at(0).pushHeading, 0);
    EXPECT_EQ(MAP.at(4, 1), cell::kSponge);
    EXPECT_EQ(MAP.at(3, 1), cell::kWater);
}

TEST_F(Objects, OfTheFourSpongeTestsTheLaterWins) {
    load(1, {
                "#####",
                "#...#",
                "#.Q.#",
                "#...#",
                "#####",
            });
    MAP.at(1, 2) = cell::kDiver;
    MAP.at(3, 2) = cell::kDiver;
    MAP.at(2, 1) = cell::kDiver;
    STEP_TICKS = 8;
    UpdateSponges();
    // Left and right are both taken, so only "above holds the diver, below
    // free" matches: heading 2.
    EXPECT_EQ(SPONGES.at(0).pushHeading, 2);
    MAP.at(2, 1) = 0;
    MAP.at(1, 2) = cell::kDiver;
    MAP.at(3, 2) = 0;
    SPONGES.at(0) = Sponge{32, 32, 0, 0};
    MAP.at(2, 3) = cell::kDiver;  // below too: the up test comes last
    UpdateSponges();
    EXPECT_EQ(SPONGES.at(0).pushHeading, 4);
    EXPECT_EQ(MAP.at(3, 2), cell::kSponge) << "the earlier claim stays";
    EXPECT_EQ(MAP.at(2, 1), cell::kSponge);
}

TEST_F(Objects, ASpongeInFireDiesAtRestOnly) {
    load(1, {
                "#####",
                "#.Q.#",
                "#####",
            });
    OVERLAY.at(2, 1) = cell::kBlastFire;
    STEP_TICKS = 3;
    UpdateSponges();
    EXPECT_EQ(SPONGES.d1, 1);
    EXPECT_EQ(LEVEL_LOST, 0);
    STEP_TICKS = 0;
    UpdateSponges();
    EXPECT_EQ(SPONGES.d1, 0);
    EXPECT_EQ(LEVEL_LOST, 1);
    EXPECT_EQ(fields(POPS.at(0)), (Fields{32, 16, 0, 0}));
}

TEST_F(Objects, ABoulderFallsFourPixelsAFrameAndLandsOnTheFloor) {
    registerSounds();
    load(1, {
                "###",
                "#B#",
                "#.#",
                "#.#",
                "###",
            });
    UpdateBoulders();
    EXPECT_EQ(BOULDERS.at(0).falling, 1);
    EXPECT_EQ(BOULDERS.at(0).y, 20);
    EXPECT_EQ(MAP.at(1, 1), cell::kWater);
    EXPECT_EQ(STEP_COOLDOWN, 5);
    for (int i = 0; i < 6; ++i) UpdateBoulders();
    EXPECT_EQ(BOULDERS.at(0).y, 44);
    EXPECT_EQ(BOULDERS.at(0).falling, 1);
    UpdateBoulders();
    EXPECT_EQ(BOULDERS.at(0).y, 48);
    EXPECT_EQ(BOULDERS.at(0).falling, 0);
    EXPECT_EQ(requests(), (std::vector<std::string>{"playSound:s5:0:0.5"}));
    UpdateBoulders();
    EXPECT_EQ(MAP.at(1, 3), cell::kBoulder);
    EXPECT_EQ(BOULDERS.at(0).y, 48);
}

TEST_F(Objects, ABoulderOnWeedOrAGemStaysAndOnWaterFallsAtTheNextRest) {
    load(1, {
                "#######",
                "#B.B.B#",
                "#W.G..#",
                "#######",
            });
    STEP_TICKS = 4;
    UpdateBoulders();
    EXPECT_EQ(BOULDERS.at(2).falling, 0) << "no fall begins during a step";
    STEP_TICKS = 0;
    UpdateBoulders();
    EXPECT_EQ(BOULDERS.at(0).falling, 0);
    EXPECT_EQ(BOULDERS.at(1).falling, 0);
    EXPECT_EQ(BOULDERS.at(2).falling, 1);
}

TEST_F(Objects, ABoulderFallsThroughTheDiverAndCrushesHimAtRest) {
    registerSounds();
    load(1, {
                "###",
                "#B#",
                "#.#",
                "#.#",
                "###",
            });
    MAP.at(1, 3) = cell::kDiver;
    for (int i = 0; i < 8; ++i) UpdateBoulders();
    EXPECT_EQ(BOULDERS.at(0).y, 48) << "it falls into the diver's cell and lands on the floor";
    EXPECT_EQ(POPS.d1, 0);
    UpdateBoulders();
    ASSERT_EQ(POPS.d1, 1);
    EXPECT_EQ(fields(POPS.at(0)), (Fields{16, 48, 0, 0}));
    EXPECT_EQ(requests(), (std::vector<std::string>{"playSound:s5:0:0.5", "playSound:s2:0:0.5"}));
}

// A crush is a loss like a catch: LEVEL_LOST, one pop and one pop sound, and
// the diver takes no input until the reload. Before, the level was not lost:
// the crushed diver could walk away, and a pop came every frame.
TEST_F(Objects, ACrushedDiverLosesTheLevelWithOnePop) {
    registerSounds();
    start(1, {
                 "######",
                 "#..B.#",
                 "#P.G.#",
                 "#...G#",
                 "######",
             });
    frames(20);
    frame(held("Right"));
    frames(19);
    frame(held("Right"));  // takes the gem under the boulder, which rests on him
    frames(19);
    frame(held("Down"));  // out from under it: it falls after him
    device.clearRequests();
    ASSERT_GT(framesUntil([] { return POPS.d1 > 0; }, 40), 0);
    EXPECT_EQ(LEVEL_LOST, 1);
    EXPECT_EQ(fields(POPS.at(0)), (Fields{48, 48, 1, 0})) << "stepped once in the frame of the crush";
    frames(10, held("Left"));
    EXPECT_EQ(diver().x, 48) << "the crushed diver takes no input";
    EXPECT_EQ(POPS.d1, 1);
    const auto sent = requests();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "playSound:s2:0:0.5"), 1);
}

TEST_F(Objects, ABoulderLandsOnMinesVentsBouldersAndItems) {
    load(1, {
                "#######",
                "#B.B.B#",
                "#.#.#.#",
                "#M#B#V#",
                "#######",
            });
    // Each of the top three falls one cell: onto a mine, a boulder, a vent.
    for (int i = 0; i < 6; ++i) UpdateBoulders();
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(BOULDERS.at(i).y, 32) << i;
        EXPECT_EQ(BOULDERS.at(i).falling, 0) << i;
    }
    EXPECT_EQ(BOULDERS.at(3).y, 48);
}

TEST_F(Objects, BlastFireDestroysABoulder) {
    load(1, {
                "###",
                "#B#",
                "###",
            });
    OVERLAY.at(1, 1) = cell::kBlastFire;
    UpdateBoulders();
    EXPECT_EQ(BOULDERS.d1, 0);
    EXPECT_EQ(MAP.at(1, 1), cell::kWater);
    EXPECT_EQ(LEVEL_LOST, 0);
}

TEST_F(Objects, ABombFallingOneCellExplodesWhenItLands) {
    registerSounds();
    load(1, {
                "###",
                "#X#",
                "#.#",
                "###",
            });
    for (int i = 0; i < 3; ++i) UpdateBombs();
    EXPECT_EQ(BOMBS.at(0).y, 28);
    EXPECT_EQ(BOMBS.at(0).fallCount, 3);
    EXPECT_EQ(STEP_COOLDOWN, 2);
    UpdateBombs();
    EXPECT_EQ(BOMBS.d1, 0);
    EXPECT_EQ(MINE_FIRED, 1);
    ASSERT_EQ(BLASTS.d1, 1);
    EXPECT_EQ(BLASTS.at(0).x, 16);
    EXPECT_EQ(BLASTS.at(0).y, 32);
    EXPECT_EQ(requests(), (std::vector<std::string>{"playSound:s3:0:0.5"}));
}

TEST_F(Objects, ABombFallsOnlyWhileTheDiverRests) {
    load(1, {
                "###",
                "#X#",
                "#.#",
                "###",
            });
    UpdateBombs();  // starts falling: 4 pixels
    STEP_TICKS = 5;
    UpdateBombs();
    EXPECT_EQ(BOMBS.at(0).y, 20);
    EXPECT_EQ(BOMBS.at(0).fallCount, 1);
}

TEST_F(Objects, TheFallCountOfABombIsNeverReset) {
    load(1, {
                "###",
                "#X#",
                "#.#",
                "#.#",
                "###",
            });
    UpdateBombs();  // one frame of falling: y 20
    MAP.at(1, 2) = 1;
    UpdateBombs();  // lands on the new tile after two frames: no explosion
    EXPECT_EQ(BOMBS.d1, 1);
    EXPECT_EQ(BOMBS.at(0).fallCount, 2);
    EXPECT_EQ(BOMBS.at(0).falling, 0);
    EXPECT_EQ(BOMBS.at(0).y, 24);
    MAP.at(1, 2) = 0;
    for (int i = 0; i < 5; ++i) UpdateBombs();  // rests over water again and falls on
    EXPECT_EQ(BOMBS.d1, 1);
    EXPECT_EQ(BOMBS.at(0).y, 44);
    UpdateBombs();
    EXPECT_EQ(BOMBS.d1, 0) << "landing after more than two frames of falling in all";
    EXPECT_EQ(BLASTS.at(0).y, 48);
}

TEST_F(Objects, ABombInBlastFireExplodesAndClearsItsCell) {
    load(1, {
                "###",
                "#X#",
                "###",
            });
    UpdateBombs();
    EXPECT_EQ(MAP.at(1, 1), cell::kBoulder);
    OVERLAY.at(1, 1) = cell::kBlastFire;
    UpdateBombs();
    EXPECT_EQ(BOMBS.d1, 0);
    EXPECT_EQ(MAP.at(1, 1), cell::kWater);
    EXPECT_EQ(BLASTS.d1, 1);
    EXPECT_EQ(MINE_FIRED, 1);
}

TEST_F(Objects, ABombInASpawnCodeCellLosesTheLevel) {
    load(1, {
                "###",
                "#X#",
                "###",
            });
    MAP.at(1, 1) = 34;
    UpdateBombs();
    EXPECT_EQ(LEVEL_LOST, 1);
    EXPECT_EQ(POPS.d1, 1);
}

TEST_F(Objects, TheDiverPushesABombLikeABoulder) {
    registerSounds();
    start(1, {
                 "#######",
                 "#....G#",
                 "#.PX..#",
                 "#######",
             });
    frames(20);
    PLAYERS.at(0).pushDelay = 1;
    frame(held("Right"));
    EXPECT_EQ(BOMBS.at(0).pushHeading, 1);
    frames(8);
    EXPECT_EQ(BOMBS.at(0).x, 64);
    EXPECT_EQ(MAP.at(4, 2), cell::kBoulder);
    const auto sent = requests();
    EXPECT_NE(std::find(sent.begin(), sent.end(), "playSound:s4:0:0.5"), sent.end());
}

}  // namespace
}  // namespace worldtest
