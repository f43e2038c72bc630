// The menus' input as a player meets it, by scripted play: a button still
// held from the screen before does nothing on the next screen; Left and
// Right on the options screen step once per press and repeat only when
// held; the music volume's shown text.
#include <functional>
#include <string>
#include <vector>

#include "file_bytes.h"
#include "game/screens/game_main.h"
#include "game/screens/options_screen.h"
#include "game/world/game_state.h"
#include "screen_run.h"

namespace screenstest {
namespace {

using S = GameScreen;

const char* const kDown = "Down=1000";
const char* const kLeft = "Left=1000";
const char* const kRight = "Right=1000";
constexpr int32_t kHeld = 72;  // 1.2 s of frames

class ScreenInput : public ScreenTest {
protected:
    // The title menu's OPTIONS, then the script of `script` once the options
    // screen takes input (its first frame with the cool-down run out); the
    // snapshots of the options screen from then on go to `options`; "b2"
    // leaves, and "b2" on the title menu ends the run.
    void playOptions(const std::function<void()>& script) {
        device.pilot[S::Title] = {kDown, kDown, "b1=1", "b2=1"};
        device.pilot[S::Options] = {"b2=1"};
        device.onFrame = [this, script](const Snapshot& s) {
            if (s.screen != S::Options) return;
            if (!scripted && s.cooldown == 0) {
                scripted = true;
                script();
            }
            if (scripted) options.push_back(Entry{s, text(optionsRowText(0)), text(optionsRowText(2))});
        };
        GameMain();
    }
    static std::string text(const RtString& s) { return std::string(s.data, s.length); }

