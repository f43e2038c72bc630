// The level file: reading, sign extension, writing back, the object pass,
// the fish pass, level 0's story diver, the state a load resets, and the
// fatal ends of a short file or an out-of-range size.
#include <sys/stat.h>

#include <cstdio>

#include "child_process.h"
#include "file_bytes.h"
#include "game/world/cell_codes.h"
#include "game/world/collectibles.h"
#include "game/world/level_file.h"
#include "runtime/files/error_log.h"
#include "runtime/services/isaac.h"
#include "runtime/services/runtime_error.h"
#include "world_fixture.h"

namespace worldtest {
namespace {

using LevelFile = WorldTest;

TEST_F(LevelFile, TheMinimalFileHoldsOneCellInTwentyFiveBytes) {
    const std::string bytes = levelBytes(0, 0, {5}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    ASSERT_EQ(bytes.size(), 25u);
    writeLevel(1, bytes);
    LoadLevel(1);
    EXPECT_EQ(SIZE_X, 0);
    EXPECT_EQ(SIZE_Y, 0);
    EXPECT_EQ(MAP.at(0, 0), 5);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(LEVEL_PARAM.at(i), i + 1);
    // Beyond the level the grid keeps the filler 1 and an empty overlay.
    EXPECT_EQ(MAP.at(1, 0), 1);
    EXPECT_EQ(MAP.at(29, 29), 1);
    EXPECT_EQ(OVERLAY.at(0, 1), 0);
    EXPECT_EQ(MAP.d1, 30);
    EXPECT_EQ(MAP.d2, 30);
}

TEST_F(LevelFile, AFifteenByTenFileIsReadRowByRow) {
    std::vector<int32_t> cells;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 15; ++x) cells.push_back((x + y) % 22);
    const std::string bytes = levelBytes(14, 9, cells);
    ASSERT_EQ(bytes.size(), 174u);
    writeLevel(2, bytes);
    PLAY_MODE = 0;
    LoadLevel(2);
    EXPECT_EQ(SIZE_X, 14);
    EXPECT_EQ(SIZE_Y, 9);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 15; ++x) EXPECT_EQ(MAP.at(x, y), (x + y) % 22) << x << "," << y;
    EXPECT_EQ(MAP.at(15, 0), 1);
    EXPECT_EQ(MAP.at(0, 10), 1);
}

TEST_F(LevelFile, BytesFrom128To255ReadAsNegativeCodes) {
    std::vector<int32_t> cells;
    for (int b = 128; b < 256; b += 16) cells.push_back(b);  // 8 cells: 128, 144, ..., 240
    cells.push_back(255);
    std::array<int32_t, 10> params{0xFFFF, 0x8000, 0x7FFF};
    writeLevel(3, levelBytes(8, 0, cells, params));
    PLAY_MODE = 0;
    LoadLevel(3);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(MAP.at(i, 0), 128 + 16 * i - 256);
    EXPECT_EQ(MAP.at(8, 0), cell::kBubbleStream);
    EXPECT_EQ(LEVEL_PARAM.at(0), -1);
    EXPECT_EQ(LEVEL_PARAM.at(1), -32768);
    EXPECT_EQ(LEVEL_PARAM.at(2), 32767);
}

TEST_F(LevelFile, SaveLevelWritesTheSameBytesBack) {
    std::vector<int32_t> cells;
    for (int i = 0; i < 6 * 4; ++i) cells.push_back((i * 37) & 0xFF);
    const std::string original = levelBytes(5, 3, cells, {17, 0, 255, -1, 40000, 3, 0, 0, 9, 1});
    writeLevel(4, original);
    PLAY_MODE = 0;
    LoadLevel(4);
    SaveLevel(7);
    // The writer's lower-case "data" meets the reader's "Data" folder.
    EXPECT_EQ(testsupport::visible(testsupport::readFileBytes(file("Data/shol7.dat"))),
              testsupport::visible(original));
}

TEST_F(LevelFile, SaveLevelWithoutAFolderWritesNothingAndGoesOn) {
    writeLevel(1, levelBytes(0, 0, {0}));
    PLAY_MODE = 0;
    LoadLevel(1);
    ::unlink(file("Data/shol1.dat").c_str());
    ::rmdir(file("Data").c_str());
    SaveLevel(2);
    EXPECT_EQ(RtErrorCode, 3);
    EXPECT_FALSE(testsupport::fileExists(file("data/shol2.dat")));
    // The log says where, as a whole path, and why.
    const std::string log = testsupport::readFileBytes(errorLogPath().data);
    const std::string line = "\nSaveLevel: cannot write " + file("data/shol2.dat") + ": No such file or directory\n";
    EXPECT_TRUE(log.ends_with(line)) << log;
}

// A save that fails part-way (a full disk) keeps the old level whole, with
// no new file left beside it, and the program goes on with error 3
// recorded. Before, the failed write ended the program and left a
// truncated level in place of the old one.
TEST_F(LevelFile, ASaveThatFailsPartWayKeepsTheOldLevelAndGoesOn) {
    const std::string original = levelBytes(14, 9, std::vector<int32_t>(150, 1));
    writeLevel(7, original);
    PLAY_MODE = 0;
    LoadLevel(7);
    MAP.at(3, 3) = 33;
    const std::vector<std::string> namesBefore = testsupport::namesInFolder(file("Data"));
    const testsupport::ChildResult r = testsupport::runInChild([] {
        testsupport::limitFileSizes(100);
        SaveLevel(7);
        std::printf("%d", RtErrorCode);
    });
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out, "3");
    EXPECT_EQ(testsupport::visible(testsupport::readFileBytes(file("Data/shol7.dat"))), testsupport::visible(original));
    EXPECT_EQ(testsupport::namesInFolder(file("Data")), namesBefore);  // nothing half-made beside it
}

