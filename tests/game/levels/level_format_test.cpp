// Level files and their text form: exact bytes, the rock outline, parse
// errors, and both round trips (every source and random levels).
#include <gtest/gtest.h>

#include <random>

#include "level_data.h"
#include "level_files.h"
#include "level_sources.h"
#include "level_text.h"

namespace {

using levels::LevelData;

LevelData parse(const std::string& text, std::vector<std::string>* errorsOut = nullptr) {
    LevelData level;
    std::vector<std::string> errors;
    const bool ok = levels::parseLevelText(text, level, errors);
    if (errorsOut) *errorsOut = errors;
    else EXPECT_TRUE(ok) << (errors.empty() ? "" : errors[0]);
    return level;
}

std::string firstError(const std::string& text) {
    std::vector<std::string> errors;
    parse(text, &errors);
    return errors.empty() ? "" : errors[0];
}

TEST(LevelFile, ATinyLevelHasItsExactBytes) {
    const LevelData level = parse("size 3 2\n#P#\n#G#\nparams 1 -2 0 0 0 0 0 0 0 300\n");
    const std::string bytes = levels::encodeLevel(level);
    const std::string expected("\x02\x00\x01\x00"          // highest column 2, row 1
                               "\x06\x20\x05\x06\x21\x05"  // rock outlined toward the diver and the gem
                               "\x01\x00\xfe\xff\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x2c\x01",
                               30);
    EXPECT_EQ(bytes, expected);
    LevelData back;
    std::string why;
    ASSERT_TRUE(levels::decodeLevel(bytes, back, why)) << why;
    EXPECT_EQ(back, level);
}

TEST(LevelFile, BadFilesAreRefusedWithTheirReason) {
    LevelData level;
    std::string why;
    EXPECT_FALSE(levels::decodeLevel("\x01", level, why));
    EXPECT_EQ(why, "shorter than its two sizes (1 bytes)");
    EXPECT_FALSE(levels::decodeLevel(std::string("\x1e\x00\x00\x00", 4), level, why));
    EXPECT_EQ(why, "size 31 x 1 outside 1 to 30 cells");
    EXPECT_FALSE(levels::decodeLevel(std::string("\xff\xff\x00\x00", 4), level, why));
    EXPECT_EQ(why, "size 0 x 1 outside 1 to 30 cells");
    EXPECT_FALSE(levels::decodeLevel(std::string(24, '\0'), level, why));
    EXPECT_EQ(why, "24 bytes where a level of 1 x 1 has 25");
    EXPECT_TRUE(levels::decodeLevel(std::string(25, '\0'), level, why));
    EXPECT_EQ(level.cells, std::vector<int8_t>{0});
}

TEST(LevelFile, NamesAndNumbers) {
    EXPECT_EQ(levels::levelFileName(7), "shol7.dat");
    EXPECT_EQ(levels::sourceFileName(7), "level_07.txt");
    EXPECT_EQ(levels::levelNumberOfPath("/a/b/level_30.txt"), 30);
    EXPECT_EQ(levels::levelNumberOfPath("data/SHOL12.DAT"), 12);
    EXPECT_EQ(levels::levelNumberOfPath("shol.dat"), -1);
    EXPECT_EQ(levels::levelNumberOfPath("level_x1.txt"), -1);
}

// The build tools' run over the sources: every level that reads is handed
// on in order, and a problem with any level fails the run. A level that does
// not read is a problem of its own and is not handed on.
TEST(LevelFile, TheToolsRunOverEverySourceAndFailOnAnyProblem) {
    std::vector<int32_t> seen;
    const int clean = levels::forEachSource(leveltest::sourcesFolder(), [&](int32_t n, const auto& level, auto&) {
        seen.push_back(n);
        EXPECT_EQ(level.width, 15) << n;
    });
    EXPECT_EQ(clean, 0);
    ASSERT_EQ(seen.size(), 31u);
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen.back(), 30);
    const int faulty = levels::forEachSource(leveltest::sourcesFolder(), [](int32_t n, const auto&, auto& problems) {
        if (n == 5) problems.push_back("a problem");
    });
    EXPECT_EQ(faulty, 1);
    int handed = 0;
    EXPECT_EQ(levels::forEachSource("/nonexistent", [&](int32_t, const auto&, auto&) { ++handed; }), 1);
    EXPECT_EQ(handed, 0);
}

TEST(LevelText, RockTakesTheOutlineOfTheSidesThatFaceWater) {
    // A plus of water around the centre rock, with the level's edge as wall.
    const LevelData level = parse("size 5 5\n#####\n##.##\n#.#.#\n##.##\n###P#\n");
    EXPECT_EQ(level.at(2, 2), 17) << "water on all four sides";
    EXPECT_EQ(level.at(0, 0), 1) << "edge and rock around";
    EXPECT_EQ(level.at(2, 0), 3) << "water below";
    EXPECT_EQ(level.at(1, 1), 9) << "water below and right";
    EXPECT_EQ(level.at(0, 2), 6) << "water right";
    EXPECT_EQ(level.at(2, 4), 4) << "water above and right (the diver)";
    EXPECT_EQ(level.at(3, 3), 15) << "water above, below and left";
    const int sidesToTile[16] = {1, 11, 3, 10, 5, 2, 8, 15, 6, 4, 9, 16, 12, 13, 14, 17};
    for (int sides = 0; sides < 16; ++sides) EXPECT_EQ(levels::rockTileFor(sides), sidesToTile[sides]) << sides;
}

