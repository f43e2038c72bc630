// The screens as the program runs them, without a window: the splash, the
// title menu's rows and cool-downs, the options screen and the progress
// file it writes, the ways into and out of the game, the ending, and the
// dispatcher keeping the stack where it was.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "child_process.h"
#include "file_bytes.h"
#include "game/screens/game_main.h"
#include "game/screens/screens.h"
#include "game/world/game_state.h"
#include "platform/system_info.h"
#include "runtime/files/error_log.h"
#include "screen_run.h"

namespace screenstest {
namespace {

using S = GameScreen;

class ScreenFlow : public ScreenTest {};

const char* const kDown = "Down=1000";

TEST_F(ScreenFlow, TheSplashIgnoresButtonOneForFortyFramesAndTheTitleFollowsTheFrameAfter) {
    device.addFrames(45, "b1=1");  // seen from the splash's second frame on
    device.pilot[S::Title] = {"b2=1"};
    GameMain();
    ASSERT_GE(device.trace.size(), 42u);
    // Update n ends frame n + 1 of the run; the splash acts on frame 41.
    EXPECT_EQ(device.trace[39].screen, S::Splash);
    EXPECT_EQ(device.trace[40].screen, S::Splash) << "the frame that saw the press still ends on the splash";
    EXPECT_EQ(device.trace[41].screen, S::Title);
    EXPECT_EQ(screensStarted, (std::vector<S>{S::Splash, S::Title}));
}

TEST_F(ScreenFlow, HoldingDownMovesTheCursorEveryTwentyFramesAndStopsAtExit) {
    device.addFrames(40, "b1=1");    // the splash leaves on its frame 41
    device.addFrames(100, kDown);    // title frames 1 to 100
    device.addFrames(1, "b1=1");     // frame 101: the row under the cursor, EXIT
    GameMain();
    auto title = [&](int t) { return device.trace.at(40 + t); };  // title frame t's Update
    ASSERT_EQ(device.trace.size(), 142u) << "EXIT ends the run after title frame 101";
    EXPECT_EQ(title(40).playerY, 75);
    EXPECT_EQ(title(40).cooldown, 0);
    EXPECT_EQ(title(41).playerY, 95);
    EXPECT_EQ(title(41).cooldown, 19);
    EXPECT_EQ(title(60).playerY, 95);
    EXPECT_EQ(title(61).playerY, 115);
    EXPECT_EQ(title(81).playerY, 135);
    EXPECT_EQ(title(100).playerY, 135) << "stops at EXIT";
    EXPECT_EQ(title(100).cooldown, 0) << "the bottom row still started a cool-down at frame 81";
    EXPECT_EQ(title(101).screen, S::Title);
}

TEST_F(ScreenFlow, TheTitleSharkSwimsLeftPast160TurnsAndTurnsAgainPast400) {
    device.addFrames(40, "b1=1");  // the splash leaves on its frame 41
    device.addFrames(1130, "");    // title frames 1 to 1130
    device.addFrames(1, "b2=1");   // frame 1131: EXIT
    std::vector<std::pair<int32_t, int32_t>> shark;  // x and direction at the end of each title frame
    device.onFrame = [&](const Snapshot& s) {
        if (s.screen == S::Title) shark.emplace_back(SHARK_X, TITLE_SHARK_DIR);
    };
    GameMain();
    using P = std::pair<int32_t, int32_t>;
    ASSERT_EQ(shark.size(), 1131u);
    EXPECT_EQ(shark[0], P(399, 0));
    EXPECT_EQ(shark[559], P(-160, 0));
    EXPECT_EQ(shark[560], P(-161, 1)) << "frame 561 turns it";
    EXPECT_EQ(shark[561], P(-160, 1));
    EXPECT_EQ(shark[1121], P(400, 1));
    EXPECT_EQ(shark[1122], P(401, 0)) << "frame 1123 turns it back";
    EXPECT_EQ(shark[1123], P(400, 0));
}

TEST_F(ScreenFlow, ButtonsOneAndTwoInOneFrameChooseTheRowUnderTheCursor) {
    device.pilot[S::Title] = {kDown, kDown, "b1=1;b2=1", "b2=1"};
    device.pilot[S::Options] = {kDown, kDown, kDown, "b1=1"};
    GameMain();
    EXPECT_EQ(screensStarted, (std::vector<S>{S::Splash, S::Title, S::Options, S::Title}));
}

TEST_F(ScreenFlow, TheOptionsScreenWritesTheExactProgressFile) {
    device.pilot[S::Title] = {kDown, kDown, "b1=1", "b2=1"};
    device.pilot[S::Options] = {"Left=1000", "Left=1000", "Left=1000", kDown, kDown, "Right=1000", "Right=1000",
                                kDown,       "Left=1000", "b1=1"};
    GameMain();
    EXPECT_EQ(testsupport::visible(testsupport::readFileBytes(configPath())),
              testsupport::visible("0\r\n3\r\n0\r\n0.7\r\n"));
    std::vector<std::string> volumes;
    for (const std::string& r : requests()) {
        if (r.rfind("setMusicVolume:", 0) == 0) volumes.push_back(r);
    }
    EXPECT_EQ(volumes, (std::vector<std::string>{"setMusicVolume:0.6", "setMusicVolume:0.7"}));
    // Left on "Main Menu" changed nothing but started a five-frame cool-down.
    bool sawMenuCooldown = false;
    for (const Snapshot& s : device.trace) {
        if (s.screen == S::Options && s.playerY == 105 && s.cooldown == 4) sawMenuCooldown = true;
    }
    EXPECT_TRUE(sawMenuCooldown);
}

// Leaving by "b2" (Escape, the help page's BACK) saves as "Main Menu" does.
// Before, "b2" did nothing on the options screen.
TEST_F(ScreenFlow, MarginsStopAtFiftyAndZeroAndEveryLeavingSavesEvenWithoutAChange) {
    auto& options = device.pilot[S::Options];
    auto push = [&](int n, const char* state) {
        for (int i = 0; i < n; ++i) options.push_back(state);
    };
    push(1, "b1=1");  // on "Overscan H": nothing
    push(55, "Left=1000");
    push(3, kDown);
    push(1, "b1=1");
    push(55, "Right=1000");
    push(3, kDown);
    push(1, "b1=1");
    push(1, "b2=1");  // a third visit changes nothing and leaves by "b2", as the help page's BACK
    device.pilot[S::Title] = {kDown, kDown, "b1=1", kDown, kDown, "b1=1", kDown, kDown, "b1=1", "b2=1"};
    std::vector<std::string> saved;  // the file as each visit left it
    GameScreen last = S::None;
    int32_t widest = 0;
    device.onFrame = [&](const Snapshot& s) {
        if (s.screen == S::Title && last == S::Options) {
            saved.push_back(testsupport::readFileBytes(configPath()));
            testsupport::writeFileBytes(configPath(), "");
        }
        if (s.screen == S::Options && s.overscanH > widest) widest = s.overscanH;
        last = s.screen;
    };
    GameMain();
    EXPECT_EQ(widest, 50);
    EXPECT_EQ(saved, (std::vector<std::string>{"0\r\n50\r\n0\r\n0.5\r\n", "0\r\n0\r\n0\r\n0.5\r\n",
                                               "0\r\n0\r\n0\r\n0.5\r\n"}));
}

// The options screen visited after a NEW GAME left at level 0 keeps the
// level reached in the file. Before, it saved level 0 over it.
TEST_F(ScreenFlow, NewGameShowsTheCardThenPlaysLevelZeroAndTheQuitBoxLeadsBack) {
    testsupport::writeFileBytes(configPath(), "5\r\n0\r\n0\r\n0.5\r\n");
    int32_t playersAtStart = -1, gemsAtStart = -1;
    device.onFrame = [&](const Snapshot& s) {
        if (s.screen == S::Game && playersAtStart < 0) {
            playersAtStart = PLAYERS.d1;
            gemsAtStart = GEMS_LEFT;
        }
    };
    device.pilot[S::Title] = {"b1=1", kDown, kDown, "b1=1", "b2=1"};
    device.pilot[S::Game] = {"b2=1", "b1=1"};
    device.pilot[S::Options] = {"Left=1000", "b2=1"};
    GameMain();
    EXPECT_EQ(screenRuns(), (std::vector<S>{S::Splash, S::Title, S::Game, S::Title, S::Options, S::Title}));
    EXPECT_EQ(testsupport::readFileBytes(configPath()), "5\r\n1\r\n0\r\n0.5\r\n");
    EXPECT_EQ(playersAtStart, 1) << "the card loaded level 0 before the first game frame";
    EXPECT_EQ(gemsAtStart, 1);
    for (const Snapshot& s : device.trace) {
        if (s.screen != S::Game) continue;
        EXPECT_EQ(s.level, 0);
        EXPECT_EQ(s.playMode, 1);
    }
}

TEST_F(ScreenFlow, ContinueAndAWonGameShowTheEndingWhichSavesLevelZeroBeforeTheTitle) {
    testsupport::writeFileBytes(configPath(), "2\r\n0\r\n0\r\n0.5\r\n");
    int32_t levelPlayed = -1;
    device.onFrame = [&](const Snapshot& s) {
        if (s.screen != S::Game) return;
        levelPlayed = s.level;
        GAME_WON = 1;
    };
    device.pilot[S::Title] = {kDown, "b1=1", "b2=1"};
    GameMain();
    // The in-game loop asks for the ending and then for the title menu; the
    // first request counts, and the ending leads on to the title menu.
    EXPECT_EQ(levelPlayed, 2) << "CONTINUE starts at the level reached";
    EXPECT_EQ(screensStarted, (std::vector<S>{S::Splash, S::Title, S::Game, S::Ending, S::Title}));
    EXPECT_EQ(testsupport::readFileBytes(configPath()), "0\r\n0\r\n0\r\n0.5\r\n");
}

// A level whose file is missing or cut short is not played: CONTINUE to it,
// and the level after a completed one, lead back to the title menu with a
// line in the error log. Before, the load ended the program.
TEST_F(ScreenFlow, ALevelWithoutAWholeFileLeadsBackToTheTitleMenu) {
    testsupport::writeFileBytes(configPath(), "1\r\n0\r\n0\r\n0.5\r\n");
    writeLevel(2, simpleLevel().substr(0, 100));
    device.onFrame = [&](const Snapshot& s) {
        if (s.screen == S::Game) GEMS_LEFT = 0;  // level 1 completed
        if (s.screen == S::Title) GAME_WON = 1;  // as a won game leaves it: no ending follows
    };
    device.pilot[S::Title] = {kDown, "b1=1", kDown, "b1=1", "b2=1"};
    GameMain();
    EXPECT_EQ(screensStarted, (std::vector<S>{S::Splash, S::Title, S::Game, S::Title, S::Game, S::Title}));
    EXPECT_EQ(testsupport::readFileBytes(configPath()), "2\r\n0\r\n0\r\n0.5\r\n") << "level 1 counts as completed";
    EXPECT_NE(testsupport::readFileBytes(errorLogPath().data).find("Data/shol2.dat"), std::string::npos);
}

// Damaged lines of the progress file keep their defaults: the music starts
// at half volume and the options save the defaults back. Before, such lines
// read as 0: the music was silent and the save wrote a volume of 0.
TEST_F(ScreenFlow, DamagedLinesOfTheProgressFileKeepTheirDefaults) {
    testsupport::writeFileBytes(configPath(), std::string("4\r\nwide\r\n7\r\n\xFF\x00\r\n", 16));
    device.pilot[S::Title] = {kDown, kDown, "b1=1", "b2=1"};
    device.pilot[S::Options] = {"b2=1"};
    GameMain();
    std::vector<std::string> music;
    for (const std::string& r : requests()) {
        if (r.rfind("playMusic:", 0) == 0) music.push_back(r);
    }
    EXPECT_EQ(music, (std::vector<std::string>{"playMusic:" + dir.path() + "/Media/shoalrunner.ogg:0.5:1"}));
    EXPECT_EQ(testsupport::readFileBytes(configPath()), "4\r\n0\r\n7\r\n0.5\r\n");
}

TEST_F(ScreenFlow, TheCreditsReturnIntoTheTitleMenu) {
    // The credits' own frames ask for "Update" too: "b2" leaves them after
    // their 20 frames of cool-down, and the title takes the next "b2" once
    // the cool-down the credits left has run out.
    device.pilot[S::Title] = {"b3=1", "b2=1", "b2=1"};
    GameMain();
    EXPECT_EQ(screensStarted, (std::vector<S>{S::Splash, S::Title}));
    // Title frames 1 to 40, then 21 credits frames inside frame 41, then 20
    // frames of the cool-down the credits left before "b2" is taken.
    int64_t titleFrames = 0;
    for (const Snapshot& s : device.trace) titleFrames += s.screen == S::Title;
    EXPECT_EQ(titleFrames, 40 + 21 + 1 + 20);
}

TEST_F(ScreenFlow, ScreenChangesDoNotGrowTheStack) {
    constexpr int kTrips = 8;
    for (int i = 0; i < kTrips; ++i) {
        for (const char* state : {kDown, kDown, "b1=1"}) device.pilot[S::Title].push_back(state);
        for (const char* state : {kDown, kDown, kDown, "b1=1"}) device.pilot[S::Options].push_back(state);
    }
    device.pilot[S::Title].push_back("b1=1");  // a game, left through the quit box
    device.pilot[S::Game] = {"b2=1", "b1=1"};
    device.pilot[S::Title].push_back("b2=1");
    GameMain();
    ASSERT_EQ(screensStarted.size(), 2u + 2 * kTrips + 2);
    uintptr_t titleMark = 0;
    int titleFrames = 0;
    for (const Snapshot& s : device.trace) {
        if (s.screen != S::Title) continue;
        if (titleMark == 0) titleMark = s.stackMark;
        ASSERT_EQ(s.stackMark, titleMark) << "frame " << s.frame;
        ++titleFrames;
    }
    EXPECT_GT(titleFrames, kTrips * 80);
}

TEST_F(ScreenFlow, TheMainRoutinePreparesTheGameInOrder) {
    device.pilot[S::Title] = {"b2=1"};
    device.queueReply("getdevice:info", "model=M1;manufacture=Reef;device=d;product=p");
    GameMain();
    const std::string media = dir.path() + "/Media/";
    std::vector<std::string> expected = {"getdevice:info", std::string("JoySetButtonLayout:") + kButtonLayout};
    const char* const sounds[] = {"move.wav",    "tinkle01.wav", "pop.wav",  "boom2.wav",    "drag4.wav",
                                  "boulder.wav", "creak.wav",    "reel.wav", "tinkle02.wav", "till.wav"};
    const int numbers[] = {0, 1, 2, 3, 3, 3, 3, 3, 3, 3};
    for (int k = 0; k < 10; ++k) expected.push_back("addSound:" + std::to_string(numbers[k]) + ":" + media + sounds[k]);
    expected.push_back("sampleCount:");
    expected.push_back("playMusic:" + media + "shoalrunner.ogg:0.5:1");
    EXPECT_EQ(requests(), expected);
    EXPECT_TRUE(CONFIG_FILE.equals((dir.path() + "/DocumentsShoalrunner.cfg").c_str()));
    EXPECT_EQ(WAVE_SIN.at(0), 0.0);
    EXPECT_EQ(WAVE_COS.at(0), 5.0);
    EXPECT_EQ(WAVE_SIN.at(120), WAVE_SIN.at(0));
    EXPECT_EQ(WAVE_COS.at(800), 0.0);
    EXPECT_EQ(MAP.d1 * 100 + LEVEL_PARAM.d1, 3010);
    EXPECT_TRUE(MENU_TEXT.at(4).equals("TEST"));
    EXPECT_TRUE(MENU_TEXT.at(13).equals("CLR LEVEL"));
    EXPECT_TRUE(MENU_TEXT.at(14).isEmpty());
}

// Without HOME the documents folder is unknown: the progress file lies
// beside the program, and the error log says so once. Before, the file was
// "NO_DATAShoalrunner.cfg" in the Media folder, the working folder by then.
TEST_F(ScreenFlow, WithoutADocumentsFolderTheProgressFileLiesBesideTheProgram) {
    const testsupport::ChildResult r = testsupport::runInChild([] {
        ::unsetenv("HOME");
        PrepareGame();
        std::fputs(CONFIG_FILE.data, stdout);
    });
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    const std::string beside = platform::executableFolder() + "/Shoalrunner.cfg";
    EXPECT_EQ(r.out.substr(r.out.size() - std::min(r.out.size(), beside.size())), beside) << r.out;
    const std::string log = testsupport::readFileBytes(errorLogPath().data);
    const std::string line = "Progress file: no documents folder; kept beside the program as " + beside + "\n";
    const size_t first = log.find(line);
    EXPECT_NE(first, std::string::npos) << log;
    EXPECT_EQ(log.find(line, first + 1), std::string::npos) << "said once";
}

TEST_F(ScreenFlow, TheWavePageMovesItsPhaseOnAndLeadsToTheTitleMenu) {
    PrepareGame();
    device.pilot[S::Title] = {"b2=1"};
    ShowWavePage();
    EXPECT_EQ(WAVE_PHASE, 400) << "two degrees a frame for 200 frames";
    EXPECT_EQ(screensStarted, (std::vector<S>{S::WavePage, S::Title}));
    ASSERT_FALSE(device.trace.empty());
    EXPECT_EQ(device.trace.front().screen, S::Title) << "the page itself asks for no controller state";
}

TEST_F(ScreenFlow, ACardBeyondTheLevelNamesEndsTheProgramWithTheBoundsError) {
    PrepareGame();
    EXPECT_EXIT(ShowLevelIntro(100), ::testing::ExitedWithCode(9), "");
}

}  // namespace
}  // namespace screenstest
