// The checker passes the 31 levels and names what is wrong with broken ones.
#include <gtest/gtest.h>

#include <algorithm>

#include "level_checker.h"
#include "level_sources.h"
#include "level_text.h"

namespace {

using levels::LevelData;

// A sound small level to break: 15 wide so that fish parameters name cells.
const char* kSound =
    "size 15 4\n"
    "###############\n"
    "#P..G....F....#\n"
    "#.............#\n"
    "###############\n";

LevelData sound() {
    LevelData level;
    std::vector<std::string> errors;
    EXPECT_TRUE(levels::parseLevelText(kSound, level, errors));
    return level;
}

std::vector<std::string> problemsAfter(void (*breakIt)(LevelData&), int32_t number = -1) {
    LevelData level = sound();
    breakIt(level);
    return levels::checkLevel(level, number);
}

bool has(const std::vector<std::string>& problems, const std::string& text) {
    return std::find(problems.begin(), problems.end(), text) != problems.end();
}

TEST(LevelChecker, EveryLevelOfTheGamePasses) {
    for (int n = 0; n < levels::kLevelCount; ++n) {
        const std::vector<std::string> problems = levels::checkLevel(leveltest::sourceLevel(n), n);
        EXPECT_TRUE(problems.empty()) << "level " << n << ": " << problems[0];
    }
    EXPECT_TRUE(levels::checkLevel(sound(), -1).empty());
}

TEST(LevelChecker, DiversAndGemsAreCounted) {
    EXPECT_TRUE(has(problemsAfter([](LevelData& l) { l.set(1, 1, 0); }), "0 divers (exactly one wanted)"));
    EXPECT_TRUE(has(problemsAfter([](LevelData& l) { l.set(2, 2, 32); }), "2 divers (exactly one wanted)"));
    EXPECT_TRUE(has(problemsAfter([](LevelData& l) { l.set(4, 1, 0); }), "no gem"));
}

TEST(LevelChecker, TheBorderMustBeSolid) {
    const auto problems = problemsAfter([](LevelData& l) {
        l.set(0, 2, 0);
        l.set(7, 3, 7);  // weed is not solid
    });
    EXPECT_TRUE(has(problems, "border cell (0, 2) is not solid (code 0)"));
    EXPECT_TRUE(has(problems, "border cell (7, 3) is not solid (code 7)"));
    EXPECT_EQ(problems.size(), 2u);
}

TEST(LevelChecker, CodesComeOnlyFromTheTilesAndTheSpawnTable) {
    const auto problems = problemsAfter([](LevelData& l) {
        l.set(2, 2, -1);
        l.set(3, 2, 22);
        l.set(5, 2, 49);
        l.set(6, 2, 23);  // kelp is a tile
    });
    EXPECT_TRUE(has(problems, "code -1 at (2, 2) is neither a tile nor a spawn code"));
    EXPECT_TRUE(has(problems, "code 22 at (3, 2) is neither a tile nor a spawn code"));
    EXPECT_TRUE(has(problems, "code 49 at (5, 2) is neither a tile nor a spawn code"));
    EXPECT_EQ(problems.size(), 3u);
}

TEST(LevelChecker, FishParametersMustNameFishInsideTheLevel) {
    EXPECT_TRUE(has(problemsAfter([](LevelData& l) { l.params[0] = 0; }), "fish cell (9, 1) is named by no parameter"));
    EXPECT_TRUE(has(problemsAfter([](LevelData& l) { l.params[1] = 2 + 15 * 2; }),
                    "parameter 1 names (2, 2), which holds 0, not a fish (35 or 38)"));
    EXPECT_TRUE(has(problemsAfter([](LevelData& l) { l.params[2] = 15 * 4; }),
                    "parameter 2 (60) names no cell inside the level"));
    EXPECT_TRUE(has(problemsAfter([](LevelData& l) { l.params[3] = -5; }),
                    "parameter 3 (-5) names no cell inside the level"));
}

TEST(LevelChecker, NothingAboveTwentyBesideAMineAsTheLevelLoads) {
    EXPECT_TRUE(has(problemsAfter([](LevelData& l) { l.set(2, 1, 43); }), "mine (2, 1) has code 32 beside it at (1, 1)"));
    // The named fish becomes 25 as the level loads; a gem leaves water.
    EXPECT_TRUE(has(problemsAfter([](LevelData& l) { l.set(9, 2, 43); }), "mine (9, 2) has code 25 beside it at (9, 1)"));
    EXPECT_TRUE(problemsAfter([](LevelData& l) { l.set(5, 1, 43); }).empty());
    // An oyster fills the cell above it.
    EXPECT_TRUE(has(problemsAfter([](LevelData& l) {
                        l.set(12, 2, 46);
                        l.set(13, 1, 43);
                    }),
                    "mine (13, 1) has code 46 beside it at (12, 1)"));
}

TEST(LevelChecker, NoOysterInRowZero) {
    LevelData level;
    std::vector<std::string> errors;
    ASSERT_TRUE(levels::parseLevelText("size 3 3\n#Y#\n#P#\n#G#\n", level, errors));
    EXPECT_TRUE(has(levels::checkLevel(level, -1), "oyster in row 0 at (1, 0)"));
}

// The play surface shows 15 x 10 cells: a larger level plays partly unseen.
TEST(LevelChecker, NoLevelIsLargerThanThePlaySurface) {
    LevelData wide;
    wide.width = 16;
    wide.height = 10;
    wide.cells.assign(16 * 10, 1);
    EXPECT_TRUE(has(levels::checkLevel(wide, -1), "16 x 10 cells: the play surface shows 15 x 10 at most"));
    wide.width = 15;
    wide.height = 11;
    wide.cells.assign(15 * 11, 1);
    EXPECT_TRUE(has(levels::checkLevel(wide, -1), "15 x 11 cells: the play surface shows 15 x 10 at most"));
}

// An oyster fills the cell above it: that cell must be water, or whatever
// stood there is lost under the oyster.
TEST(LevelChecker, AnOysterNeedsWaterAboveIt) {
    LevelData level;
    std::vector<std::string> errors;
    ASSERT_TRUE(levels::parseLevelText("size 4 4\n####\n#GK#\n#PY#\n####\n", level, errors));
    EXPECT_TRUE(has(levels::checkLevel(level, -1), "oyster (2, 2) needs water above it at (2, 1), not 47"));
    level.set(2, 1, 0);
    EXPECT_TRUE(levels::checkLevel(level, -1).empty());
}

// The story's diver stands at (5, 4) of the first level with a code above
// 20: a mine beside it goes off in the first frame.
TEST(LevelChecker, NothingAboveTwentyBesideTheStorysDiver) {
    for (const auto& [x, y] : {std::pair{4, 4}, {6, 4}, {5, 3}, {5, 5}}) {
        LevelData first = leveltest::sourceLevel(0);
        first.set(x, y, 43);
        EXPECT_TRUE(has(levels::checkLevel(first, 0), "the story's diver at (5, 4) has code 43 beside it at (" +
                                                          std::to_string(x) + ", " + std::to_string(y) + ")"));
    }
    LevelData first = leveltest::sourceLevel(0);
    first.set(4, 4, 20);  // a tile that no mine minds
    EXPECT_TRUE(levels::checkLevel(first, 0).empty());
}

TEST(LevelChecker, TheFirstAndLastLevelsKeepTheirStoryCells) {
    LevelData first = leveltest::sourceLevel(0);
    first.set(5, 4, 1);
    first.set(14, 3, 0);
    const auto problems = levels::checkLevel(first, 0);
    EXPECT_TRUE(has(problems, "the story's diver needs water at (5, 4)"));
    EXPECT_TRUE(has(problems, "the quake opens column 14: (14, 3) must be rock"));
    LevelData last = leveltest::sourceLevel(30);
    last.set(10, 4, 33);
    EXPECT_TRUE(has(levels::checkLevel(last, 30), "the finale's diver needs water at (10, 4)"));
    EXPECT_TRUE(has(levels::checkLevel(sound(), 0), "the first level must be 15 x 10 for its story"));
}

}  // namespace
