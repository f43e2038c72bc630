// The in-game loop in scripted play: a catch and the reload after its pop,
// level completion with the saved progress, the quit box, restart, the
// quake, the story of level 0 through its phases to the player's control,
// the finale of the last level to the ending, and RunGame as a whole.
#include <algorithm>

#include "file_bytes.h"
#include "game/world/cell_codes.h"
#include "game/world/screen_links.h"
#include "runtime/services/isaac.h"
#include "scripted_play.h"

namespace worldtest {
namespace {

const std::vector<std::string>& kRoom = kSmallRoom;

using Game = PlayTest;

TEST_F(Game, StartingShowsTheCardAndGivesControlFromLevelOne) {
    start(1, kRoom);
    EXPECT_EQ(screensShown, (std::vector<std::string>{"intro 1"}));
    EXPECT_EQ(STEP_COOLDOWN, 20);
    EXPECT_EQ(PLAYER_CONTROL, 1);
    EXPECT_EQ(PLAYERS.d1, 1);
}

TEST_F(Game, ACatchEndsInAReloadWhenThePopHasPlayed) {
    start(1, {
                 "#######",
                 "#.....#",
                 "#P.c.V#",
                 "#####G#",
                 "#######",
             });
    EXPECT_EQ(MAP.at(5, 1), cell::kWater) << "the vent has not run yet";
    frames(20);
    EXPECT_EQ(MAP.at(5, 1), cell::kBubbleStream);
    frame(held("Right"));  // the diver and the crab both enter (2, 2)
    const int32_t caught = framesUntil([] { return LEVEL_LOST == 1; }, 20);
    EXPECT_EQ(caught, 8) << "at the first frame at rest";
    ASSERT_EQ(POPS.d1, 1);
    EXPECT_EQ(fields(POPS.at(0)), (Fields{32, 32, 1, 0})) << "stepped once in the frame of the catch";
    frames(10, held("Left"));
    EXPECT_EQ(diver().x, 32) << "a caught diver takes no input";
    const int32_t reloaded = framesUntil([] { return POPS.d1 == 0; }, 40);
    EXPECT_EQ(reloaded, 16 - 1 - 10) << "the pop's sixteenth update reloads";
    EXPECT_EQ(LEVEL_LOST, 0);
    EXPECT_EQ(diver().x, 16) << "the level starts afresh";
    EXPECT_EQ(CRABS.at(0).x, 48);
    // The frame went on with the fresh level: its vent has already run.
    EXPECT_EQ(MAP.at(5, 1), cell::kBubbleStream);
    EXPECT_EQ(LEVEL, 1);
    EXPECT_EQ(PLAYER_CONTROL, 1);
}

// A diver caught while hiding in weed: the reload starts the hiding afresh.
// Before, IN_WEED survived it, so the first step after the reload froze the
// fish and angler and ended with LEFT_WEED 1, and the octopus hopped on its
// starting heading (up) into the rock above it.
TEST_F(Game, AReloadForgetsThatTheCaughtDiverHidInWeed) {
    start(1, {
                 "#######",
                 "#f...A#",
                 "#..#..#",
                 "#..O..#",
                 "#.PW.G#",
                 "#######",
             });
    frames(20);
    frame(held("Right"));  // into the weed under the octopus, which hops onto him
    ASSERT_GT(framesUntil([] { return LEVEL_LOST == 1; }, 40), 0);
    EXPECT_EQ(IN_WEED, 1);
    ASSERT_GT(framesUntil([] { return POPS.d1 == 0; }, 40), 0);
    EXPECT_EQ(IN_WEED, 0) << "the reload";
    EXPECT_EQ(LEFT_WEED, 0);
    frame(held("Up"));  // the first step after the reload
    ASSERT_EQ(STEP_TICKS, 8);
    EXPECT_EQ(FISH.at(0).moving, 1) << "the fish moves: nobody hides";
    EXPECT_EQ(ANGLERS.at(0).moving, 1);
    frames(8);
    ASSERT_EQ(STEP_TICKS, 0);
    EXPECT_EQ(LEFT_WEED, 0) << "the diver came out of no weed";
    frames(3);  // the octopus's hop
    EXPECT_EQ(MAP.at(3, 2), 1) << "the rock above the octopus stays";
    EXPECT_EQ((std::pair{OCTOPUSES.at(0).x, OCTOPUSES.at(0).y}), (std::pair{48, 48}));
    EXPECT_EQ(MAP.at(3, 3), cell::kOctopus);
}

TEST_F(Game, TakingTheLastGemLeadsToTheNextLevelAndSavesTheProgress) {
    writeLevel(2, levelFromText(kRoom));
    start(1, {
                 "######",
                 "#PG..#",
                 "######",
             });
    frames(20);
    frame(held("Right"));
    const int32_t next = framesUntil([] { return LEVEL == 2; }, 40);
    // Eight frames of the step; the gem is taken at the diver's claim and its
    // sparkle runs for eight frames; the level moves on in the frame after.
    EXPECT_EQ(next, 8);
    EXPECT_EQ(screensShown, (std::vector<std::string>{"intro 1", "intro 2"}));
    EXPECT_EQ(testsupport::readFileBytes(file("Shoalrunner.cfg")).substr(0, 3), "2\r\n");
    EXPECT_EQ(diver().x, 48) << "the frame went on in level 2";
    EXPECT_EQ(GEMS_LEFT, 1);
}

TEST_F(Game, ALevelWithoutGemsCompletesInItsFirstFrame) {
    writeLevel(2, levelFromText(kRoom));
    start(1, {"###", "#P#", "###"});
    frame();
    EXPECT_EQ(LEVEL, 2);
    EXPECT_EQ(screensShown, (std::vector<std::string>{"intro 1", "intro 2"}));
}

TEST_F(Game, ACompletedTestRunLeavesForTheEditor) {
    start(1, {"###", "#P#", "###"}, 2);
    frame();
    EXPECT_EQ(loop.leave, 1);
    EXPECT_EQ(LEVEL, 1);
    LeaveGame();
    EXPECT_EQ(screensShown, (std::vector<std::string>{"intro 1", "editor"}));
}

// The editor makes levels 0 to 99: a test run of any of them but the last
// (whose story has its own ending) comes back once complete; play from the
// title completes only the levels below the last.
TEST_F(Game, ACompletedTestRunOfALevelAboveTheLastLeavesForTheEditor) {
    const struct {
        int32_t level, playMode;
        bool leaves;
    } runs[] = {{31, 2, true}, {99, 2, true}, {30, 2, false}, {31, 1, false}};
    for (const auto& run : runs) {
        SCOPED_TRACE(std::to_string(run.level) + " in play mode " + std::to_string(run.playMode));
        loop = GameLoop{};
        screensShown.clear();
        start(run.level, {"###", "#P#", "###"}, run.playMode);
        frame();
        EXPECT_EQ(loop.leave, run.leaves ? 1 : 0);
        EXPECT_EQ(LEVEL, run.level);
        EXPECT_EQ(screensShown, (std::vector<std::string>{"intro " + std::to_string(run.level)}));
    }
    EXPECT_EQ(GEMS_LEFT, 0) << "level 31 in play waits for ever";
}

TEST_F(Game, TheQuitBoxOpensOnB2ClosesOnB2AndLeavesOnB1) {
    start(1, kRoom);
    frames(5, "b2=1");
    EXPECT_EQ(loop.quitOpen, 0) << "not while the cooldown runs";
    frames(15);
    frame("b2=1");
    EXPECT_EQ(loop.quitOpen, 1) << "b2 cannot open and close it in the same frame";
    frames(19, "b2=1");
    EXPECT_EQ(loop.quitOpen, 1);
    frame("b2=1");
    EXPECT_EQ(loop.quitOpen, 0);
    frames(19);
    frame("b2=1");
    EXPECT_EQ(loop.quitOpen, 1);
    frames(19, "b1=1");
    EXPECT_EQ(loop.leave, 0);
    frame("b1=1");
    EXPECT_EQ(loop.quitOpen, 0);
    EXPECT_EQ(loop.leave, 1);
    LeaveGame();
    EXPECT_EQ(screensShown, (std::vector<std::string>{"intro 1", "title"}));
}

TEST_F(Game, B3RestartsTheLevelOnceTheCooldownHasRunOut) {
    start(1, kRoom);
    frames(20);
    frame(held("Up"));
    frames(19);
    EXPECT_EQ(diver().y, 32);
    frame("b3=1");
    EXPECT_EQ(diver().y, 48) << "the level was loaded again";
    EXPECT_EQ(STEP_COOLDOWN, 30);
    frames(29, "b3=1");
    EXPECT_EQ(STEP_COOLDOWN, 1);
}

TEST_F(Game, TheQuakeSendsExplosionsUpColumnFourteenAndOpensIt) {
    registerSounds();
    start(1, {
                 "################",
                 "#..............#",
                 "#.............##",
                 "#P............##",
                 "#.............##",
                 "#.............##",
                 "#.............##",
                 "#.............##",
                 "#.............##",
                 "#.........G.....",
                 "################",
             });
    device.clearRequests();
    SHAKE_TIME = 300;
    int32_t explosions = 0;
    for (int i = 0; i < 300; ++i) {
        frame();
        // A new explosion is the last record, stepped once in this frame.
        if (EXPLOSIONS.d1 > 0 && EXPLOSIONS.at(-1).tick == 1 && EXPLOSIONS.at(-1).frame == 0) {
            ++explosions;
            const Explosion& e = EXPLOSIONS.at(-1);
            EXPECT_EQ(e.x, 224);
            EXPECT_GE(e.y, 16);
            EXPECT_LE(e.y, 112);
        }
        EXPECT_GE(SHAKE_X, -1);
        EXPECT_LE(SHAKE_X, 1);
        if (SHAKE_TIME == 101) {
            EXPECT_EQ(MAP.at(14, 3), 1);
        }
        if (SHAKE_TIME == 100) {
            EXPECT_EQ(MAP.at(14, 3), 0) << "opened in the frame that counts down to 100";
        }
    }
    EXPECT_EQ(SHAKE_TIME, 0);
    EXPECT_EQ(explosions, 99);
    for (int32_t row = 1; row <= 7; ++row) EXPECT_EQ(MAP.at(14, row), 0) << row;
    EXPECT_EQ(MAP.at(14, 0), 3);
    EXPECT_EQ(MAP.at(14, 8), 11);
    const auto sent = requests();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "playSound:s3:0:0.5"), 16) << "a boom every sixth explosion";
}