TEST_F(LevelFile, AShortFileEndsTheProgramWithError3) {
    std::string bytes = levelBytes(1, 1, {0, 0, 0, 0});
    bytes.pop_back();  // the last parameter is one byte short
    writeLevel(5, bytes);
    EXPECT_EXIT(LoadLevel(5), ::testing::ExitedWithCode(3), "");
}

TEST_F(LevelFile, AMissingFileEndsTheProgramWithError3) {
    EXPECT_EXIT(LoadLevel(9), ::testing::ExitedWithCode(3), "");
}

TEST_F(LevelFile, ASizeBeyondTheGridLoadsItsTopLeftPartAndNegativeSizesLoadNoCells) {
    // 33 x 31 cells, each holding (x + 2 * y) % 22: the reader goes past the
    // cells that do not fit and still finds the parameters.
    std::vector<int32_t> cells;
    for (int y = 0; y <= 30; ++y)
        for (int x = 0; x <= 32; ++x) cells.push_back((x + 2 * y) % 22);
    writeLevel(6, levelBytes(32, 30, cells, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    PLAY_MODE = 0;
    LoadLevel(6);
    EXPECT_EQ(SIZE_X, 29);
    EXPECT_EQ(SIZE_Y, 29);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) ASSERT_EQ(MAP.at(x, y), (x + 2 * y) % 22) << x << "," << y;
    for (int i = 0; i < 10; ++i) EXPECT_EQ(LEVEL_PARAM.at(i), i + 1);

    const struct {
        int32_t sizeX, sizeY;
    } negative[] = {{-1, 3}, {4, -2}, {-300, -300}};
    for (const auto& n : negative) {
        SCOPED_TRACE(std::to_string(n.sizeX) + " x " + std::to_string(n.sizeY));
        writeLevel(7, levelBytes(n.sizeX, n.sizeY, {}, {11, 12}));
        PLAY_MODE = 1;
        LoadLevel(7);
        EXPECT_EQ(LEVEL_PARAM.at(0), 11);
        EXPECT_EQ(LEVEL_PARAM.at(1), 12);
        EXPECT_EQ(MAP.at(0, 0), 1);
        EXPECT_EQ(PLAYERS.d1 + FISH.d1 + GEMS.d1, 0);
    }
}

TEST_F(LevelFile, AnOysterInRowZeroKeepsItsRowAndAFishNamedOutsideTheGridIsNotMade) {
    // The fish parameters name (4, 30) and (14, 2184), both below the grid.
    writeLevel(6, levelWith(4, 1, {{1, 0, 46}, {4, 1, 35}}, {4 + 15 * 30, 32767, 4 + 15 * 1}));
    LoadLevel(6);
    ASSERT_EQ(OYSTERS.d1, 1);
    EXPECT_EQ(fields(OYSTERS.at(0)), (Fields{16, -16, 0, 0, 0, 0, 0, 2, 0}));
    EXPECT_EQ(MAP.at(1, 0), 46);
    ASSERT_EQ(FISH.d1, 1) << "only the parameter naming a cell of the grid";
    EXPECT_EQ(FISH.at(0).spare, 2);
    // The oyster, opened by a diver with a pearl beside its lower cell,
    // frees its upper cell above the grid: nothing changes there.
    MAP.at(0, 0) = cell::kDiver;
    PEARL_TAKEN = 1;
    for (int i = 0; i < 40; ++i) UpdateOysters();
    EXPECT_EQ(OYSTERS.at(0).state, 2);
    EXPECT_EQ(MAP.at(1, 0), 46);
}

TEST_F(LevelFile, EverySpawnCodeMakesItsRecord) {
    // One code per cell in scan order; the random draws happen in that order.
    writeLevel(1, levelWith(15, 2,
                            {{0, 0, 7},  {1, 0, 32}, {2, 0, 33}, {3, 0, 34}, {4, 0, 36}, {5, 0, 37},
                             {6, 0, 39}, {7, 0, 40}, {8, 0, 41}, {9, 0, 42}, {10, 0, 43}, {11, 0, 44},
                             {12, 0, 45}, {13, 1, 46}, {14, 0, 47}, {15, 0, 48}, {0, 2, 21}}));
    SeedRandom(kSeed);
    const int weedFrame = RandomInt(3);
    const int pushDelay = RandomInt(20);
    const int bombInterval = RandomInt(90);
    SeedRandom(kSeed);
    CRAB_SERIAL = 40;
    LoadLevel(1);

    ASSERT_EQ(WEEDS.d1, 1);
    EXPECT_EQ(fields(WEEDS.at(0)), (Fields{0, 0, 0, double(weedFrame)}));
    EXPECT_EQ(MAP.at(0, 0), 0);
    EXPECT_EQ(OVERLAY.at(0, 0), 7);

    ASSERT_EQ(PLAYERS.d1, 1);
    EXPECT_EQ(fields(PLAYERS.at(0)), (Fields{16, 0, 0, 0, 0, 0, 0, 0, 0, double(pushDelay)}));
    EXPECT_EQ(MAP.at(1, 0), 32);

    ASSERT_EQ(GEMS.d1, 1);
    EXPECT_EQ(fields(GEMS.at(0)), (Fields{32, 0}));
    EXPECT_EQ(MAP.at(2, 0), 0);
    EXPECT_EQ(OVERLAY.at(2, 0), 23);
    EXPECT_EQ(GEMS_LEFT, 1);

    ASSERT_EQ(STARFISH.d1, 2);
    EXPECT_EQ(fields(STARFISH.at(0)), (Fields{48, 0, 0, 0, 0, 0, 3, 0, 0, 0, -1}));
    EXPECT_EQ(fields(STARFISH.at(1)), (Fields{176, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1}));

    ASSERT_EQ(OCTOPUSES.d1, 1);
    EXPECT_EQ(fields(OCTOPUSES.at(0)), (Fields{64, 0, 0, 0, 0, 0}));
    ASSERT_EQ(SPONGES.d1, 1);
    EXPECT_EQ(fields(SPONGES.at(0)), (Fields{80, 0, 0, 0}));
    ASSERT_EQ(BOULDERS.d1, 1);
    EXPECT_EQ(fields(BOULDERS.at(0)), (Fields{96, 0, 0, 0, 0}));
    ASSERT_EQ(BUBBLE_VENTS.d1, 1);
    EXPECT_EQ(fields(BUBBLE_VENTS.at(0)), (Fields{112, 0, 0, 0}));

    ASSERT_EQ(CRABS.d1, 2);
    EXPECT_EQ(fields(CRABS.at(0)), (Fields{128, 0, 0, 0, 0, 0, 0, 40, 0}));
    EXPECT_EQ(fields(CRABS.at(1)), (Fields{144, 0, 0, 0, 0, 0, 1, 41, 0}));
    EXPECT_EQ(CRAB_SERIAL, 42);

    ASSERT_EQ(MINES.d1, 1);
    EXPECT_EQ(fields(MINES.at(0)), (Fields{160, 0, 0, 0, 0, 0}));
    EXPECT_EQ(MAP.at(10, 0), 43);

    ASSERT_EQ(BOMBS.d1, 1);
    EXPECT_EQ(fields(BOMBS.at(0)), (Fields{192, 0, 0, 0, 0, 0, double(bombInterval), 0}));

    ASSERT_EQ(OYSTERS.d1, 1);
    EXPECT_EQ(fields(OYSTERS.at(0)), (Fields{208, 0, 0, 0, 0, 0, 0, 2, 0}));
    EXPECT_EQ(MAP.at(13, 0), 46);
    EXPECT_EQ(MAP.at(13, 1), 46);

    ASSERT_EQ(PEARLS.d1, 1);
    EXPECT_EQ(fields(PEARLS.at(0)), (Fields{224, 0, 0, 0}));
    EXPECT_EQ(MAP.at(14, 0), 0);

    ASSERT_EQ(ANGLERS.d1, 1);
    EXPECT_EQ(fields(ANGLERS.at(0)), (Fields{240, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(MAP.at(15, 0), 48);
    EXPECT_EQ(DARK_LEVEL, 1);

    // Codes that are not spawn codes stay as they are; no other family got records.
    EXPECT_EQ(MAP.at(0, 2), 21);
    EXPECT_EQ(FISH.d1, 0);
    EXPECT_EQ(DIVERS.d1, 0);
    EXPECT_EQ(POPS.d1, 0);
}

TEST_F(LevelFile, TheEditorKeepsTheRawCodesAndMakesNoRecords) {
    writeLevel(1, levelWith(3, 1, {{0, 0, 33}, {1, 0, 48}, {2, 0, 7}, {3, 1, 46}}, {1}));
    PLAY_MODE = 0;
    LoadLevel(1);
    EXPECT_EQ(MAP.at(0, 0), 33);
    EXPECT_EQ(MAP.at(1, 0), 48);
    EXPECT_EQ(MAP.at(2, 0), 7);
    EXPECT_EQ(MAP.at(3, 0), 0);
    EXPECT_EQ(OVERLAY.at(2, 0), 0);
    EXPECT_EQ(GEMS.d1 + ANGLERS.d1 + WEEDS.d1 + OYSTERS.d1 + FISH.d1, 0);
    EXPECT_EQ(DARK_LEVEL, 0);
    EXPECT_EQ(GEMS_LEFT, 0);
}

TEST_F(LevelFile, ParametersNameFishCellsAsXPlusFifteenY) {
    // A level 20 wide: the cell rule ignores the map's width.
    writeLevel(1, levelWith(19, 3,
                            {{4, 2, 35},    // named by 34 = 4 + 15 * 2
                             {16, 0, 38},   // named by 16 = 1 + 15 * 1, which is not this cell
                             {1, 1, 38},    // named by 16
                             {7, 3, 35},    // named twice
                             {9, 0, 35},    // named by nobody
                             {3, 0, 12}},   // named, but holds no fish code
                            {0, 34, 16, 52, 52, 3}));
    LoadLevel(1);
    ASSERT_EQ(FISH.d1, 3);
    EXPECT_EQ(fields(FISH.at(0)), (Fields{64, 32, 0, 0, 0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(fields(FISH.at(1)), (Fields{16, 16, 0, 0, 1, 2, 0, 0, 0, 0}));
    EXPECT_EQ(fields(FISH.at(2)), (Fields{112, 48, 0, 0, 0, 3, 0, 0, 0, 0}));
    EXPECT_EQ(MAP.at(4, 2), 25);
    EXPECT_EQ(MAP.at(1, 1), 25);
    EXPECT_EQ(MAP.at(7, 3), 25);
    EXPECT_EQ(MAP.at(16, 0), 38);
    EXPECT_EQ(MAP.at(9, 0), 35);
    EXPECT_EQ(MAP.at(3, 0), 12);
}

TEST_F(LevelFile, AParameterOfZeroNeverMakesAFishInTheCornerCell) {
    writeLevel(1, levelWith(1, 0, {{0, 0, 35}}));
    LoadLevel(1);
    EXPECT_EQ(FISH.d1, 0);
    EXPECT_EQ(MAP.at(0, 0), 35);
}

TEST_F(LevelFile, LevelZeroPlacesTheStoryDiverOverWhateverLiesThere) {
    writeLevel(0, levelWith(7, 5, {{5, 4, 12}}));
    PLAYER_CONTROL = 1;
    LoadLevel(0);
    ASSERT_EQ(DIVERS.d1, 1);
    EXPECT_EQ(fields(DIVERS.at(0)), (Fields{80, 64, 30, 1, 0, 0}));
    EXPECT_EQ(MAP.at(5, 4), 80);
    EXPECT_EQ(PLAYER_CONTROL, 0);
}

TEST_F(LevelFile, OtherLevelsKeepTheControlFlagAndHaveNoStoryDiver) {
    writeLevel(3, levelWith(7, 5, {}));
    PLAYER_CONTROL = 1;
    LoadLevel(3);
    EXPECT_EQ(DIVERS.d1, 0);
    EXPECT_EQ(PLAYER_CONTROL, 1);
    EXPECT_EQ(MAP.at(5, 4), 0);
}

TEST_F(LevelFile, TheEditorGetsNoStoryDiverInLevelZero) {
    writeLevel(0, levelWith(7, 5, {}));
    PLAY_MODE = 0;
    LoadLevel(0);
    EXPECT_EQ(DIVERS.d1, 0);
    EXPECT_EQ(PLAYER_CONTROL, 0);
}

TEST_F(LevelFile, ALoadResetsTheLevelAndStoryState) {
    writeLevel(2, levelWith(1, 1, {}));
    MINE_FIRED = DARK_LEVEL = LEVEL_LOST = PEARL_TAKEN = GAME_WON = REELED_IN = 1;
    GEMS_LEFT = 4;
    PARAM_INDEX = 6;
    SHARK_X = 10;
    GAME_PHASE = 8;
    SPEECH_FRAME = 3;
    BUBBLE1_X = BUBBLE1_Y = BUBBLE2_X = BUBBLE2_Y = 1;
    BUBBLE_STEP = STORY_TICK = 9;
    SCROLLX = SCROLLY = 5;
    LEVEL = 17;
    CRAB_SERIAL = 12;
    LoadLevel(2);
    EXPECT_EQ(MINE_FIRED, 0);
    EXPECT_EQ(DARK_LEVEL, 0);
    EXPECT_EQ(LEVEL_LOST, 0);
    EXPECT_EQ(PEARL_TAKEN, 0);
    EXPECT_EQ(GAME_WON, 0);
    EXPECT_EQ(REELED_IN, 0);
    EXPECT_EQ(GEMS_LEFT, 0);
    EXPECT_EQ(PARAM_INDEX, 0);
    EXPECT_EQ(SHARK_X, 300);
    EXPECT_EQ(GAME_PHASE, 0);
    EXPECT_EQ(SPEECH_FRAME, -1);
    EXPECT_EQ(BUBBLE1_X, 70);
    EXPECT_EQ(BUBBLE1_Y, 52);
    EXPECT_EQ(BUBBLE2_X, 86);
    EXPECT_EQ(BUBBLE2_Y, 52);
    EXPECT_EQ(BUBBLE_STEP, 0);
    EXPECT_EQ(STORY_TICK, 0);
    EXPECT_EQ(SCROLLX, 0);
    EXPECT_EQ(SCROLLY, 0);
    // Not the loader's to change.
    EXPECT_EQ(LEVEL, 17);
    EXPECT_EQ(CRAB_SERIAL, 12);
}

TEST_F(LevelFile, CrabSerialsKeepCountingAcrossLoads) {
    writeLevel(1, levelWith(2, 0, {{0, 0, 41}, {2, 0, 42}}));
    LoadLevel(1);
    LoadLevel(1);
    ASSERT_EQ(CRABS.d1, 2);
    EXPECT_EQ(CRABS.at(0).serial, 2);
    EXPECT_EQ(CRABS.at(1).serial, 3);
    EXPECT_EQ(CRAB_SERIAL, 4);
}

TEST_F(LevelFile, AQuakeAndAStepClockDoNotOutliveTheirLevel) {
    // A quake running when the level is left would open column 14 of the next
    // level at SHAKE_TIME 100; a clock left running moves the new creatures.
    writeLevel(2, levelWith(15, 8, {}));
    SHAKE_TIME = 120;
    SHAKE_X = 1;
    STEP_TICKS = 5;
    STEP_DONE = 1;
    LoadLevel(2);
    EXPECT_EQ(SHAKE_TIME, 0);
    EXPECT_EQ(SHAKE_X, 0);
    EXPECT_EQ(STEP_TICKS, 0);
    EXPECT_EQ(STEP_DONE, 0);
}

TEST_F(LevelFile, EffectsOfOneLevelAreNotCarriedIntoTheNext) {
    writeLevel(2, levelWith(1, 1, {}));
    BLOOD.push(Blood{1, 2, 0, 0, -0.5, 1});
    FLYING_GEMS.push(FlyingGem{10, 20});  // above y 64: it would stay for ever
    REEL_DIVERS.push(ReelDiver{150, 64, 0, 0, 1});
    EXPLOSIONS.push(Explosion{224, 32, 0, 0});
    LoadLevel(2);
    EXPECT_EQ(BLOOD.d1, 0);
    EXPECT_EQ(FLYING_GEMS.d1, 0);
    EXPECT_EQ(REEL_DIVERS.d1, 0);
    EXPECT_EQ(EXPLOSIONS.d1, 0);
}

TEST_F(LevelFile, ClearLevelEmptiesTheLevelFamiliesOnly) {
    SHARKS.push(Shark{});
    SUBMARINES.push(Submarine{});
    PLAYERS.push(Player{});
    BUBBLES.push(Bubble{});
    BUBBLES.push(Bubble{});
    POPS.push(Pop{});
    PHOTO_OVERLAYS.push(PhotoOverlay{});
    BLOOD.push(Blood{});
    EXPLOSIONS.push(Explosion{});
    ClearLevel();
    EXPECT_EQ(SHARKS.d1 + SUBMARINES.d1 + PLAYERS.d1 + BUBBLES.d1 + POPS.d1 + PHOTO_OVERLAYS.d1, 0);
    EXPECT_EQ(BLOOD.d1, 1);
    EXPECT_EQ(EXPLOSIONS.d1, 1);
}

TEST_F(LevelFile, ResetLevelGridsFillsTheWholeGrid) {
    MAP.at(29, 29) = 7;
    OVERLAY.at(3, 4) = 99;
    LEVEL_PARAM.at(9) = 5;
    SCROLLX = 2;
    SCROLLY = 3;
    ResetLevelGrids();
    for (int x = 0; x < 30; ++x)
        for (int y = 0; y < 30; ++y) {
            ASSERT_EQ(MAP.at(x, y), 1);
            ASSERT_EQ(OVERLAY.at(x, y), 0);
        }
    EXPECT_EQ(LEVEL_PARAM.at(9), 0);
    EXPECT_EQ(SCROLLX, 0);
    EXPECT_EQ(SCROLLY, 0);
}

TEST_F(LevelFile, ConvertLevelFileMovesCodesUpAndSkipsMissingFiles) {
    ::mkdir(file("data").c_str(), 0755);
    testsupport::writeFileBytes(file("data/sr1.dat"), levelBytes(2, 0, {21, 22, 31}, {4}));
    testsupport::writeFileBytes(file("data/sr3.dat"), levelBytes(0, 0, {-1}));
    ConvertLevelFile();
    EXPECT_EQ(testsupport::readFileBytes(file("data/shol1.dat")), levelBytes(2, 0, {21, 32, 41}, {4}));
    EXPECT_FALSE(testsupport::fileExists(file("data/shol2.dat")));
    EXPECT_EQ(testsupport::readFileBytes(file("data/shol3.dat")), levelBytes(0, 0, {-1}));
    EXPECT_EQ(LEVEL, 20);
}

TEST_F(LevelFile, TheLevelNameIsBuiltFromTheNumber) {
    EXPECT_STREQ(levelFileName(0).data, "Data/shol0.dat");
    EXPECT_STREQ(levelFileName(30).data, "Data/shol30.dat");
}

}  // namespace
}  // namespace worldtest
