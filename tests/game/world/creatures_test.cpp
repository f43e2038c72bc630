// The five creatures on small maps: the starfish's wall following, the
// crab's ledge rule and stop, fish and anglers reversing and held by weed,
// the octopus hop toward the diver, the catch rules and death in fire.
#include "game/world/cell_codes.h"
#include "game/world/creatures.h"
#include "scripted_play.h"

namespace worldtest {
namespace {

class Creatures : public PlayTest {
protected:
    // Positions of a record after each of n diver steps.
    template <class T, class Update>
    std::vector<std::pair<int32_t, int32_t>> stepsOf(RtArray<T>& family, Update update, int n) {
        std::vector<std::pair<int32_t, int32_t>> at;
        for (int i = 0; i < n; ++i) {
            throughOneStep(update);
            at.emplace_back(static_cast<int32_t>(family.at(0).x), static_cast<int32_t>(family.at(0).y));
        }
        return at;
    }
    using Path = std::vector<std::pair<int32_t, int32_t>>;
};

TEST_F(Creatures, SpawnRoutinesGiveTheStartingRecords) {
    CRAB_SERIAL = 7;
    SpawnStarfish(1, 2, -1);
    SpawnStarfish(1, 2, 1);
    SpawnStarfish(1, 2, 0);
    SpawnCrab(3, 4, 1);
    SpawnFish(5, 6, 1, 4);
    SpawnAngler(7, 8);
    SpawnOctopus(9, 1);
    EXPECT_EQ(fields(STARFISH.at(0)), (Fields{16, 32, 0, 0, 0, 0, 3, 0, 0, 0, -1}));
    EXPECT_EQ(fields(STARFISH.at(1)), (Fields{16, 32, 0, 0, 0, 0, 1, 0, 0, 0, 1}));
    EXPECT_EQ(STARFISH.at(2).heading, 0);
    EXPECT_EQ(fields(CRABS.at(0)), (Fields{48, 64, 0, 0, 0, 0, 1, 7, 0}));
    EXPECT_EQ(CRAB_SERIAL, 8);
    EXPECT_EQ(fields(FISH.at(0)), (Fields{80, 96, 0, 0, 1, 4, 0, 0, 0, 0}));
    EXPECT_EQ(MAP.at(5, 6), cell::kFish);
    EXPECT_EQ(fields(ANGLERS.at(0)), (Fields{112, 128, 0, 0, 0, 0, 0}));
    EXPECT_EQ(MAP.at(7, 8), cell::kAngler);
    EXPECT_EQ(DARK_LEVEL, 1);
    EXPECT_EQ(fields(OCTOPUSES.at(0)), (Fields{144, 16, 0, 0, 0, 0}));
}

TEST_F(Creatures, AStarfishFollowsTheWallOnItsHandSide) {
    load(1, {
                "#######",
                "#.....#",
                "#..S..#",
                "#.....#",
                "#######",
            });
    UpdateStarfish();  // the first frame at rest: 24 in its cell, then it moves
    EXPECT_EQ(MAP.at(3, 2), cell::kStarfish);
    EXPECT_EQ(STARFISH.at(0).moving, 1);
    EXPECT_EQ(stepsOf(STARFISH, UpdateStarfish, 6),
              (Path{{48, 16}, {32, 16}, {16, 16}, {16, 32}, {16, 48}, {32, 48}}));
    EXPECT_EQ(MAP.at(2, 3), cell::kStarfish);
    EXPECT_EQ(MAP.at(1, 3), cell::kWater);
}

// A starfish takes a heading reached by a turn untested, but it moves only
// into a cell free for it. Before, boxed in (or in a pocket open on one
// side) it moved into the rock and left water there: a hole for good.
TEST_F(Creatures, ABoxedInStarfishTurnsButStaysOutOfTheWall) {
    load(1, {
                "#####",
                "#####",
                "##S##",
                "#####",
                "#####",
            });
    UpdateStarfish();
    EXPECT_EQ(STARFISH.at(0).heading, 1) << "up blocked, turned left, blocked, turned down untested";
    EXPECT_EQ(STARFISH.at(0).moving, 0);
    EXPECT_EQ(stepsOf(STARFISH, UpdateStarfish, 2), (Path{{32, 32}, {32, 32}}));
    EXPECT_EQ(MAP.at(2, 3), 1) << "the rock below stays";
    EXPECT_EQ(MAP.at(2, 2), cell::kStarfish);
}

TEST_F(Creatures, AStarfishCatchesInAnyFrameTheOthersOnlyAtRest) {
    load(1, {
                "#########",
                "#S.C.F.O#",
                "#.......#",
                "#########",
            });
    for (int32_t x : {1, 3, 5, 7}) MAP.at(x, 1) = cell::kDiver;
    STEP_TICKS = 5;
    UpdateCrabs();
    UpdateFish();
    UpdateOctopuses();
    EXPECT_EQ(LEVEL_LOST, 0);
    EXPECT_EQ(POPS.d1, 0);
    UpdateStarfish();
    EXPECT_EQ(LEVEL_LOST, 1);
    ASSERT_EQ(POPS.d1, 1);
    EXPECT_EQ(fields(POPS.at(0)), (Fields{16, 16, 0, 0}));
    EXPECT_EQ(STARFISH.d1, 1) << "the catcher stays";
}

TEST_F(Creatures, EachCatchesTheDiverInItsCellAtRestOnce) {
    registerSounds();
    load(1, {
                "######",
                "#..C.#",
                "######",
            });
    MAP.at(3, 1) = cell::kCrabCatch;  // a crab on 29 catches as on 22
    UpdateCrabs();
    EXPECT_EQ(LEVEL_LOST, 1);
    EXPECT_EQ(POPS.d1, 1);
    EXPECT_EQ(requests(), (std::vector<std::string>{"playSound:s2:0:0.5"}));
    MAP.at(3, 1) = cell::kDiver;
    UpdateCrabs();
    EXPECT_EQ(POPS.d1, 1) << "a lost level is not lost twice";
}

TEST_F(Creatures, CreaturesInBlastFireDieAndLoseTheLevel) {
    registerSounds();
    load(1, {
                "###########",
                "#S.C.F.O.A#",
                "#.........#",
                "###########",
            });
    for (int32_t x : {1, 3, 5, 7, 9}) OVERLAY.at(x, 1) = cell::kBlastFire;
    UpdateStarfish();
    UpdateCrabs();
    UpdateOctopuses();
    EXPECT_EQ(STARFISH.d1, 0);
    EXPECT_EQ(CRABS.d1, 0);
    EXPECT_EQ(OCTOPUSES.d1, 0);
    EXPECT_EQ(MAP.at(1, 1), cell::kWater) << "the starfish clears its cell";
    EXPECT_EQ(MAP.at(3, 1), cell::kWater) << "so does the crab";
    // Fish and anglers die in fire only at rest.
    STEP_TICKS = 3;
    UpdateFish();
    UpdateAnglers();
    EXPECT_EQ(FISH.d1, 1);
    EXPECT_EQ(ANGLERS.d1, 1);
    STEP_TICKS = 0;
    UpdateFish();
    UpdateAnglers();
    EXPECT_EQ(FISH.d1, 0);
    EXPECT_EQ(ANGLERS.d1, 0);
    EXPECT_EQ(MAP.at(5, 1), cell::kFish) << "a fish leaves its code behind";
    EXPECT_EQ(LEVEL_LOST, 1);
    EXPECT_EQ(POPS.d1, 5);
    // The crab and the octopus die with the pop sound; the others silently.
    EXPECT_EQ(requests(), (std::vector<std::string>{"playSound:s2:0:0.5", "playSound:s2:0:0.5"}));
}

// The ledge rule turns a crab back where no floor lies ahead; it walks into
// the cell on its new side and releases the one it had claimed. Before, that
// cell kept 31 for good, a wall no one could see or enter.
TEST_F(Creatures, ACrabPatrolsItsLedgeAndLeavesNoClaimBehindWhenItTurns) {
    load(1, {
                "########",
                "#......#",
                "#.C....#",
                "#.###..#",
                "########",
            });
    const Path path = stepsOf(CRABS, UpdateCrabs, 6);
    EXPECT_EQ(path, (Path{{48, 32}, {64, 32}, {48, 32}, {32, 32}, {48, 32}, {64, 32}}));
    EXPECT_EQ(MAP.at(5, 2), cell::kWater);
    EXPECT_EQ(MAP.at(1, 2), cell::kWater);
    EXPECT_EQ(MAP.at(4, 2), cell::kCrab) << "its own cell";
}

// Turned by the ledge rule toward rock, a crab stops in its cell. Before, it
// walked into the rock (and left water there when it walked on).
TEST_F(Creatures, ACrabTurnedTowardRockStops) {
    load(1, {
                "#####",
                "#C..#",
                "##..#",
                "#####",
            });
    EXPECT_EQ(stepsOf(CRABS, UpdateCrabs, 3), (Path{{16, 16}, {16, 16}, {16, 16}}));
    EXPECT_EQ(CRABS.at(0).heading, -1);
    EXPECT_EQ(MAP.at(0, 1), 1);
    EXPECT_EQ(MAP.at(1, 1), cell::kCrab);
    EXPECT_EQ(MAP.at(2, 1), cell::kWater);
}

TEST_F(Creatures, AWalledInCrabStopsAndStartsAgainWhenASideOpens) {
    load(1, {
                "#####",
                "#...#",
                "##C##",
                "#####",
            });
    throughOneStep(UpdateCrabs);
    EXPECT_EQ(CRABS.at(0).heading, -1);
    EXPECT_EQ(CRABS.at(0).x, 32);
    EXPECT_EQ(MAP.at(2, 2), cell::kCrab);
    MAP.at(3, 2) = 0;
    throughOneStep(UpdateCrabs);
    EXPECT_EQ(CRABS.at(0).heading, 0);
    EXPECT_EQ(CRABS.at(0).x, 48);
}

TEST_F(Creatures, AFishReversesAtABlockedCellWhenTheOtherWayIsFree) {
    load(1, {
                "####",
                "#.##",
                "#F##",
                "#.##",
                "####",
            });
    ASSERT_EQ(FISH.d1, 1);
    EXPECT_EQ(MAP.at(1, 2), cell::kFish);
    const Path path = stepsOf(FISH, UpdateFish, 5);
    EXPECT_EQ(path, (Path{{16, 16}, {16, 32}, {16, 48}, {16, 32}, {16, 16}}));
    EXPECT_EQ(FISH.at(0).heading, 0);
    EXPECT_EQ(FISH.at(0).frameBase, 0);
    EXPECT_EQ(MAP.at(1, 1), cell::kFish);
    EXPECT_EQ(MAP.at(1, 2), cell::kWater);
}

TEST_F(Creatures, AFishWithBothWaysBlockedStaysAndKeepsItsHeading) {
    load(1, {
                "###",
                "#f#",
                "###",
            });
    EXPECT_EQ(stepsOf(FISH, UpdateFish, 2), (Path{{16, 16}, {16, 16}}));
    EXPECT_EQ(FISH.at(0).heading, 1);
    EXPECT_EQ(FISH.at(0).moving, 0);
}

TEST_F(Creatures, WeedHidesTheDiverFromFishAndAnglers) {
    load(1, {
                "#####",
                "#A..#",
                "#.###",
                "#F###",
                "#.###",
                "#####",
            });
    IN_WEED = 1;
    EXPECT_EQ(stepsOf(FISH, UpdateFish, 2), (Path{{16, 48}, {16, 48}}));
    EXPECT_EQ(stepsOf(ANGLERS, UpdateAnglers, 2), (Path{{16, 16}, {16, 16}}));
    IN_WEED = 0;
    EXPECT_EQ(stepsOf(FISH, UpdateFish, 1), (Path{{16, 32}}));
    EXPECT_EQ(stepsOf(ANGLERS, UpdateAnglers, 1), (Path{{32, 16}}));
}

TEST_F(Creatures, AnAnglerSwimsItsRowAndTurnsFacingItsWay) {
    load(1, {
                "######",
                "#.A..#",
                "######",
            });
    EXPECT_EQ(DARK_LEVEL, 1) << "an angler makes the level dark";
    const Path path = stepsOf(ANGLERS, UpdateAnglers, 5);
    EXPECT_EQ(path, (Path{{48, 16}, {64, 16}, {48, 16}, {32, 16}, {16, 16}}));
    EXPECT_EQ(ANGLERS.at(0).facing, 1);
    EXPECT_EQ(MAP.at(1, 1), cell::kAngler);
}

TEST_F(Creatures, AnAnglerInAMineCellDies) {
    load(1, {
                "#####",
                "#.A.#",
                "#####",
            });
    MAP.at(2, 1) = cell::kMine;
    STEP_TICKS = 4;
    UpdateAnglers();
    EXPECT_EQ(ANGLERS.d1, 0);
    EXPECT_EQ(LEVEL_LOST, 1);
    EXPECT_EQ(POPS.d1, 1);
}

// Every family on the border of a level that fills the 30 x 30 grids,
// with the diver running along its edges: each sees rock beyond the grids
// and never leaves them (the oyster's upper cell lies above row 0).
TEST_F(Creatures, EveryFamilyOnTheBorderOfTheGridsStaysOnThem) {
    std::vector<std::string> rows(30, std::string(30, '.'));
    auto put = [&](int32_t c, int32_t r, char code) { rows[static_cast<size_t>(r)][static_cast<size_t>(c)] = code; };
    put(1, 1, 'P');
    put(3, 0, 'S');
    put(6, 0, 'F');
    put(9, 0, 'Y');
    put(12, 0, 'V');
    put(29, 0, 'O');
    put(29, 6, 'A');
    put(0, 9, 'Q');
    put(0, 12, 's');
    put(0, 29, 'C');
    put(29, 29, 'c');
    put(14, 29, 'B');
    put(20, 29, 'X');
    put(24, 29, 'O');
    put(0, 0, 'A');
    put(15, 15, 'G');
    start(1, rows);
    // The first record of the families found off the grids, or "".
    std::string off;
    auto check = [&](const char* name, auto& family) {
        for (int32_t i = 0; i < family.d1 && off.empty(); ++i) {
            const int32_t x = static_cast<int32_t>(family.at(i).x), y = static_cast<int32_t>(family.at(i).y);
            if (x < 0 || y < 0 || x > 29 * 16 || y > 29 * 16) off = std::string(name) + " at " + std::to_string(x) + "," + std::to_string(y);
        }
    };
    const char* route[] = {"Up", "Left", "Down", "Right"};
    for (int32_t f = 0; f < 1200 && off.empty(); ++f) {
        frame(held(route[f / 50 % 4]));
        check("diver", PLAYERS);
        check("starfish", STARFISH);
        check("fish", FISH);
        check("octopus", OCTOPUSES);
        check("crab", CRABS);
        check("angler", ANGLERS);
        check("sponge", SPONGES);
        check("boulder", BOULDERS);
        check("bomb", BOMBS);
    }
    EXPECT_EQ(off, "");
}

class Octopuses : public Creatures {
protected:
    Octopuses() {
        load(1, {
                    "#########",
                    "#.......#",
                    "#...O...#",
                    "#.......#",
                    "#.......#",
                    "#########",
                });
    }
    void diverAt(int32_t c, int32_t r) {
        PLAYER_X = c * 16;
        PLAYER_Y = r * 16;
    }
    // One finished diver step, then the four frames of a hop.
    void hop() {
        STEP_DONE = 1;
        STEP_TICKS = 0;
        for (int i = 0; i < 4; ++i) UpdateOctopuses();
    }
};

TEST_F(Octopuses, AnOctopusHopsOneCellInFourFramesOfFourPixels) {
    diverAt(4, 4);
    STEP_DONE = 1;
    UpdateOctopuses();
    EXPECT_EQ(STEP_DONE, 0) << "the step is taken";
    EXPECT_EQ(OCTOPUSES.at(0).heading, 4);
    EXPECT_EQ(OCTOPUSES.at(0).y, 36);
    EXPECT_EQ(MAP.at(4, 2), cell::kWater);
    UpdateOctopuses();
    UpdateOctopuses();
    EXPECT_EQ(OCTOPUSES.at(0).y, 44);
    UpdateOctopuses();
    EXPECT_EQ(OCTOPUSES.at(0).y, 48);
    EXPECT_EQ(OCTOPUSES.at(0).jumpLeft, 0);
    EXPECT_EQ(MAP.at(4, 3), cell::kOctopus);
    UpdateOctopuses();
    EXPECT_EQ(OCTOPUSES.at(0).y, 48) << "no hop without a finished diver step";
}

TEST_F(Octopuses, TheHopGoesTowardTheDiver) {
    diverAt(7, 4);
    hop();
    EXPECT_EQ(OCTOPUSES.at(0).heading, 3);
    EXPECT_EQ((std::pair{OCTOPUSES.at(0).x, OCTOPUSES.at(0).y}), (std::pair{80, 48}));
    diverAt(1, 4);
    hop();
    EXPECT_EQ(OCTOPUSES.at(0).heading, 5);
    EXPECT_EQ((std::pair{OCTOPUSES.at(0).x, OCTOPUSES.at(0).y}), (std::pair{64, 64}));
    diverAt(7, 1);
    hop();
    EXPECT_EQ(OCTOPUSES.at(0).heading, 0);
    EXPECT_EQ((std::pair{OCTOPUSES.at(0).x, OCTOPUSES.at(0).y}), (std::pair{64, 48}));
    diverAt(7, 3);  // level with it: up again
    hop();
    EXPECT_EQ(OCTOPUSES.at(0).heading, 0);
    EXPECT_EQ(OCTOPUSES.at(0).y, 32);
}

TEST_F(Octopuses, WithNoWayTowardTheDiverTheOctopusStays) {
    diverAt(4, 4);
    MAP.at(4, 3) = 1;  // below blocked, the diver below it
    hop();
    EXPECT_EQ(OCTOPUSES.at(0).heading, -1);
    EXPECT_EQ((std::pair{OCTOPUSES.at(0).x, OCTOPUSES.at(0).y}), (std::pair{64, 32}));
    EXPECT_EQ(MAP.at(4, 2), cell::kOctopus);
}

TEST_F(Octopuses, OneFinishedStepStartsOnlyTheFirstIdleOctopus) {
    SpawnOctopus(2, 1);
    diverAt(4, 4);
    STEP_DONE = 1;
    UpdateOctopuses();
    EXPECT_EQ(OCTOPUSES.at(0).jumpLeft, 3);
    EXPECT_EQ(OCTOPUSES.at(1).jumpLeft, 0);
    EXPECT_EQ(OCTOPUSES.at(1).y, 16);
}

TEST_F(Octopuses, OnTheFrameTheDiverLeavesWeedTheLastHeadingIsKept) {
    diverAt(4, 4);
    hop();
    ASSERT_EQ(OCTOPUSES.at(0).heading, 4);
    diverAt(7, 1);
    LEFT_WEED = 1;
    hop();
    EXPECT_EQ(OCTOPUSES.at(0).heading, 4);
    EXPECT_EQ(OCTOPUSES.at(0).y, 64);
}

// An octopus hops only into water (or onto the diver); a blocked hop does
// nothing. Before, the "diver up and to the right" rule and a hop on the
// last heading took it into rock and the border, each a hole for good.
TEST_F(Octopuses, AHopIntoRockDoesNothing) {
    MAP.at(4, 1) = 1;
    MAP.at(5, 1) = cell::kDiver;
    diverAt(5, 1);  // up and to the right, behind the rock above it
    hop();
    EXPECT_EQ(OCTOPUSES.at(0).heading, -1);
    EXPECT_EQ((std::pair{OCTOPUSES.at(0).x, OCTOPUSES.at(0).y}), (std::pair{64, 32}));
    EXPECT_EQ(MAP.at(4, 1), 1);
    EXPECT_EQ(MAP.at(4, 2), cell::kOctopus);
}

TEST_F(Octopuses, OnTheFrameTheDiverLeavesWeedAFreshOctopusStaysOutOfTheBorder) {
    load(1, {
                "#####",
                "#.O.#",
                "#...#",
                "#####",
            });
    diverAt(1, 2);
    LEFT_WEED = 1;  // no choice: the starting heading, up
    hop();
    hop();
    EXPECT_EQ((std::pair{OCTOPUSES.at(0).x, OCTOPUSES.at(0).y}), (std::pair{32, 16}));
    EXPECT_EQ(MAP.at(2, 0), 1) << "row 0 keeps its rock";
    EXPECT_EQ(MAP.at(2, 1), cell::kOctopus);
}

TEST_F(Octopuses, AnOctopusCatchesOnlyWhileTheDiverRests) {
    MAP.at(4, 2) = cell::kDiver;
    STEP_TICKS = 2;
    UpdateOctopuses();
    EXPECT_EQ(LEVEL_LOST, 0);
    EXPECT_EQ(MAP.at(4, 2), cell::kOctopus) << "a resting octopus writes its code each frame";
    MAP.at(4, 2) = cell::kDiver;
    STEP_TICKS = 0;
    UpdateOctopuses();
    EXPECT_EQ(LEVEL_LOST, 1);
    EXPECT_EQ(fields(POPS.at(0)), (Fields{64, 32, 0, 0}));
}

}  // namespace
}  // namespace worldtest
