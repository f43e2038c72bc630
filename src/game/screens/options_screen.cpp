// The options screen: Up and Down choose a row, Left and Right change the
// margins (0 to 50 window pixels) and the music volume (0 to 1 in tenths,
// sent to the device at once), "b1" on "Main Menu", or "b2" on any row,
// saves the settings in the progress file (the level reached as the file
// holds it, config_file.h) and goes back to the title menu. Changes show at
// once in the screen's own frame.
// Depends on the screen frame, the game world (progress file, font text,
// bubbles) and the device bridge's music request.
//
// Departure: "b2" (Escape, which the help page names BACK) leaves as "Main
// Menu" does; it did nothing here, the one screen where it led nowhere.
//
// Departure: leaving keeps the level reached as the file holds it. It saved
// LEVEL, the level last played, so a NEW GAME left at level 0 and a visit
// here put the progress back to 0.
//
// Departure: Left and Right step once per press, and repeat every 5 frames
// only once held for 20 frames (the cursor's pace between rows). They
// repeated every 5 frames from the first, so a tap of 0.1 s moved two steps
// where one was meant.
//
// Departure: a volume of 0 shows "0%", not the "00%" of its tens followed
// by "0%".
//
// Departure: the volume is rounded to tenths after each step. Adding and
// taking 0.1 drifted in floating point: the same percentage showed twice
// and the file received values such as 2.775557562e-17.
#include "game/screens/options_screen.h"

#include <cmath>

#include "game/bridge/device_requests.h"
#include "game/screens/screen_bodies.h"
#include "game/screens/screen_frame.h"
#include "game/world/config_file.h"
#include "game/world/effects.h"
#include "game/world/font_text.h"
#include "game/world/game_sounds.h"
#include "game/world/game_sprites.h"
#include "game/world/game_state.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

namespace {
constexpr int32_t kTopRow = 45;  // PLAYER_Y of the first row; the rows are 20 apart
constexpr int32_t kRowStep = 20;
constexpr int32_t kBottomRow = kTopRow + (kOptionRows - 1) * kRowStep;
constexpr int32_t kEntryCooldown = 40;
constexpr int32_t kMoveCooldown = 20;
constexpr int32_t kChangeCooldown = 5;
constexpr int32_t kMaxMargin = 50;
constexpr int32_t kRowsX = 60;
constexpr int32_t kRowTextTop = 50;

enum OptionRow : int32_t { RowOverscanH, RowOverscanV, RowMusic, RowMainMenu };

struct OptionsState {
    FrameCycle cursor;
    BubbleRelease bubbles;
    DirectionRepeat left, right;
    bool leave = false;
};

int32_t rowUnderCursor() { return (PLAYER_Y - kTopRow) / kRowStep; }

int32_t heldMargin(int32_t margin) { return margin < 0 ? 0 : margin > kMaxMargin ? kMaxMargin : margin; }

// Left is +1 on a margin (a wider margin, a smaller picture), -1 on the volume.
void changeRow(int32_t direction) {
    switch (rowUnderCursor()) {
    case RowOverscanH: OVERSCAN_H -= direction; break;
    case RowOverscanV: OVERSCAN_V -= direction; break;
    case RowMusic:
        MUSIC_VOLUME = stepMusicVolume(MUSIC_VOLUME, direction);
        HostSetMusicVolume(GAME_MUSIC, MUSIC_VOLUME);
        break;
    default: break;
    }
}

void takeInput(OptionsState& s) {
    moveMenuCursor(kTopRow, kBottomRow, kRowStep, kMoveCooldown);
    if (menuButtonPressed("b1") && STEP_COOLDOWN == 0 && PLAYER_Y == kBottomRow) s.leave = true;
    if (menuButtonPressed("b2") && STEP_COOLDOWN == 0) s.leave = true;
    if (s.left.step(directionPressed(MenuDirection::Left), kMoveCooldown)) {
        changeRow(-1);
        STEP_COOLDOWN = kChangeCooldown;
    }
    if (s.right.step(directionPressed(MenuDirection::Right), kMoveCooldown)) {
        changeRow(1);
        STEP_COOLDOWN = kChangeCooldown;
    }
    OVERSCAN_H = heldMargin(OVERSCAN_H);
    OVERSCAN_V = heldMargin(OVERSCAN_V);
}

void runOptionsFrame(OptionsState& s) {
    s.cursor.step(7);
    beginScreenFrame();
    s.bubbles.step();
    UpdateBubbles();
    DrawFontText(100, 10, RtString("OPTIONS"));
    for (int32_t row = 0; row < kOptionRows; ++row) {
        DrawFontText(kRowsX, kRowTextTop + row * kRowStep, optionsRowText(row));
    }
    takeInput(s);
    DrawAnimFrame(kSpriteStarfish, 3 - s.cursor.frame, 40, PLAYER_Y);
    if (STEP_COOLDOWN > 0) STEP_COOLDOWN -= 1;
    presentScreenFrame();
}
}  // namespace

RtString optionsRowText(int32_t row) {
    switch (row) {
    case RowOverscanH: return "Overscan H   " + RtString(100 - OVERSCAN_H);
    case RowOverscanV: return "Overscan V   " + RtString(100 - OVERSCAN_V);
    case RowMusic: {
        // Tens of percent, cut toward zero (the volume is held to 0..1); the
        // volume holds tenths, so a hair's breadth of rounding in the product
        // must not cost a tenth.
        const int32_t tens = truncateToInt32(MUSIC_VOLUME * 10.0 + 1e-9);
        return "Music Volume  " + RtString(tens * 10) + "%";
    }
    case RowMainMenu: return RtString("Main Menu");
    default: return RtString();
    }
}

double stepMusicVolume(double volume, int32_t direction) {
    double stepped = volume + 0.1 * direction;
    if (std::isnan(stepped) || stepped < 0.0) stepped = 0.0;
    if (stepped > 1.0) stepped = 1.0;
    return std::round(stepped * 10.0) / 10.0;
}

GameScreen runOptionsScreen() {
    STEP_COOLDOWN = kEntryCooldown;
    PLAYER_Y = kTopRow;
    OptionsState s;
    while (!s.leave) {
        runOptionsFrame(s);
        endScreenFrame();
    }
    SaveSettings();
    return GameScreen::Title;
}