// Level 0: the opening speech, the meeting, the bubbles, the briefing, the
// quake, the submarine with the reel, and control at the end.
TEST_F(Game, TheStoryOfLevelZeroRunsThroughItsPhasesToPlayerControl) {
    start(0, {
                 "################",
                 "#..............#",
                 "#..............#",
                 "#..............#",
                 "#.P............#",
                 "#..............#",
                 "#..............#",
                 "#..............#",
                 "#..............#",
                 "#############G##",
                 "################",
             });
    EXPECT_EQ(PLAYER_CONTROL, 0);
    EXPECT_EQ(MAP.at(5, 4), cell::kStoryDiver);
    std::vector<int32_t> phases{GAME_PHASE};
    auto note = [&] {
        if (GAME_PHASE != phases.back()) phases.push_back(GAME_PHASE);
    };
    // The opening: speech frames 0 to 4, one per 101 frames; control at 4.
    const int32_t control = framesUntil([] { return PLAYER_CONTROL == 1; }, 1000);
    EXPECT_EQ(control, 5 * 101);
    EXPECT_EQ(SPEECH_FRAME, 4);
    // Two steps right bring the diver beside the story diver.
    frames(20, held("Right"));
    frames(20, held("Right"));
    frames(2);
    note();
    EXPECT_EQ(phases, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(PLAYER_CONTROL, 0);
    for (int i = 0; i < 4000 && GAME_PHASE != 10; ++i) {
        frame(held("Left"));
        note();
        if (GAME_PHASE >= 1 && GAME_PHASE <= 9) {
            ASSERT_EQ(diver().x, 64) << "no control in the story";
        }
    }
    EXPECT_EQ(phases, (std::vector<int32_t>{0, 1, 2, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(PLAYER_CONTROL, 1);
    EXPECT_EQ(SPEECH_FRAME, -1);
    EXPECT_EQ(REELED_IN, 1);
    EXPECT_EQ(DIVERS.d1, 0);
    EXPECT_EQ(SUBMARINES.d1, 0);
    EXPECT_EQ(REEL_DIVERS.d1, 0);
    EXPECT_EQ(MAP.at(14, 4), 0) << "the quake opened column 14";
    frames(20, held("Left"));
    EXPECT_EQ(diver().x, 48) << "the player acts again";
}

// The last level: its last gem starts the quake, the submarine sells the
// gems, the shark takes the story diver and its exit leads to the ending.
TEST_F(Game, TheFinaleOfTheLastLevelReachesTheEnding) {
    start(30, {
                 "################",
                 "#..............#",
                 "#..............#",
                 "#..............#",
                 "#.PG...........#",
                 "#..............#",
                 "#..............#",
                 "#..............#",
                 "#..............#",
                 "################",
             });
    frames(20);
    frame(held("Right"));
    EXPECT_EQ(framesUntil([] { return GEMS_LEFT == -1; }, 30), 8);
    EXPECT_EQ(SHAKE_TIME, 300 - 1);
    EXPECT_EQ(PLAYER_CONTROL, 0);
    EXPECT_EQ(SPEECH_FRAME, 0);
    EXPECT_EQ(framesUntil([] { return GAME_PHASE == 7; }, 400), 298);
    EXPECT_EQ(SUBMARINES.d1, 1);
    // 559 frames to x 144 (the push frame already counted one), then a gem
    // every sixth frame and the till after the hundredth.
    EXPECT_EQ(framesUntil([] { return GAME_PHASE == 9; }, 2000), 559 + 606);
    EXPECT_EQ(framesUntil([] { return SHARKS.d1 == 1; }, 1000), 5 * 97 - 1);
    EXPECT_EQ(PLAYER_CONTROL, 1);
    // The shark reads 150 after its 170th update; the diver sees it in the
    // next frame.
    EXPECT_EQ(framesUntil([] { return DIVERS.d1 == 0; }, 1000), 170);
    EXPECT_EQ(BLOOD.d1, 11);
    EXPECT_EQ(PLAYER_CONTROL, 0);
    EXPECT_EQ(framesUntil([] { return GAME_WON == 1; }, 1000), (419 - 1) - 170);
    EXPECT_EQ(loop.leave, 0);
    frame();
    EXPECT_EQ(loop.leave, 1) << "the loop leaves in the frame after the shark's exit";
    LeaveGame();
    EXPECT_EQ(screensShown, (std::vector<std::string>{"intro 30", "ending", "title"}));
}

TEST_F(Game, RunGameRunsFramesUntilTheQuitBoxLeavesForTheTitle) {
    start(1, kRoom);  // writes the level; RunGame starts it again
    screensShown.clear();
    device.addFrames(30, "");
    device.addFrames(1, "b2=1");
    device.addFrames(25, "");
    device.addFrames(1, "b1=1");
    EXPECT_EQ(RunGame(), 0.0);
    EXPECT_EQ(screensShown, (std::vector<std::string>{"intro 1", "title"}));
    EXPECT_EQ(device.framesTaken(), 58) << "one Update after each frame end";
}

TEST_F(Game, WithoutTheScreensTheStandInsLoadTheLevelAndReturn) {
    connectScreenLinks({});
    writeLevel(1, levelFromText({"###", "#P#", "###"}));
    writeLevel(2, levelFromText(kRoom));
    LEVEL = 1;
    PLAY_MODE = 2;
    EXPECT_EQ(RunGame(), 0.0);  // no gems: the test run completes and leaves at once
    EXPECT_EQ(LEVEL, 1);
    EXPECT_EQ(PLAYERS.d1, 1);
    PLAY_MODE = 1;
    device.addFrames(21, "");
    device.addFrames(1, "b2=1");
    device.addFrames(20, "");
    device.addFrames(1, "b1=1");
    EXPECT_EQ(RunGame(), 0.0);
    EXPECT_EQ(LEVEL, 2);
}

}  // namespace
}  // namespace worldtest
