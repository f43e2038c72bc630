// The diver: the step and its timing, claiming the target cell, pushing
// boulders (and the phantom push that no longer happens), the walls, the
// bubble stream, input priorities and the states that stop input, death in
// blast fire, breath, weed flags and the story's facing.
#include <random>

#include "game/world/cell_codes.h"
#include "game/world/player.h"
#include "game/world/world_host.h"
#include "runtime/services/isaac.h"
#include "scripted_play.h"

namespace worldtest {
namespace {

const std::vector<std::string>& kRoom = kSmallRoom;

using Diver = PlayTest;

TEST_F(Diver, SpawnPlayerMakesTheRecordWithARandomPushDelay) {
    SeedRandom(77);
    const int32_t expectedDelay = RandomInt(20);
    SeedRandom(77);
    SpawnPlayer(4, 7);
    ASSERT_EQ(PLAYERS.d1, 1);
    EXPECT_EQ(fields(PLAYERS.at(0)), (Fields{64, 112, 0, 0, 0, 0, 0, 0, 0, double(expectedDelay)}));
}

TEST_F(Diver, AStepIsEightFramesOfTwoPixelsAndTheNextStartsTwentyFramesAfter) {
    start(1, kRoom);
    std::vector<int32_t> xs;
    for (int i = 0; i < 50; ++i) {
        frame(held("Right"));
        xs.push_back(diver().x);
    }
    // StartGame set the cooldown to 20: no step in the first 20 frames.
    for (int i = 0; i < 20; ++i) EXPECT_EQ(xs[i], 48) << "frame " << i + 1;
    // Frame 21 starts the step and moves at once: 8 frames of 2 pixels.
    for (int i = 0; i < 8; ++i) EXPECT_EQ(xs[20 + i], 50 + 2 * i) << "frame " << 21 + i;
    // At rest until frame 41, 20 frames after the step began.
    for (int i = 28; i < 40; ++i) EXPECT_EQ(xs[i], 64) << "frame " << i + 1;
    EXPECT_EQ(xs[40], 66);
    EXPECT_EQ(PLAYER_DIR, 1);
}

TEST_F(Diver, TheTargetCellIsClaimedInTheFrameTheStepStarts) {
    start(1, kRoom);
    frames(20);
    EXPECT_EQ(MAP.at(3, 3), cell::kDiver);
    frame(held("Down"));
    EXPECT_EQ(STEP_TICKS, 8);
    EXPECT_EQ(STEP_COOLDOWN, 19);  // set to 20, counted down at the frame's end
    EXPECT_EQ(MAP.at(3, 4), cell::kDiver);
    EXPECT_EQ(MAP.at(3, 3), cell::kWater);
    EXPECT_EQ(diver().y, 50);
    EXPECT_EQ(STEP_DONE, 2);
    frames(7);
    EXPECT_EQ(diver().y, 64);
    EXPECT_EQ(STEP_TICKS, 1);
    frame();
    EXPECT_EQ(STEP_TICKS, 0);
    EXPECT_EQ(STEP_DONE, 1);
    EXPECT_EQ(MAP.at(3, 4), cell::kDiver);
    EXPECT_EQ(PLAYER_X, 48);
    EXPECT_EQ(PLAYER_Y, 64);
}

TEST_F(Diver, ThePressedTestNeedsMoreThan600OrAPadAction) {
    device.addFrames(1, "Up=600;PadL_Down=0");
    refreshControllerState();
    EXPECT_FALSE(directionPressed("Up", "PadL_Up"));
    EXPECT_FALSE(directionPressed("Down", "PadL_Down"));
    device.addFrames(1, "Up=601;PadL_Down=1");
    refreshControllerState();
    EXPECT_TRUE(directionPressed("Up", "PadL_Up"));
    EXPECT_TRUE(directionPressed("Down", "PadL_Down"));
}

TEST_F(Diver, TwoDirectionsStartTheFirstAllowedOfUpDownRightLeft) {
    start(1, kRoom);
    frames(20);
    frame("Left=1000;Right=1000;Down=1000;Up=1000");
    EXPECT_EQ(diver().dir, 4);
    frames(25);
    frame("Left=1000;Right=1000");
    EXPECT_EQ(diver().dir, 1);
    EXPECT_EQ(diver().faceLeft, 0);
}

// Holding a direction for 20 frames makes at most one step (the cooldown).
TEST_F(Diver, WallsAreNeverEntered) {
    start(1, {
                 "######",
                 "#...##",
                 "#.P###",
                 "##..G#",
                 "######",
             });
    frames(20);
    for (const char* d : {"Up", "Right", "Right", "Down"}) frames(20, held(d));
    EXPECT_EQ(diver().x, 48) << "(4, 1) is a wall";
    EXPECT_EQ(diver().y, 16) << "(3, 2) is a wall";
    for (const char* d : {"Left", "Down", "Down", "Left"}) frames(20, held(d));
    EXPECT_EQ(diver().x, 32) << "(1, 3) is a wall";
    EXPECT_EQ(diver().y, 48);
}

TEST_F(Diver, TheBubbleStreamIsEnteredUpwardsAndSidewaysButNotDownwards) {
    start(1, {
                 "######",
                 "#.~.G#",
                 "#.P~.#",
                 "#.~..#",
                 "######",
             });
    frames(20);
    frames(20, held("Down"));
    EXPECT_EQ(diver().y, 32) << "the stream below blocks a downward step";
    frames(20, held("Right"));
    EXPECT_EQ(diver().x, 48) << "sideways into the stream";
    frames(20, held("Left"));
    frames(20, held("Up"));
    EXPECT_EQ(diver().x, 32);
    EXPECT_EQ(diver().y, 16) << "upwards into the stream";
}

TEST_F(Diver, ABoulderIsPushedInTheFrameItsPushDelayFallsBelowOne) {
    start(1, {
                 "#######",
                 "#....G#",
                 "#.PB..#",
                 "#######",
             });
    frames(20);
    PLAYERS.at(0).pushDelay = 3;
    frame(held("Right"));
    frame(held("Right"));
    EXPECT_EQ(diver().pushDelay, 1);
    EXPECT_EQ(MAP.at(3, 2), cell::kBoulder);
    EXPECT_EQ(BOULDERS.at(0).x, 48);
    frame(held("Right"));  // the third held frame
    EXPECT_EQ(BOULDERS.at(0).pushHeading, 1);
    EXPECT_EQ(BOULDERS.at(0).x, 50);
    EXPECT_EQ(diver().x, 34) << "the diver follows the boulder into its cell";
    EXPECT_EQ(STEP_TICKS, 8);
    frames(7);
    EXPECT_EQ(BOULDERS.at(0).x, 64);
    EXPECT_EQ(diver().x, 48);
    frame();
    EXPECT_EQ(MAP.at(4, 2), cell::kBoulder);
    EXPECT_EQ(MAP.at(3, 2), cell::kDiver);
}

TEST_F(Diver, APushDelayOfZeroPushesAtTheFirstHeldFrame) {
    start(1, {
                 "#######",
                 "#G....#",
                 "#..BP.#",
                 "#######",
             });
    frames(20);
    PLAYERS.at(0).pushDelay = 0;
    frame(held("Left"));
    EXPECT_EQ(BOULDERS.at(0).pushHeading, 3);
    EXPECT_EQ(BOULDERS.at(0).x, 46);
    EXPECT_EQ(diver().x, 62);
    EXPECT_EQ(diver().faceLeft, 1);
}

TEST_F(Diver, ABoulderIsNotPushedIntoAWallOrOntoAnItem) {
    const std::vector<std::vector<std::string>> levels = {
        {"#######", "#....G#", "#..PB##", "#######"},  // a wall beyond
        {"#######", "#.....#", "#..PBG#", "#######"},  // a gem beyond
        {"########", "#.....G#", "#..PBW.#", "########"},  // weed beyond
    };
    for (const auto& level : levels) {
        start(1, level);
        frames(20);
        for (int i = 0; i < 60; ++i) {
            frame(held("Right"));
            ASSERT_NE(MAP.at(4, 2), cell::kPush) << level[2] << " frame " << i;
        }
        EXPECT_EQ(BOULDERS.at(0).x, 64);
        EXPECT_EQ(diver().x, 48);
        EXPECT_EQ(STEP_TICKS, 0);
    }
}

TEST_F(Diver, ThePhantomPushIntoAWallOrACreatureNeverHappens) {
    start(1, {
                 "#######",
                 "#....G#",
                 "#..P#.#",
                 "#.....#",
                 "#######",
             });
    frames(20);
    frame(held("Left"));  // one step left: dir 3
    frames(30);
    frame(held("Right"));  // back: dir 1, now beside the wall
    frames(30);
    ASSERT_EQ(diver().x, 48);
    ASSERT_EQ(diver().dir, 1);
    // Whatever the delay, standing still beside the wall starts nothing.
    for (int32_t delay : {0, -5}) {
        PLAYERS.at(0).pushDelay = delay;
        frames(40);
        EXPECT_EQ(MAP.at(4, 2), 1);
        EXPECT_EQ(diver().x, 48);
        EXPECT_EQ(STEP_TICKS, 0);
        EXPECT_EQ(diver().pushDelay, delay) << "no attempt, no fresh delay";
    }
    // The same beside a crab's code.
    MAP.at(4, 2) = cell::kCrab;
    frames(40);
    EXPECT_EQ(MAP.at(4, 2), cell::kCrab);
    EXPECT_EQ(diver().x, 48);
}

// Random play in a maze of walls with boulders, for many seeds: at every
// frame the diver's cell and the cell its bottom-right pixel is in are no
// wall of the level.
TEST_F(Diver, TheDiverNeverWalksThroughAWallWhateverTheSeed) {
    const std::vector<std::string> maze = {
        "###########",
        "#..B....#G#",
        "#.##.B#..##",
        "#P.#..B...#",
        "#.##B###..#",
        "#...W..B..#",
        "###########",
    };
    const char* directions[] = {"Up", "Down", "Left", "Right", "PadL_Up", "PadL_Down", "PadL_Left", "PadL_Right"};
    for (uint32_t seed = 1; seed <= 30; ++seed) {
        SeedRandom(static_cast<int32_t>(seed));
        start(1, maze);
        std::mt19937 script(seed);
        for (int burst = 0; burst < 40; ++burst) {
            const std::string state = std::string(directions[script() % 8]) + "=1000";
            const int32_t length = 1 + static_cast<int32_t>(script() % 40);
            for (int32_t i = 0; i < length && PLAYERS.d1 > 0; ++i) {
                frame(state);
                const Player& p = diver();
                for (int32_t px : {p.x, p.x + 15}) {
                    for (int32_t py : {p.y, p.y + 15}) {
                        const char c = maze.at(static_cast<size_t>(py / 16)).at(static_cast<size_t>(px / 16));
                        ASSERT_NE(c, '#') << "seed " << seed << " at " << p.x << "," << p.y;
                    }
                }
            }
        }
    }
}

TEST_F(Diver, ACaughtDiverTakesNoInputAndABlastStopsAStepMidway) {
    start(1, kRoom);
    frames(20);
    LEVEL_LOST = 1;
    frames(5, held("Right"));
    EXPECT_EQ(diver().x, 48);
    LEVEL_LOST = 0;
    frames(3, held("Right"));
    EXPECT_EQ(diver().x, 54);
    MINE_FIRED = 1;
    frames(3, held("Right"));
    EXPECT_EQ(diver().x, 54) << "the step stands still while a blast holds the diver";
    EXPECT_EQ(STEP_TICKS, 3) << "but the clock runs on";
}

TEST_F(Diver, WithoutControlTheDiverNeitherStepsNorPushes) {
    start(0, {
                 "#######",
                 "#....G#",
                 "#..PB.#",
                 "#######",
             });
    // LoadLevel of level 0 takes control away; the story diver sits at (5, 4)
    // outside this small level's rows, so keep the story out of it.
    ASSERT_EQ(PLAYER_CONTROL, 0);
    PLAYERS.at(0).pushDelay = 0;
    for (int i = 0; i < 30; ++i) {
        STEP_COOLDOWN = 0;
        device.addFrames(1, held("Right"));
        refreshControllerState();
        UpdatePlayer();
    }
    EXPECT_EQ(diver().x, 48);
    EXPECT_EQ(MAP.at(4, 2), cell::kBoulder);
    EXPECT_EQ(STEP_TICKS, 0);
}

TEST_F(Diver, BlastFireKillsTheDiverWithAPop) {
    start(1, kRoom);
    frames(2);
    OVERLAY.at(3, 3) = cell::kBlastFire;
    UpdatePlayer();
    EXPECT_EQ(PLAYERS.d1, 0);
    EXPECT_EQ(MAP.at(3, 3), cell::kWater);
    ASSERT_EQ(POPS.d1, 1);
    EXPECT_EQ(fields(POPS.at(0)), (Fields{48, 48, 0, 0}));
}

TEST_F(Diver, WeedHidesTheDiverAndLeavingItIsSeenForOneFrame) {
    start(1, {
                 "######",
                 "#.PW.#",
                 "#...G#",
                 "######",
             });
    frames(20);
    frame(held("Right"));
    frames(7);
    EXPECT_EQ(IN_WEED, 0) << "the weed counts from the frame after the diver is in it";
    frame();
    EXPECT_EQ(IN_WEED, 1);
    frames(20);
    EXPECT_EQ(IN_WEED, 1);
    EXPECT_EQ(LEFT_WEED, 0);
    frame(held("Right"));
    frames(7);
    EXPECT_EQ(LEFT_WEED, 0);
    frame();  // at rest outside the weed
    EXPECT_EQ(LEFT_WEED, 1);
    EXPECT_EQ(IN_WEED, 0);
    frame();
    EXPECT_EQ(LEFT_WEED, 0);
}

TEST_F(Diver, MeetingTheStoryDiverStartsTheSpeechAndTheStoryFacesRight) {
    load(1, kRoom);
    MAP.at(4, 3) = cell::kStoryDiver;
    PLAYERS.at(0).faceLeft = 1;
    UpdatePlayer();
    EXPECT_EQ(GAME_PHASE, 1);
    EXPECT_EQ(diver().faceLeft, 0);
    GAME_PHASE = 10;
    PLAYERS.at(0).faceLeft = 1;
    UpdatePlayer();
    EXPECT_EQ(diver().faceLeft, 1);
    REELED_IN = 1;
    UpdatePlayer();
    EXPECT_EQ(SPEECH_FRAME, 0);
}

// A level may fill the 30 x 30 grids; beyond them lies rock, which the
// diver never enters.
TEST_F(Diver, AtTheEdgeOfTheGridsTheDiverMeetsRock) {
    const struct {
        int32_t c, r;
        const char* away;
    } edges[] = {{0, 0, "Up"}, {0, 0, "Left"}, {29, 29, "Down"}, {29, 29, "Right"}, {0, 29, "PadL_Left"}};
    for (const auto& edge : edges) {
        SCOPED_TRACE(edge.away);
        std::vector<std::string> rows(30, std::string(30, '.'));
        rows[static_cast<size_t>(edge.r)][static_cast<size_t>(edge.c)] = 'P';
        rows[15][15] = 'G';
        start(1, rows);
        frames(40, held(edge.away));
        ASSERT_EQ(PLAYERS.d1, 1);
        EXPECT_EQ(diver().x, edge.c * 16);
        EXPECT_EQ(diver().y, edge.r * 16);
        EXPECT_EQ(MAP.at(edge.c, edge.r), cell::kDiver);
        EXPECT_EQ(MAP.at(29 - edge.c, edge.r), cell::kWater) << "the far side of the row is not entered";
    }
}

}  // namespace
}  // namespace worldtest