    struct Entry {
        Snapshot s;
        std::string overscanRow, musicRow;
    };
    bool scripted = false;
    std::vector<Entry> options;  // options[0] ends the frame before the script's first
};

// Holding Escape ("b2") on the options screen leaves it once; the title menu
// that follows does not take the same held button as its EXIT. Before, the
// program ended 41 frames into the title menu while the key was still held.
TEST_F(ScreenInput, EscapeHeldOnTheOptionsLeavesThemAndTheTitleMenuWaitsForItsRelease) {
    int64_t holdEnd = -1;
    playOptions([&] {
        device.addFrames(kHeld, "b2=1");
        device.addFrames(1, "");
        holdEnd = device.trace.back().frame + kHeld;
    });
    EXPECT_EQ(screensStarted, (std::vector<S>{S::Splash, S::Title, S::Options, S::Title}));
    ASSERT_GT(device.trace.back().frame, holdEnd) << "the held key ended the program";
    EXPECT_EQ(device.trace.at(holdEnd).screen, S::Title);
    EXPECT_EQ(device.trace.back().screen, S::Title) << "a fresh press of b2 ends it";
}

// The credits, left by a held "b2", return into the title menu, which does not
// take it either. Before, the title menu ended the program 21 frames later.
TEST_F(ScreenInput, EscapeHeldOnTheCreditsLeavesThemAndTheTitleMenuWaitsForItsRelease) {
    int phase = 0;
    int64_t holdEnd = -1;
    int32_t cooldownsAfterCredits = 0;
    device.pilot[S::Title] = {"b2=1"};  // the end, once the script is used up
    device.onFrame = [&](const Snapshot& s) {
        if (phase == 0 && s.screen == S::Title && s.cooldown == 0) {  // the title menu takes input
            device.addFrames(1, "b3=1");
            phase = 1;
        } else if (phase == 1 && s.cooldown == 0) {  // the credits' cool-down has run out
            device.addFrames(kHeld, "b2=1");
            device.addFrames(1, "");
            holdEnd = s.frame + kHeld;
            phase = 2;
        } else if (phase == 2 && s.cooldown == 19) {
            ++cooldownsAfterCredits;  // the first title frame after the credits
        }
    };
    GameMain();
    EXPECT_EQ(screensStarted, (std::vector<S>{S::Splash, S::Title}));
    EXPECT_EQ(cooldownsAfterCredits, 1) << "the held b2 left the credits once";
    ASSERT_GT(device.trace.back().frame, holdEnd) << "the held key ended the program";
}

// Escape held through a won game's ending reaches the title menu still held;
// the ending reads nothing, and the title menu waits for the release.
TEST_F(ScreenInput, EscapeHeldThroughTheEndingIsNotTheTitleMenusExit) {
    testsupport::writeFileBytes(configPath(), "2\r\n0\r\n0\r\n0.5\r\n");
    bool held = false;
    device.onFrame = [&](const Snapshot& s) {
        if (s.screen != S::Game || held) return;
        GAME_WON = 1;  // the next game frame leaves for the ending
        device.addFrames(100, "b2=1");
        device.addFrames(1, "");
        held = true;
    };
    device.pilot[S::Title] = {kDown, "b1=1", "b2=1"};
    GameMain();
    EXPECT_EQ(screensStarted, (std::vector<S>{S::Splash, S::Title, S::Game, S::Ending, S::Title}));
    // The ending asks for no controller state: the title frames after the
    // game's last one are those after the ending.
    int64_t titleFramesAfterEnding = 0;
    for (const Snapshot& s : device.trace) {
        if (s.screen == S::Game) titleFramesAfterEnding = 0;
        if (s.screen == S::Title) ++titleFramesAfterEnding;
    }
    EXPECT_GT(titleFramesAfterEnding, 100) << "the held key ended the program";
}

// A tap of Left (8 frames, about 0.13 s) on "Overscan H" is one step: the
// row shows 99. Held, the key steps at once, again 20 frames later and then
// every 5 frames; a new press after a release acts at once. Before, every
// fifth frame of a press stepped, so the tap moved two steps.
TEST_F(ScreenInput, LeftStepsOncePerPressAndRepeatsOnlyWhenHeld) {
    playOptions([&] {
        device.addFrames(8, kLeft);   // a tap
        device.addFrames(1, "");
        device.addFrames(6, kLeft);   // a second tap, one frame after the first
        device.addFrames(30, "");
        device.addFrames(40, kLeft);  // held
        device.addFrames(10, "");
    });
    ASSERT_GT(options.size(), 96u);
    // options[i] ends the script's frame i (options[0] the frame before it).
    EXPECT_EQ(options[8].s.overscanH, 1);
    EXPECT_EQ(options[8].overscanRow, "Overscan H   99");
    EXPECT_EQ(options[9].s.overscanH, 1);
    EXPECT_EQ(options[10].s.overscanH, 2) << "the second press acted in its first frame";
    EXPECT_EQ(options[15].s.overscanH, 2);
    std::vector<int> steps;  // frames of the held run at which the margin grew
    for (int i = 46; i <= 85; ++i) {
        if (options[i].s.overscanH != options[i - 1].s.overscanH) steps.push_back(i - 46);
    }
    EXPECT_EQ(steps, (std::vector<int>{0, 20, 25, 30, 35}));
    EXPECT_EQ(options[95].s.overscanH, 7);
}

// The same on the volume: a tap of Right moves it by one tenth.
TEST_F(ScreenInput, ATapOfRightRaisesTheVolumeByOneTenth) {
    playOptions([&] {
        device.addFrames(1, kDown);
        device.addFrames(25, "");
        device.addFrames(1, kDown);
        device.addFrames(25, "");
        device.addFrames(9, kRight);
        device.addFrames(10, "");
    });
    ASSERT_GT(options.size(), 70u);
    EXPECT_EQ(options[70].s.playerY, 85);
    EXPECT_EQ(options[70].s.musicVolume, 0.6);
    EXPECT_EQ(options[70].musicRow, "Music Volume  60%");
}

// From 0.5, five presses of Left reach 0.0, shown "0%"; one press of Right
// shows "10%" again. Before, 0 showed as "00%".
TEST_F(ScreenInput, AVolumeOfZeroShowsZeroPercent) {
    playOptions([&] {
        for (const char* state : {kDown, kDown}) {
            device.addFrames(1, state);
            device.addFrames(25, "");
        }
        for (int press = 0; press < 6; ++press) {  // the sixth changes nothing
            device.addFrames(1, kLeft);
            device.addFrames(10, "");
        }
        device.addFrames(1, kRight);
        device.addFrames(10, "");
    });
    std::vector<std::string> shown;
    for (const Entry& e : options) {
        if (shown.empty() || shown.back() != e.musicRow) shown.push_back(e.musicRow);
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"Music Volume  50%", "Music Volume  40%", "Music Volume  30%",
                                               "Music Volume  20%", "Music Volume  10%", "Music Volume  0%",
                                               "Music Volume  10%"}));
}

}  // namespace
}  // namespace screenstest
