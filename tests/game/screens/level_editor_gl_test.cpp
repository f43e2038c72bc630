// The level editor worked with the mouse through the window system's queue:
// painting, picking, fish cells, saving a file the loader plays, the level
// switch, the menu cells, Escape, and "TEST" there and back; and F2 from
// the title menu.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "engine_harness.h"
#include "file_bytes.h"
#include "game/screens/level_editor.h"
#include "game/screens/screens.h"
#include "game/world/game_sprites.h"
#include "game/world/game_state.h"
#include "game/world/level_file.h"
#include "game_window.h"
#include "gfx2d/gfx2d_commands.h"
#include "platform/event_pump.h"
#include "platform/key_codes.h"
#include "shell/frame_end.h"

namespace screenstest {
namespace {

using S = GameScreen;

class Editor : public GameWindow {
protected:
    void SetUp() override {
        GameWindow::SetUp();
        LEVEL = 3;
        StartLevelEditor(e);
    }
    // One frame: the events injected so far are pumped by the frame end.
    void frame() {
        EndFrame();
        RunLevelEditorFrame(e);
    }
    void idle(int n) {
        for (int i = 0; i < n; ++i) frame();
    }
    void moveTo(int32_t column, int32_t row) {
        x = column * kEditorCellPixels + 16;
        y = row * kEditorCellPixels + 16;
        testsupport::injectMouseMove(x, y);
        frame();
    }
    void press(int32_t button = 1) {
        testsupport::injectMouseButton(button, true, x, y);
        frame();
    }
    void release(int32_t button = 1) {
        testsupport::injectMouseButton(button, false, x, y);
        frame();
    }
    void click(int32_t column, int32_t row, int32_t button = 1) {
        moveTo(column, row);
        press(button);
        release(button);
    }
    static std::vector<int32_t> simpleCells() {
        const std::string bytes = simpleLevel();
        std::vector<int32_t> cells;
        for (int i = 4; i < 154; ++i) cells.push_back(static_cast<signed char>(bytes[i]));
        return cells;
    }

