// Headless play: snapshots give the game back exactly, the outcome is read
// as the game decides it, and the solver finds a solution that replays.
#include <gtest/gtest.h>

#include "child_process.h"
#include "game/world/game_state.h"
#include "level_text.h"
#include "play/game_snapshot.h"
#include "play/level_play.h"
#include "play/solver.h"
#include "temp_dir.h"

namespace {

using levels::LevelPlay;
using levels::Outcome;

class Play : public ::testing::Test {
protected:
    void put(int32_t number, const std::string& text) {
        levels::LevelData level;
        std::vector<std::string> errors;
        ASSERT_TRUE(levels::parseLevelText(text, level, errors)) << (errors.empty() ? "" : errors[0]);
        play.putLevelFile(number, levels::encodeLevel(level));
    }
    // A move held for one frame, then nothing until the diver may act.
    void move(char direction) {
        play.frame(levels::directionState(direction));
        for (int n = 0; n < 100 && play.outcome() == Outcome::Playing && !play.atDecision(); ++n) play.frame("");
    }
    testsupport::TempDir dir;
    LevelPlay play{dir.path()};
};

const char* kPushAndTake =
    "size 8 4\n"
    "########\n"
    "#P.B..G#\n"
    "####.###\n"
    "########\n";

TEST_F(Play, ASnapshotGivesTheGameBackExactly) {
    put(5, kPushAndTake);
    play.start(5);
    while (!play.atDecision()) play.frame("");
    move('R');
    levels::GameSnapshot snap;
    snap.capture(play.loop);
    const uint64_t key = levels::positionKey();
    move('L');
    const uint64_t after = levels::positionKey();
    EXPECT_NE(after, key);
    EXPECT_EQ(PLAYERS.at(0).x, 16);
    snap.restore(play.loop);
    EXPECT_EQ(levels::positionKey(), key);
    EXPECT_EQ(PLAYERS.at(0).x, 32);
    move('L');
    EXPECT_EQ(levels::positionKey(), after) << "the same move from the same state gives the same game";
    EXPECT_EQ(PLAYERS.at(0).x, 16);
}

TEST_F(Play, TheFirstDecisionComesAfterTheStartCooldown) {
    put(5, kPushAndTake);
    play.start(5);
    EXPECT_FALSE(play.atDecision());
    int frames = 1;
    while (!play.atDecision()) {
        play.frame("");
        ++frames;
    }
    EXPECT_EQ(frames, 20) << "the start sets STEP_COOLDOWN 20, counted down once a frame";
    EXPECT_EQ(play.outcome(), Outcome::Playing);
}

TEST_F(Play, ACatchIsALoss) {
    put(6, "size 7 3\n#######\n#P.s.G#\n#######\n");
    play.start(6);
    while (!play.atDecision()) play.frame("");
    move('R');  // the starfish crawls into the cell the diver takes
    EXPECT_EQ(play.outcome(), Outcome::Lost);
}

TEST_F(Play, TheSolverPushesTheBoulderIntoThePitAndTakesTheGem) {
    put(5, kPushAndTake);
    levels::LevelPlay& p = play;
    p.start(5);
    const levels::Solution s = levels::solveLevel(p, levels::SolverOptions{});
    ASSERT_TRUE(s.found);
    EXPECT_EQ(s.moves, "RRRRR") << "one push, then the boulder falls into the pit";
    EXPECT_EQ(levels::replaySolution(p, s.states), static_cast<int64_t>(s.states.size()) + 1)
        << "the level is won in the last frame of the solution";
    std::vector<std::string> cut(s.states.begin(), s.states.end() - 40);
    EXPECT_EQ(levels::replaySolution(p, cut), -1);
}

TEST_F(Play, AWonReplayWritesNothing) {
    put(5, kPushAndTake);
    play.start(5);
    const std::vector<std::string> states = levels::solveLevel(play, levels::SolverOptions{}).states;
    EXPECT_EQ(testsupport::runInChild([&] { levels::replaySolution(play, states); }).err, "");
}

TEST_F(Play, ALevelWithoutAWayOutHasNoSolution) {
    put(5, "size 6 3\n######\n#P#.G#\n######\n");
    play.start(5);
    const levels::Solution s = levels::solveLevel(play, levels::SolverOptions{});
    EXPECT_FALSE(s.found);
    EXPECT_EQ(s.nodes, 1);
}

TEST(SolutionScript, StatesAndScriptsConvertBothWays) {
    const std::vector<std::string> states = {"", "", "Right=1000", "Right=1000", "", "Up=1000"};
    const std::string script = levels::scriptOf(states);
    EXPECT_EQ(script, "2\n2 Right=1000\n1\n1 Up=1000\n");
    std::vector<std::string> back;
    ASSERT_TRUE(levels::statesOf("# a comment\n" + script + "\n", back));
    EXPECT_EQ(back, states);
    EXPECT_FALSE(levels::statesOf("x Right=1000\n", back));
}

}  // namespace
