// Random play: every level over a few seeds, from its start and from parts
// of its solution, ends nothing, logs nothing and keeps the rules of play;
// the sweep reports a play that ends the program with its exit status and
// what the error log holds; and the rules of play see a hole in the rock and
// a code that no record holds. (Longer sweeps: bin/levels_sweep.)
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "game/world/cell_codes.h"
#include "game/world/game_state.h"
#include "level_data.h"
#include "level_sources.h"
#include "level_text.h"
#include "play/random_play.h"
#include "play/sweep.h"
#include "temp_dir.h"

namespace {

class RandomPlay : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    testsupport::ScopedEnv tmpdir{"TMPDIR", dir.path().c_str()};  // the plays' error log
};

void expectNoFindings(const levels::SweepResult& r) {
    for (const levels::SweepFinding& f : r.findings) {
        ADD_FAILURE() << "level " << f.level << " seed " << f.seed << ": " << f.what;
    }
}

TEST_F(RandomPlay, EveryLevelPlaysOnWithoutAFaultOverSeveralSeeds) {
    levels::SweepOptions options;
    options.seeds = 2;
    options.frames = 2500;
    const levels::SweepResult fromStart = levels::sweepLevels(leveltest::sourcesFolder(), dir.path(), options);
    expectNoFindings(fromStart);
    EXPECT_EQ(fromStart.plays, 62);
    EXPECT_EQ(fromStart.frames, 62 * 2500);
    EXPECT_GT(fromStart.losses, 0) << "random play also loses, and the level reloads";
    options.fromSolutions = true;
    options.firstSeed = 101;
    const levels::SweepResult fromSolutions = levels::sweepLevels(leveltest::sourcesFolder(), dir.path(), options);
    expectNoFindings(fromSolutions);
    EXPECT_EQ(fromSolutions.plays, 62);
}

TEST_F(RandomPlay, APlayThatEndsTheProgramIsReportedWithItsStatusAndTheLog) {
    // The play cannot write the level's file (a file holds the name of its
    // folder), so the load ends the program, naming the file.
    ASSERT_TRUE(levels::writeWholeFile(dir.file("level_05.txt"), "size 5 3\n#####\n#PG.#\n#####\n"));
    ASSERT_EQ(::mkdir(dir.file("Media").c_str(), 0755), 0);
    ASSERT_TRUE(levels::writeWholeFile(dir.file("Media/Data"), ""));
    levels::SweepOptions options;
    options.firstLevel = options.lastLevel = 5;
    options.seeds = 1;
    options.frames = 10;
    const levels::SweepResult r = levels::sweepLevels(dir.path(), dir.path(), options);
    ASSERT_EQ(r.findings.size(), 2u);
    EXPECT_EQ(r.findings[0].level, 5);
    EXPECT_EQ(r.findings[0].seed, 1u);
    EXPECT_EQ(r.findings[0].what, "the play ended the program (exit status 3)");
    EXPECT_EQ(r.findings[1].what,
              "the error log holds: 0003 no such file: " + dir.file("Media/Data/shol5.dat") + "\nShut down VNT\n");
}

TEST_F(RandomPlay, TheRulesOfPlaySeeAHoleInTheRockAndACodeThatNoRecordHolds) {
    levels::LevelData level;
    std::vector<std::string> errors;
    ASSERT_TRUE(levels::parseLevelText("size 6 4\n######\n#P..G#\n#..C.#\n######\n", level, errors));
    levels::LevelPlay play(dir.path());
    play.putLevelFile(7, levels::encodeLevel(level));
    play.start(7);
    levels::PlayRules rules(7);
    rules.takeLevel();
    std::vector<std::string> faults;
    rules.check(1, faults);
    EXPECT_TRUE(faults.empty()) << faults[0];
    MAP.at(2, 3) = cell::kWater;
    MAP.at(2, 1) = cell::kCrab;
    rules.check(2, faults);
    EXPECT_EQ(faults, (std::vector<std::string>{"frame 2: the tile 11 at (2, 3) became 0",
                                                "frame 2: the code 31 at (2, 1) belongs to no record standing there"}));
    rules.check(3, faults);
    EXPECT_EQ(faults.size(), 2u) << "each kind once";
}

}  // namespace