    EditorState e;
    int32_t x = 0, y = 0;
};

TEST_F(Editor, PaintsWithAPaletteTileAndPicksATileFromTheMap) {
    click(6, 11);  // tile 15 + 6
    EXPECT_EQ(e.tile, 21);
    moveTo(2, 3);
    press();
    EXPECT_EQ(MAP.at(2, 3), 21);
    moveTo(3, 3);  // painting follows the held button
    frame();
    EXPECT_EQ(MAP.at(3, 3), 21);
    release();
    click(2, 2, platform::MouseRight);
    EXPECT_EQ(e.tile, 32) << "the right button picks the diver's code";
    EXPECT_EQ(e.column, 2);
    EXPECT_EQ(e.row, 2);
}

TEST_F(Editor, PlacesAFishAndSavesA174ByteFileThatTheLoaderPlays) {
    click(5, 12);  // tile 15 * 2 + 5
    ASSERT_EQ(e.tile, 35);
    moveTo(5, 2);
    press();
    idle(15);  // held on the same cell: recorded once
    release();
    EXPECT_EQ(MAP.at(5, 2), 35);
    EXPECT_EQ(LEVEL_PARAM.at(0), 35);
    EXPECT_EQ(LEVEL_PARAM.at(1), 0);
    EXPECT_EQ(PARAM_INDEX, 1);

    idle(20);
    click(MenuSave, 13);
    std::vector<int32_t> cells = simpleCells();
    cells[2 * 15 + 5] = 35;
    const std::string saved = testsupport::readFileBytes(file("Media/Data/shol3.dat"));
    EXPECT_EQ(saved.size(), 174u);
    EXPECT_EQ(testsupport::visible(saved), testsupport::visible(levelBytes(cells, {35})));

    PLAY_MODE = 1;
    LoadLevel(3);
    ASSERT_EQ(FISH.d1, 1);
    EXPECT_EQ(FISH.at(0).x, 80.0);
    EXPECT_EQ(FISH.at(0).y, 32.0);
    EXPECT_EQ(MAP.at(5, 2), 25);
}

// What the editor shows is what the level plays: every fish cell painted is
// named by one parameter, and no parameter names anything else.
void expectFishMatchParameters() {
    std::vector<int32_t> fishCells, named;
    for (int32_t y = 0; y < kEditorRows; ++y) {
        for (int32_t x = 0; x < kEditorColumns; ++x) {
            if (MAP.at(x, y) == 35 || MAP.at(x, y) == 38) fishCells.push_back(x + 15 * y);
        }
    }
    for (int32_t i = 0; i < 10; ++i) {
        if (LEVEL_PARAM.at(i) != 0) named.push_back(LEVEL_PARAM.at(i));
    }
    std::sort(named.begin(), named.end());
    EXPECT_EQ(named, fishCells);
}

// Ten fish are all a level holds: an eleventh is refused and does not
// paint. Before, it painted a fish that the game never made.
TEST_F(Editor, AnEleventhFishIsRefusedAndDoesNotPaint) {
    click(8, 12);  // tile 38, the fish heading down
    ASSERT_EQ(e.tile, 38);
    for (int32_t column = 1; column <= 11; ++column) click(column, 4);
    for (int32_t column = 1; column <= 10; ++column) EXPECT_EQ(MAP.at(column, 4), 38) << column;
    EXPECT_EQ(MAP.at(11, 4), 0) << "the eleventh fish is refused";
    for (int32_t i = 0; i < 10; ++i) EXPECT_EQ(LEVEL_PARAM.at(i), 4 * 15 + 1 + i) << i;
    expectFishMatchParameters();
}

// A level has one diver: a second is refused and does not paint, as the
// eleventh fish is. Before, two divers shared every step, and the creatures
// and the crabs' claims turned on whichever moved last.
TEST_F(Editor, ASecondDiverIsRefusedAndDoesNotPaint) {
    click(13, 13);  // CLR LEVEL: no diver left
    click(2, 12);   // tile 32, the diver
    ASSERT_EQ(e.tile, 32);
    const int32_t before = MAP.at(9, 6);
    click(3, 4);
    click(9, 6);
    EXPECT_EQ(MAP.at(3, 4), 32);
    EXPECT_EQ(MAP.at(9, 6), before) << "the second diver is refused";
    click(3, 4);  // painting the diver's own cell again is no second diver
    EXPECT_EQ(MAP.at(3, 4), 32);
}

// Dragging a fish tile records every cell it paints. Before, the 10-frame
// cool-down recorded one cell of a drag and painted the rest.
TEST_F(Editor, DraggingAFishTileRecordsEveryCell) {
    click(5, 12);  // tile 35
    moveTo(3, 5);
    press();
    for (int32_t column = 4; column <= 7; ++column) moveTo(column, 5);
    frame();  // a frame paints the cell the mouse was on in the frame before
    release();
    for (int32_t column = 3; column <= 7; ++column) EXPECT_EQ(MAP.at(column, 5), 35) << column;
    for (int32_t i = 0; i < 5; ++i) EXPECT_EQ(LEVEL_PARAM.at(i), 5 * 15 + 3 + i) << i;
    expectFishMatchParameters();
}

// Painting over a fish frees its parameter. Before, the parameter stayed:
// after ten place-and-erase rounds the next fish was not recorded.
TEST_F(Editor, PaintingOverAFishFreesItsParameter) {
    for (int round = 0; round < 10; ++round) {
        click(5, 12);  // tile 35
        click(6, 6);
        click(0, 10);  // water
        click(6, 6);
    }
    for (int32_t i = 0; i < 10; ++i) EXPECT_EQ(LEVEL_PARAM.at(i), 0) << i;
    click(5, 12);
    click(7, 7);
    EXPECT_EQ(MAP.at(7, 7), 35);
    EXPECT_EQ(LEVEL_PARAM.at(0), 7 * 15 + 7);
    click(8, 12);  // a fish over a fish keeps its parameter
    click(7, 7);
    EXPECT_EQ(MAP.at(7, 7), 38);
    EXPECT_EQ(LEVEL_PARAM.at(0), 7 * 15 + 7);
    expectFishMatchParameters();
}

// After CLR LEVEL the fish are recorded from the first parameter. Before,
// the search began at PARAM_INDEX, which the clear keeps: after ten fish no
// fish could be recorded any more.
TEST_F(Editor, AfterClearLevelFishAreRecordedAgain) {
    click(5, 12);
    for (int32_t column = 1; column <= 10; ++column) {
        idle(12);  // (the cool-down that recording once needed)
        click(column, 4);
    }
    ASSERT_EQ(LEVEL_PARAM.at(9), 4 * 15 + 10);
    click(MenuClear, 13);
    idle(12);
    click(2, 3);
    EXPECT_EQ(MAP.at(2, 3), 35);
    EXPECT_EQ(LEVEL_PARAM.at(0), 3 * 15 + 2);
    expectFishMatchParameters();
}

TEST_F(Editor, ALoadedLevelKeepsItsFishWhenAnotherIsPlaced) {
    std::vector<int32_t> cells = simpleCells();
    cells[6 * 15 + 4] = 35;
    writeLevel(3, levelBytes(cells, {6 * 15 + 4}));
    StartLevelEditor(e);
    idle(20);
    click(5, 12);
    idle(12);
    click(7, 7);
    EXPECT_EQ(LEVEL_PARAM.at(0), 6 * 15 + 4);
    EXPECT_EQ(LEVEL_PARAM.at(1), 7 * 15 + 7);
}

TEST_F(Editor, PaletteAndMapTakeClicksOnlyOnTheirCells) {
    click(3, 13);
    EXPECT_EQ(e.tile, 48) << "the last tile that can be chosen";
    click(14, 13);  // the cursor's frame: shown, not chosen
    EXPECT_EQ(e.tile, 48);
    click(16, 11);  // right of the palette
    EXPECT_EQ(e.tile, 48);
    click(18, 4);  // right of the map
    EXPECT_EQ(MAP.at(18, 4), 1);
    // The window's far corner lies outside the picture; the cell stays on the grids.
    x = kEditorWindowWidth - 1;
    y = kEditorWindowHeight - 1;
    testsupport::injectMouseMove(x, y);
    frame();
    press();
    release();
    EXPECT_EQ(e.column, 22);
    EXPECT_EQ(e.row, 20);
    EXPECT_EQ(e.tile, 48);
}

// The codes the diver and the creatures write while they play (22, 24 to
// 31) are no tiles of a level: neither the palette nor the right button
// chooses them.
TEST_F(Editor, TheCodesTheFamiliesWriteInPlayCannotBeChosen) {
    click(3, 12);  // tile 33, the gem
    ASSERT_EQ(e.tile, 33);
    for (int32_t code : {22, 24, 25, 26, 27, 28, 29, 30, 31}) {
        click(code % 15, 10 + code / 15);
        EXPECT_EQ(e.tile, 33) << "palette code " << code;
        MAP.at(2, 2) = code;
        click(2, 2, platform::MouseRight);
        EXPECT_EQ(e.tile, 33) << "map code " << code;
    }
    click(8, 11);  // tile 23, the kelp: still a tile
    EXPECT_EQ(e.tile, 23);
}

TEST_F(Editor, ClearLoadAndSwitchingToALevelWithoutAFileWithinZeroTo99) {
    LEVEL_PARAM.at(4) = 77;
    PARAM_INDEX = 5;
    click(MenuClear, 13);  // no cool-down needed
    EXPECT_EQ(MAP.at(2, 2), 1);
    EXPECT_EQ(LEVEL_PARAM.at(4), 0);
    EXPECT_EQ(PARAM_INDEX, 5) << "the clear keeps the count of fish cells";
    idle(20);
    click(MenuLoad, 13);
    EXPECT_EQ(MAP.at(2, 2), 32);
    idle(20);
    click(MenuNextLevel, 13);
    EXPECT_EQ(LEVEL, 4);
    EXPECT_EQ(MAP.at(2, 2), 1) << "no file for level 4: a cleared map";
    idle(10);
    click(MenuPreviousLevel, 13);
    EXPECT_EQ(LEVEL, 3);
    EXPECT_EQ(MAP.at(2, 2), 32);

    LEVEL = 99;
    StartLevelEditor(e);
    EXPECT_EQ(MAP.at(2, 2), 1);
    idle(20);
    click(6, 10);  // tile 6
    click(1, 1);
    idle(20);
    click(MenuNextLevel, 13);
    EXPECT_EQ(LEVEL, 99);
    EXPECT_EQ(MAP.at(1, 1), 6) << "nothing changes at the end of the range";

    LEVEL = 0;
    StartLevelEditor(e);
    idle(20);
    click(MenuPreviousLevel, 13);
    EXPECT_EQ(LEVEL, 0);
}

// A file that is not a whole level opens as a new, cleared level, as a
// missing one does, and saved it is a level again. Before, the load ended
// the program with the edits lost.
TEST_F(Editor, AFileThatIsNotAWholeLevelOpensAsANewLevel) {
    testsupport::writeFileBytes(file("Media/Data/shol4.dat"), simpleLevel().substr(0, 100));
    idle(20);
    click(MenuNextLevel, 13);
    ASSERT_EQ(LEVEL, 4);
    EXPECT_EQ(MAP.at(2, 2), 1);
    click(6, 10);  // tile 6
    click(2, 2);
    idle(20);
    click(MenuSave, 13);
    idle(20);
    click(MenuClear, 13);
    click(MenuLoad, 13);
    EXPECT_EQ(MAP.at(2, 2), 6);
    EXPECT_EQ(testsupport::readFileBytes(file("Media/Data/shol4.dat")).size(), 174u);
}

// When the level cannot be saved (here a folder holds its name) the edits
// stay and TEST does not run: the run would play the old file and the
// editor come back with it. Before, the edits were lost that way.
TEST_F(Editor, TestDoesNotRunWhenTheLevelCannotBeSaved) {
    ASSERT_EQ(::mkdir(file("Media/Data/shol5.dat").c_str(), 0755), 0);
    testsupport::writeFileBytes(file("Media/Data/shol5.dat/inside"), "x");
    LEVEL = 5;
    StartLevelEditor(e);
    idle(20);
    click(6, 10);  // tile 6
    click(1, 1);
    moveTo(MenuTest, 13);
    press();
    EXPECT_EQ(e.next, S::None);
    EXPECT_EQ(PLAY_MODE, 0);
    EXPECT_EQ(MAP.at(1, 1), 6);
    release();
}

TEST_F(Editor, TheStatusLinesNameTheMouseCellItsMapValueTheLevelAndTheSizes) {
    moveTo(3, 4);
    RtArray<int> shown;
    SpriteToPixels(kSpriteMapPicture, shown);
    // The same lines printed on a cleared surface.
    SelectScreen(kScreenMapPicture);
    FillRect(0, 0, 320, 320, 0);
    PrintText(RtString("X=3 Y=4  MAP[0]"), 0, 240, 0);
    PrintText(RtString("LEVEL=3"), 175, 240, 0);
    PrintText(RtString("SIZE_X=14  SIZE_Y=9"), 0, 250, 0);
    PrintText(RtString("SCROLLX=0  SCROLLY=0"), 0, 260, 0);
    SelectScreen(kScreenWindow);
    RtArray<int> expected;
    SpriteToPixels(kSpriteMapPicture, expected);
    ASSERT_EQ(shown.total, 320 * 320);
    ASSERT_EQ(expected.total, shown.total);
    int32_t differing = 0, lettering = 0;
    for (int32_t i = 236 * 320; i < 272 * 320; ++i) {
        differing += shown.at(i) != expected.at(i);
        lettering += expected.at(i) != expected.at(0);
    }
    EXPECT_GT(lettering, 200);
    EXPECT_EQ(differing, 0);
}

TEST_F(Editor, TheLevelPictureComesWithALevelSwitchOnlyAndAMissingOneLeavesItEmpty) {
    // Pictures are named by the level alone, in the working folder (the media
    // folder). The build's own pictures, linked in, make way for these.
    for (int32_t level : {3, 4, 5}) ::unlink(file("Media/" + std::to_string(level) + ".png").c_str());
    for (int32_t level : {3, 4}) {
        makeFlatSprite(4000, 16 * level, 16, 0xFF2040C0u);
        SaveSpriteToFile(RtString(file("Media/" + std::to_string(level) + ".png").c_str()), 4000);
    }
    auto pictureWidth = [] {
        RtArray<int> pixels;
        SpriteToPixels(kLevelPictureSprite, pixels);
        return pixels.total / 16;
    };
    StartLevelEditor(e);
    idle(20);
    EXPECT_EQ(pictureWidth(), 0) << "not loaded on entry";
    click(MenuNextLevel, 13);
    EXPECT_EQ(pictureWidth(), 64) << "4.png under level 4";
    idle(10);
    click(MenuNextLevel, 13);
    EXPECT_EQ(LEVEL, 5);
    EXPECT_EQ(pictureWidth(), 0) << "no 5.png";
    idle(10);
    click(MenuPreviousLevel, 13);
    idle(10);
    click(MenuPreviousLevel, 13);
    EXPECT_EQ(pictureWidth(), 48) << "3.png under level 3";
}

// The build draws a picture of each of the 31 levels where the editor looks
// for it: every level switch shows one, 16 pixels a side per cell of the
// 15 x 10 map, and the error log names no picture that failed. Before, no
// level had a picture and every switch logged "Image failed".
TEST_F(Editor, EveryLevelSwitchFindsTheBuildsPictureOfTheLevel) {
    LEVEL = 29;
    StartLevelEditor(e);
    idle(20);
    auto pictureSize = [] {
        RtArray<int> pixels;
        SpriteToPixels(kLevelPictureSprite, pixels);
        return pixels.total;
    };
    click(MenuNextLevel, 13);
    ASSERT_EQ(LEVEL, 30);
    EXPECT_EQ(pictureSize(), 240 * 160) << "30.png";
    for (int32_t level = 29; level >= 0; --level) {
        idle(10);
        click(MenuPreviousLevel, 13);
        ASSERT_EQ(LEVEL, level);
        EXPECT_EQ(pictureSize(), 240 * 160) << level << ".png";
    }
    const std::string log = testsupport::readFileBytes(file("ErrorLog.txt"));
    EXPECT_NE(log.find("Init Finalized\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("Image failed"), std::string::npos) << log;
}

TEST_F(Editor, OpensInALargerWindowAndEscapeLeavesForTheTitleMenuAtTheNormalSize) {
    int w = 0, h = 0;
    GetScreenSizeInt(w, h);
    EXPECT_EQ(w * 1000 + h, 720672);
    EXPECT_EQ(MAP.at(2, 2), 32) << "PLAY_MODE 0: the raw codes stay in the map";
    EXPECT_EQ(PLAYERS.d1, 0);
    testsupport::injectKey(keys::Escape, true);
    int frames = 0;
    while (!e.leave && frames < 40) {
        frame();
        ++frames;
    }
    EXPECT_EQ(frames, 21) << "Escape waits for the entry cool-down";
    EXPECT_EQ(LeaveLevelEditor(), S::Title);
    GetScreenSizeInt(w, h);
    EXPECT_EQ(w * 1000 + h, 640480);
}

TEST_F(Editor, TestPlaysTheSavedLevelAndTheEditorComesBack) {
    idle(20);
    click(6, 10);  // tile 6
    click(4, 4);
    moveTo(MenuTest, 13);
    press();
    ASSERT_EQ(e.next, S::Game) << "the palette cell (4, 13) chooses no tile and runs TEST";
    EXPECT_EQ(e.tile, 6);
    EXPECT_EQ(PLAY_MODE, 2);
    std::vector<int32_t> cells = simpleCells();
    cells[4 * 15 + 4] = 6;
    EXPECT_EQ(testsupport::readFileBytes(file("Media/Data/shol3.dat")), levelBytes(cells));
    testsupport::injectMouseButton(1, false, x, y);

    // The game leaves through its quit box; Escape, pressed on its last
    // frame, then takes the new editor back to the title menu.
    device.pilot[S::Game] = {"b2=1", "b1=1"};
    device.onFrame = [&](const Snapshot& s) {
        if (s.screen == S::Game && s.cooldown == 0 && device.pilot[S::Game].empty()) {
            testsupport::injectKey(keys::Escape, true);
        }
        if (s.screen == S::Title) testsupport::injectKey(keys::Escape, false);
    };
    device.pilot[S::Title] = {"b2=1"};
    runScreensFrom(S::Game);
    EXPECT_EQ(screensStarted, (std::vector<S>{S::Game, S::Editor, S::Title}));
    bool testedLevel3 = false;
    for (const Snapshot& s : device.trace) {
        if (s.screen == S::Game) testedLevel3 = s.level == 3 && s.playMode == 2;
    }
    EXPECT_TRUE(testedLevel3);
    EXPECT_EQ(MAP.at(4, 4), 6) << "the new editor loaded the level that TEST saved";
}

// The editor's level is not the player's progress: leaving restores the
// level reached, and the options screen then saves that one. Before, INC
// LEVEL's number became the progress at the next save.
TEST_F(Editor, TheLevelEditedIsNotSavedAsTheProgress) {
    testsupport::writeFileBytes(configPath(), "3\r\n0\r\n0\r\n0.5\r\n");
    idle(20);
    click(MenuNextLevel, 13);
    ASSERT_EQ(LEVEL, 4);
    EXPECT_EQ(LeaveLevelEditor(), S::Title);
    EXPECT_EQ(LEVEL, 3) << "the level reached is back";
    device.pilot[S::Options] = {"Down=1000", "Down=1000", "Down=1000", "b1=1"};
    device.pilot[S::Title] = {"b2=1"};
    runScreensFrom(S::Options);
    EXPECT_EQ(testsupport::readFileBytes(configPath()), "3\r\n0\r\n0\r\n0.5\r\n");
}

// A test run of the last level that reaches the ending writes no progress.
// Before, the ending saved level 0 over the player's progress.
TEST_F(Editor, TheEndingOfATestRunLeavesTheProgressAlone) {
    testsupport::writeFileBytes(configPath(), "3\r\n0\r\n0\r\n0.5\r\n");
    idle(20);
    LEVEL = 30;  // as INC LEVEL leaves it
    moveTo(MenuTest, 13);
    press();
    ASSERT_EQ(e.next, S::Game);
    testsupport::injectMouseButton(1, false, x, y);
    device.onFrame = [&](const Snapshot& s) {
        if (s.screen == S::Game) GAME_WON = 1;
    };
    device.pilot[S::Title] = {"b2=1"};
    runScreensFrom(S::Game);
    EXPECT_EQ(screensStarted, (std::vector<S>{S::Game, S::Ending, S::Title}));
    EXPECT_EQ(testsupport::readFileBytes(configPath()), "3\r\n0\r\n0\r\n0.5\r\n");
    EXPECT_EQ(LEVEL, 3) << "the title menu has the level reached back";
}

TEST_F(Editor, FunctionKeyTwoOnTheTitleMenuOpensTheEditor) {
    LeaveLevelEditor();
    LEVEL = 2;
    device.onFrame = [&](const Snapshot& s) {
        if (s.screen != S::Title) return;
        if (screensStarted.size() == 1 && s.cooldown == 0) {
            testsupport::injectKey(keys::F2, true);      // taken in the next frame
            testsupport::injectKey(keys::Escape, true);  // leaves the editor after its cool-down
        }
        if (screensStarted.size() == 3) {
            testsupport::injectKey(keys::F2, false);
            testsupport::injectKey(keys::Escape, false);
        }
    };
    device.pilot[S::Title] = {"", "", "b2=1"};
    runScreensFrom(S::Title);
    EXPECT_EQ(screensStarted, (std::vector<S>{S::Title, S::Editor, S::Title}));
    EXPECT_EQ(LEVEL, 2) << "the editor opened at the current level";
}

}  // namespace
}  // namespace screenstest
