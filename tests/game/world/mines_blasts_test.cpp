// Mines going off beside a neighbour at rest, and the blast's five cells of
// fire over 23 frames, alone and overlapping.
#include "game/world/cell_codes.h"
#include "game/world/mines_blasts.h"
#include "scripted_play.h"

namespace worldtest {
namespace {

using Mines = PlayTest;

const std::vector<std::string> kMineRow = {
    "#######",
    "#.....#",
    "#..M..#",
    "#.....#",
    "#######",
};

// The five cells of a blast centred on (c, r) and what OVERLAY holds there.
std::vector<int32_t> fireAround(int32_t c, int32_t r) {
    return {OVERLAY.at(c, r), OVERLAY.at(c, r - 1), OVERLAY.at(c, r + 1), OVERLAY.at(c - 1, r),
            OVERLAY.at(c + 1, r)};
}
const std::vector<int32_t> kBurning(5, cell::kBlastFire);
const std::vector<int32_t> kOut(5, cell::kNothing);

TEST_F(Mines, SpawnRoutinesGiveTheStartingRecords) {
    SpawnMine(3, 4);
    SpawnBlast(5, 6);
    EXPECT_EQ(fields(MINES.at(0)), (Fields{48, 64, 0, 0, 0, 0}));
    EXPECT_EQ(BLASTS.at(0).x, 80);
    EXPECT_EQ(BLASTS.at(0).y, 96);
    EXPECT_EQ(BLASTS.at(0).tick, 0);
    EXPECT_EQ(BLASTS.at(0).frame, 0);
}

TEST_F(Mines, AMineGoesOffWhenANeighbourAboveTwentyRestsBesideIt) {
    registerSounds();
    load(1, kMineRow);
    MAP.at(3, 1) = 20;  // the solid tiles up to 20 never set it off
    UpdateMines();
    EXPECT_EQ(MINES.d1, 1);
    EXPECT_EQ(fields(MINES.at(0)), (Fields{48, 32, 20, 0, 0, 0}));
    MAP.at(4, 2) = cell::kDiver;
    STEP_TICKS = 3;
    UpdateMines();
    EXPECT_EQ(MINES.d1, 1) << "not while the diver's step runs";
    STEP_TICKS = 0;
    UpdateMines();
    EXPECT_EQ(MINES.d1, 0);
    EXPECT_EQ(MINE_FIRED, 1);
    EXPECT_EQ(MAP.at(3, 2), cell::kWater);
    ASSERT_EQ(BLASTS.d1, 1);
    EXPECT_EQ(BLASTS.at(0).x, 48);
    EXPECT_EQ(BLASTS.at(0).y, 32);
    EXPECT_EQ(requests(), (std::vector<std::string>{"playSound:s3:0:0.5"}));
}

TEST_F(Mines, TileTwentyOneAndEveryFamilyCodeSetAMineOff) {
    for (int32_t code : {21, 24, 25, 26, 27, 31, 39, 43, 48, 80, 99}) {
        load(1, kMineRow);
        MAP.at(2, 2) = code;
        UpdateMines();
        EXPECT_EQ(MINES.d1, 0) << code;
    }
}

TEST_F(Mines, OfTwoMinesSideBySideOnlyTheFirstGoesOff) {
    load(1, {
                "######",
                "#....#",
                "#.MM.#",
                "#....#",
                "######",
            });
    UpdateMines();
    ASSERT_EQ(MINES.d1, 1);
    EXPECT_EQ(MINES.at(0).x, 48) << "the second saw 0 in the first one's cell";
    EXPECT_EQ(BLASTS.d1, 1);
}

using Blasts = PlayTest;

TEST_F(Blasts, ABlastBurnsFiveCellsFor23Frames) {
    load(1, kMineRow);
    SpawnBlast(3, 2);
    MINE_FIRED = 1;
    std::vector<double> frames;
    for (int i = 1; i <= 23; ++i) {
        STEP_COOLDOWN = 0;
        UpdateBlasts();
        ASSERT_EQ(BLASTS.d1, 1) << "update " << i;
        EXPECT_EQ(fireAround(3, 2), kBurning) << "update " << i;
        EXPECT_EQ(STEP_COOLDOWN, 2);
        frames.push_back(BLASTS.at(0).frame);
    }
    const std::vector<double> expected = {0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 2, 2, 2,
                                          2, 2, 2, 3, 3, 3, 3, 3, 3};
    EXPECT_EQ(frames, expected);
    EXPECT_EQ(OVERLAY.at(2, 1), cell::kNothing) << "the diagonals stay clear";
    UpdateBlasts();
    EXPECT_EQ(BLASTS.d1, 0);
    EXPECT_EQ(fireAround(3, 2), kOut);
    EXPECT_EQ(MINE_FIRED, 0);
}

TEST_F(Blasts, WhenTheFirstOfTwoOverlappingBlastsEndsTheSecondBurnsItsCellsAgain) {
    load(1, kMineRow);
    SpawnBlast(2, 2);
    for (int i = 0; i < 10; ++i) UpdateBlasts();
    SpawnBlast(3, 2);  // shares (2, 2) and (3, 2)
    for (int i = 0; i < 13; ++i) UpdateBlasts();
    EXPECT_EQ(fireAround(2, 2), kBurning);
    UpdateBlasts();
    ASSERT_EQ(BLASTS.d1, 1) << "the first has ended";
    // The first cleared its five cells; the second, next in the same walk,
    // wrote its fire again.
    EXPECT_EQ(fireAround(3, 2), kBurning);
    EXPECT_EQ(OVERLAY.at(1, 2), cell::kNothing);
    EXPECT_EQ(OVERLAY.at(2, 1), cell::kNothing);
    EXPECT_EQ(OVERLAY.at(2, 3), cell::kNothing);
    EXPECT_EQ(MINE_FIRED, 0) << "any blast's end clears it";
}

TEST_F(Blasts, AMineSetOffByTheDiverKillsHimInItsFire) {
    start(1, {
                 "#######",
                 "#....G#",
                 "#P..M.#",
                 "#######",
             });
    frames(20);
    frame(held("Right"));
    frames(40, held("Right"));  // the second step ends beside the mine
    EXPECT_EQ(MINES.d1, 0);
    EXPECT_EQ(PLAYERS.d1, 0) << "the diver stood in the blast's left arm";
    EXPECT_EQ(POPS.d1, 1);
}

}  // namespace
}  // namespace worldtest
