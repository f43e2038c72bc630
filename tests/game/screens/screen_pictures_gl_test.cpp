// The screens on a real window: the play surface inside the overscan
// margins, the level card's picture, Escape on the card, the program's
// orderly end after "EXIT", its end naming what a missing Media folder took
// away, and its end with the code of a fatal error in play.
#include <cstdio>
#include <deque>
#include <unistd.h>

#include "child_process.h"
#include "engine_harness.h"
#include "file_bytes.h"
#include "game/screens/game_helpers.h"
#include "game/screens/game_main.h"
#include "game/screens/game_texts.h"
#include "game/screens/project_settings.h"
#include "game/screens/screen_frame.h"
#include "game/screens/screens.h"
#include "game/world/font_text.h"
#include "game/world/game_sprites.h"
#include "game/world/game_state.h"
#include "game/world/water_background.h"
#include "game_window.h"
#include "gfx2d/gfx2d_commands.h"
#include "platform/key_codes.h"
#include "shell/program_entry.h"

namespace screenstest {
namespace {

constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kWater = 0xFF604020u;  // the tests' flat water picture
constexpr uint32_t kWhitePixel = 0xFFFFFFFFu;

class ScreenPictures : public GameWindow {
protected:
    void SetUp() override {
        GameWindow::SetUp();
        makeFlatSprite(kSpriteWater, 336, 272, kWater);
    }
};

TEST_F(ScreenPictures, TheMarginsShowBlackAroundThePlaySurface) {
    OVERSCAN_H = 0;
    OVERSCAN_V = 0;
    beginScreenFrame();
    presentScreenFrame();
    EXPECT_EQ(px(0, 0), kWater) << "without margins the surface fills the window";
    EXPECT_EQ(px(639, 479), kWater);
    // Wider margins over that same picture: the margins turn black.
    OVERSCAN_H = 50;
    OVERSCAN_V = 50;
    beginScreenFrame();
    presentScreenFrame();
    EXPECT_EQ(px(49, 100), kBlack);
    EXPECT_EQ(px(50, 100), kWater);
    EXPECT_EQ(px(100, 49), kBlack);
    EXPECT_EQ(px(100, 50), kWater);
    EXPECT_EQ(px(589, 429), kWater);
    EXPECT_EQ(px(590, 429), kBlack);
    EXPECT_EQ(px(589, 430), kBlack);
}

TEST_F(ScreenPictures, TheCardShowsTheDepthTheRuleAndTheTitleThenLoadsTheLevel) {
    writeLevel(7, simpleLevel());
    ShowLevelIntro(7);
    RtArray<int> shown;
    SpriteToPixels(kSpritePlaySurface, shown);
    ASSERT_EQ(shown.total, kPlayWidth * kPlayHeight);
    EXPECT_EQ(static_cast<uint32_t>(shown.at(72 * kPlayWidth + 40)), kWhitePixel) << "the rule";
    int32_t lettering = 0;
    for (int32_t y = 60; y < 92; ++y) {
        for (int32_t x = 10; x < 120; ++x) lettering += static_cast<uint32_t>(shown.at(y * kPlayWidth + x)) != kWater;
    }
    EXPECT_GT(lettering, 100);
    // The same picture drawn from the expected texts.
    SelectScreen(kScreenPlay);
    DrawWaterBackground();
    DrawFontText(10, 60, RtString("DEPTH 7m"));
    DrawLine(10, 72, 80, 72, kWhite);
    DrawFontText(10, 80, RtString(kLevelTitles[7]));
    SelectScreen(kScreenWindow);
    RtArray<int> expected;
    SpriteToPixels(kSpritePlaySurface, expected);
    ASSERT_EQ(expected.total, shown.total);
    int32_t differing = 0;
    for (int32_t i = 0; i < shown.total; ++i) differing += shown.at(i) != expected.at(i);
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(PLAYERS.d1, 1) << "the card loaded level 7";
}

TEST_F(ScreenPictures, TheScreenshotIsTheWindowFullyOpaque) {
    SelectScreen(kScreenWindow);
    SetAlphaMode(0);
    FillRect(0, 0, 640, 480, 0x3020A0);
    SaveScreenshot(RtString(file("shot.png").c_str()));
    const int32_t used = static_cast<int32_t>(SCREENSHOT_SPRITE);
    RtArray<int> kept;
    SpriteToPixels(used, kept);
    EXPECT_EQ(kept.total, 8 * 8) << "only a small grab stays in the sprite";
    LoadSpriteFile(RtString(file("shot.png").c_str()), 4000);
    RtArray<int> saved;
    SpriteToPixels(4000, saved);
    ASSERT_EQ(saved.total, 640 * 480);
    EXPECT_EQ(static_cast<uint32_t>(saved.at(0)), 0xFF3020A0u);
    EXPECT_EQ(static_cast<uint32_t>(saved.at(640 * 480 - 1)), 0xFF3020A0u);
}

// The private folder for the tests that start the program in a child.
class ProgramEnd : public ScreenTest {};

TEST_F(ProgramEnd, EscapeOnTheCardEndsTheProgramInOrder) {
    const testsupport::ChildResult r = testsupport::runInChild([&] {
        if (!startGameEngine(dir.path())) std::_Exit(50);
        PrepareGame();
        testsupport::injectKey(keys::Escape, true);
        ShowLevelIntro(3);
        std::_Exit(51);  // the card returned: Escape was not taken
    });
    ASSERT_TRUE(r.exited) << r.err;
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    const std::string log = testsupport::readFileBytes(file("ErrorLog.txt"));
    EXPECT_NE(log.find("Init Finalized\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Shut down VNT\n"), std::string::npos) << log;
}

TEST_F(ProgramEnd, ExitEndsTheProgramWithStatusZeroAndTheShutdownLines) {
    const testsupport::ChildResult r = testsupport::runInChild([&] {
        // The engine is started here first, so that the program's own start
        // finds it made and keeps this folder as its working directory.
        if (!startGameEngine(dir.path())) std::_Exit(50);
        device.pilot[GameScreen::Title] = {"Down=1000", "Down=1000", "Down=1000", "b1=1"};
        char name[] = "shoalrunner";
        char* argv[] = {name, nullptr};
        runProgram(1, argv, shoalrunnerProjectHooks);
    });
    ASSERT_TRUE(r.exited) << r.err;
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    // The folder line has no line end of its own: the music request's debug
    // line follows on it.
    EXPECT_EQ(r.out.rfind("GETCURRENTDIR$(): " + dir.path() + "/[VNT]->", 0), 0u) << r.out;
    const std::string log = testsupport::readFileBytes(file("ErrorLog.txt"));
    EXPECT_EQ(log.rfind("Start new log...\n", 0), 0u) << log;
    // After the start only the media folder and the pictures this folder
    // lacks are named, with their count (also told on standard error), then
    // the shutdown.
    const std::string media = "Init Finalized\nMedia folder: " + dir.path() + "/Media/\nImage failed: ";
    EXPECT_NE(log.find(media), std::string::npos) << log;
    const std::string tail =
        ".png\nPictures failed: 35 of 35 pictures did not load from " + dir.path() + "/Media/\nShut down VNT\n";
    ASSERT_GE(log.size(), tail.size());
    EXPECT_EQ(log.substr(log.size() - tail.size()), tail) << log;
}

// How often `part` occurs in `text`.
size_t occurrences(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

// The game run from the title menu in a child: `titleStates` steer the menu
// (its last one should be EXIT, "b2").
testsupport::ChildResult runGameFromTitle(ScreenDriver& device, const std::string& folder,
                                          const std::deque<std::string>& titleStates) {
    return testsupport::runInChild([&] {
        if (!startGameEngine(folder)) std::_Exit(50);
        device.pilot[GameScreen::Title] = titleStates;
        char name[] = "shoalrunner";
        char* argv[] = {name, nullptr};
        runProgram(1, argv, shoalrunnerProjectHooks);
    });
}

// Without the media folder NEW GAME finds no level 0: the game goes back to
// the title menu, the error log naming the level's file, and EXIT ends the
// program in order. Standard error has one line for the pictures, naming
// the Media folder looked for, and one for the level, each pointing to the
// error log. Before, standard error said nothing and the window was bare.
TEST_F(ProgramEnd, WithoutTheMediaFolderTheLogNamesEveryMissingPictureAndTheMissingLevel) {
    ASSERT_EQ(::rename(file("Media").c_str(), file("Media.away").c_str()), 0);
    const testsupport::ChildResult r = runGameFromTitle(device, dir.path(), {"b1=1", "b2=1"});  // NEW GAME, EXIT
    ASSERT_TRUE(r.exited) << r.err;
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    const std::string log = testsupport::readFileBytes(file("ErrorLog.txt"));
    EXPECT_NE(log.find("Media folder: " + dir.path() + "/\n"), std::string::npos) << log;
    for (const char* picture : {"tiles.png", "title.png", "photo.png"}) {
        EXPECT_NE(log.find("Image failed: " + dir.path() + "/" + picture + "\n"), std::string::npos) << picture;
    }
    const std::string missing = "RunGame: " + dir.path() + "/Data/shol0.dat is missing or not a whole level";
    EXPECT_NE(log.find(missing + "\nShut down VNT\n"), std::string::npos) << log;
    const std::string logNamed = " (error log: " + file("ErrorLog.txt") + ")\n";
    const std::string pictures =
        "Media folder not found: looked for " + dir.path() + "/Media/; 35 of 35 pictures did not load";
    EXPECT_NE(r.err.find(pictures + logNamed), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(missing + logNamed), std::string::npos) << r.err;
    EXPECT_EQ(occurrences(r.err, "Media folder not found"), 1u) << r.err;
    EXPECT_EQ(occurrences(r.err, "Image failed"), 0u) << "each picture is named in the log only";
    EXPECT_NE(log.find(pictures + "\n"), std::string::npos) << log;
}

// With the Media folder and every picture, standard error stays quiet; a
// picture of the title that cannot be decoded is counted in one line that
// names the Media folder, and the log names the file.
TEST_F(ProgramEnd, APictureThatDoesNotLoadIsToldOnStandardErrorOnce) {
    linkRealMedia();
    const testsupport::ChildResult whole = runGameFromTitle(device, dir.path(), {"b2=1"});
    ASSERT_TRUE(whole.exited) << whole.err;
    EXPECT_EQ(whole.exitStatus, 0) << whole.err;
    EXPECT_EQ(occurrences(whole.err, "pictures did not load"), 0u) << whole.err;

    ASSERT_EQ(::unlink(file("Media/title.png").c_str()), 0);
    testsupport::writeFileBytes(file("Media/title.png"), "\x89PNG\r\n\x1a\n cut short");
    const testsupport::ChildResult r = runGameFromTitle(device, dir.path(), {"b2=1"});
    ASSERT_TRUE(r.exited) << r.err;
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    const std::string line = "Pictures failed: 1 of 35 pictures did not load from " + dir.path() +
                             "/Media/ (error log: " + file("ErrorLog.txt") + ")\n";
    EXPECT_NE(r.err.find(line), std::string::npos) << r.err;
    EXPECT_EQ(occurrences(r.err, "pictures did not load"), 1u) << r.err;
    const std::string log = testsupport::readFileBytes(file("ErrorLog.txt"));
    EXPECT_NE(log.find("Image failed: " + dir.path() + "/Media/title.png\n"), std::string::npos) << log;
}

// A damaged level is not started, and standard error names its file. Before,
// only the error log did.
TEST_F(ProgramEnd, ALevelThatCannotBeStartedIsNamedOnStandardError) {
    linkRealMedia();
    writeLevel(0, simpleLevel().substr(0, 100));
    const testsupport::ChildResult r = runGameFromTitle(device, dir.path(), {"b1=1", "b2=1"});
    ASSERT_TRUE(r.exited) << r.err;
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    const std::string line = "RunGame: " + dir.path() + "/Media/Data/shol0.dat is missing or not a whole level";
    EXPECT_NE(r.err.find(line + " (error log: " + file("ErrorLog.txt") + ")\n"), std::string::npos) << r.err;
    EXPECT_EQ(occurrences(r.err, "RunGame: "), 1u) << r.err;
    EXPECT_EQ(occurrences(r.err, "pictures did not load"), 0u) << r.err;
}

// A fatal error in play ends the program with its code, the error's text
// naming the file on standard error and in the error log before the
// shutdown's line: the file of level 3 is cut short while the level is
// played, and "b3" restarts the level from it.
TEST_F(ProgramEnd, AFatalErrorInPlayEndsTheProgramWithItsCode) {
    testsupport::writeFileBytes(configPath(), "3\r\n0\r\n0\r\n0.5\r\n");
    const testsupport::ChildResult r = testsupport::runInChild([&] {
        if (!startGameEngine(dir.path())) std::_Exit(50);
        device.pilot[GameScreen::Title] = {"Down=1000", "b1=1"};  // CONTINUE
        device.pilot[GameScreen::Game] = {"b3=1"};
        device.onFrame = [&](const Snapshot& s) {
            if (s.screen == GameScreen::Game) writeLevel(3, simpleLevel().substr(0, 171));
        };
        char name[] = "shoalrunner";
        char* argv[] = {name, nullptr};
        runProgram(1, argv, shoalrunnerProjectHooks);
    });
    ASSERT_TRUE(r.exited) << r.err;
    EXPECT_EQ(r.exitStatus, 3) << r.err;
    const std::string fatal = "0003 no such file: " + dir.path() + "/Media/Data/shol3.dat\n";
    EXPECT_NE(r.err.find(fatal), std::string::npos) << r.err;
    const std::string log = testsupport::readFileBytes(file("ErrorLog.txt"));
    const std::string tail = fatal + "Shut down VNT\n";
    ASSERT_GE(log.size(), tail.size());
    EXPECT_EQ(log.substr(log.size() - tail.size()), tail) << log;
    EXPECT_LT(log.find("Init Finalized\n"), log.size() - tail.size()) << log;
}

}  // namespace
}  // namespace screenstest