TEST(LevelText, SolidTilesJoinWallsAndExplicitCellsWin) {
    const LevelData level = parse("size 4 1\n#=.?\ncell 3 0 99\ncell 0 0 5\n");
    EXPECT_EQ(level.at(0, 0), 5);
    EXPECT_EQ(level.at(1, 0), 18);
    EXPECT_EQ(level.at(3, 0), 99);
    EXPECT_EQ(parse("size 3 1\n#=.\n").at(0, 0), 1) << "sand is wall: nothing faces water";
    EXPECT_EQ(parse("size 3 1\n#W.\n").at(0, 0), 6) << "weed is not wall";
}

TEST(LevelText, FishParametersFollowTheFishInReadingOrder) {
    const LevelData level = parse("size 15 3\n#P#f#######F###\n#...#####.##..#\n###############\n");
    EXPECT_EQ(level.params[0], 3);
    EXPECT_EQ(level.params[1], 11);
    EXPECT_EQ(level.params[2], 0);
    const LevelData given = parse("size 3 1\nF.f\nparams 2 0 0 0 0 0 0 0 0 0\n");
    EXPECT_EQ(given.params[0], 2);
    EXPECT_EQ(levels::levelToText(given), "size 3 1\nF.f\nparams 2 0 0 0 0 0 0 0 0 0\n");
}

TEST(LevelText, ParseErrorsNameTheirLine) {
    EXPECT_EQ(firstError(""), "line 0: empty text");
    EXPECT_EQ(firstError("size 0 3\n"), "line 1: expected \"size <width> <height>\" with sides from 1 to 30");
    EXPECT_EQ(firstError("size 31 1\n"), "line 1: expected \"size <width> <height>\" with sides from 1 to 30");
    EXPECT_EQ(firstError("size 2 2\n..\n.\n"), "line 3: a row of 1 glyphs in a level 2 wide");
    EXPECT_EQ(firstError("size 2 1\n.Z\n"), "line 2: unknown glyph 'Z' at column 1");
    EXPECT_EQ(firstError("size 2 2\n..\n"), "line 2: 1 rows in a level 2 high");
    EXPECT_EQ(firstError("size 1 1\n?\n"), "cell 0 0: '?' without a \"cell\" line");
    EXPECT_EQ(firstError("size 1 1\n.\ncell 1 0 5\n"),
              "line 3: \"cell <x> <y> <code>\" needs a cell inside the level and a code from -128 to 127");
    EXPECT_EQ(firstError("size 1 1\n.\ncell 0 0 128\n"),
              "line 3: \"cell <x> <y> <code>\" needs a cell inside the level and a code from -128 to 127");
    EXPECT_EQ(firstError("size 1 1\n.\nparams 1 2\n"), "line 3: \"params\" takes ten 16-bit numbers");
    EXPECT_EQ(firstError("size 1 1\n.\nwhat\n"), "line 3: unknown line \"what\"");
}

TEST(LevelRoundTrip, EverySourceIsTheCanonicalTextOfItsCompiledFile) {
    for (int n = 0; n < levels::kLevelCount; ++n) {
        const std::string path = leveltest::sourcesFolder() + "/" + levels::sourceFileName(n);
        const std::string text = leveltest::readText(path);
        const LevelData level = parse(text);
        EXPECT_EQ(level.width, 15);
        EXPECT_EQ(level.height, 10);
        const std::string bytes = levels::encodeLevel(level);
        EXPECT_EQ(bytes.size(), 174u) << path;
        LevelData decoded;
        std::string why;
        ASSERT_TRUE(levels::decodeLevel(bytes, decoded, why)) << why;
        EXPECT_EQ(levels::levelToText(decoded), text) << path;
    }
}

TEST(LevelRoundTrip, TheMediaFolderHoldsTheCompiledSources) {
    for (int n = 0; n < levels::kLevelCount; ++n) {
        std::string built;
        ASSERT_TRUE(levels::readWholeFile(leveltest::dataFolder() + "/" + levels::levelFileName(n), built)) << n;
        EXPECT_EQ(built, levels::encodeLevel(leveltest::sourceLevel(n))) << "level " << n;
    }
}

TEST(LevelRoundTrip, RandomLevelsComeBackByteForByte) {
    std::mt19937 random(20240607);
    // Codes weighted toward rock and water so that outlines, explicit cells
    // and glyphs all occur; every byte value can appear.
    for (int round = 0; round < 300; ++round) {
        LevelData level;
        level.width = 1 + static_cast<int32_t>(random() % 30);
        level.height = 1 + static_cast<int32_t>(random() % 30);
        for (int32_t i = 0; i < level.width * level.height; ++i) {
            const uint32_t pick = random() % 10;
            const int32_t code = pick < 4 ? static_cast<int32_t>(1 + random() % 17)
                                 : pick < 7 ? 0
                                 : pick < 9 ? static_cast<int32_t>(18 + random() % 31)
                                            : static_cast<int32_t>(random() % 256) - 128;
            level.cells.push_back(static_cast<int8_t>(code));
        }
        for (int16_t& p : level.params) p = random() % 3 == 0 ? static_cast<int16_t>(random() % 65536) : 0;
        const std::string bytes = levels::encodeLevel(level);
        const std::string text = levels::levelToText(level);
        const LevelData back = parse(text);
        ASSERT_EQ(levels::encodeLevel(back), bytes) << "round " << round << "\n" << text;
        EXPECT_EQ(levels::levelToText(back), text);
    }
}

}  // namespace
