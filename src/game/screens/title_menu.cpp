// The title menu, the hub of the screens: "NEW GAME", "CONTINUE", "OPTIONS"
// and "EXIT" under the title picture, a shark crossing behind, rising
// bubbles; "b3" shows the credits, and F2 opens the level editor at the
// current level. Nothing is taken in the first 40 frames.
// Depends on the screen frame, the game world (level reset, credits,
// progress file, font text) and the input commands.
//
// Departure: a button still held from the screen before counts here only
// once released (screen_buttons.h). Escape held on leaving the options, the
// credits or the ending was taken as "b2", EXIT, and ended the program.
//
// Departure: F2 leads to the level editor. Without it no screen led there
// and the editor could never be reached.
#include "game/screens/screen_bodies.h"
#include "game/screens/screen_frame.h"
#include "game/world/config_file.h"
#include "game/world/credits.h"
#include "game/world/effects.h"
#include "game/world/font_text.h"
#include "game/world/game_sprites.h"
#include "game/world/game_state.h"
#include "game/world/level_file.h"
#include "gfx2d/gfx2d_commands.h"
#include "input/input_commands.h"

namespace {
enum class TitleItem : int32_t { None, NewGame, Continue, Options, Exit, Editor };

constexpr int32_t kTopRow = 75;  // PLAYER_Y of "NEW GAME"; the rows are 20 apart
constexpr int32_t kBottomRow = 135;
constexpr int32_t kRowStep = 20;
constexpr int32_t kEntryCooldown = 40;
constexpr int32_t kMoveCooldown = 20;
constexpr int32_t kEditorKey = 60;  // F2
constexpr int32_t kItemsX = 97;
constexpr int32_t kSharkStart = 400;
constexpr int32_t kSharkTurnLeft = 400;    // swimming right, it turns beyond this
constexpr int32_t kSharkTurnRight = -160;  // swimming left, it turns beyond this

struct TitleText {
    int32_t y;
    const char* text;
};
constexpr TitleText kItems[] = {{80, "NEW GAME"}, {100, "CONTINUE"}, {120, "OPTIONS"}, {140, "EXIT"}};

struct TitleMenuState {
    FrameCycle cursor;  // counter A: the cursor's frames
    FrameCycle shark;   // counter B: the shark's frames
    BubbleRelease bubbles;
    TitleItem chosen = TitleItem::None;
};

void enterTitleMenu() {
    CloseEditorSession();  // a test run's ending comes here from the editor
    ClearLevel();
    PLAY_MODE = 0;
    SPEECH_FRAME = -1;
    INTRO_TICK = 0;
    GAME_PHASE = 0;
    REELED_IN = 0;
    BUBBLE1_X = 70;
    BUBBLE1_Y = 52;
    BUBBLE2_X = 86;
    BUBBLE2_Y = 52;
    BUBBLE_STEP = 0;
    SHARK_X = kSharkStart;
    TITLE_SHARK_Y = 30;
    TITLE_SHARK_DIR = 0;
    PLAYER_Y = kTopRow;
    STEP_COOLDOWN = kEntryCooldown;
}

void moveShark() {
    SHARK_X += TITLE_SHARK_DIR == 0 ? -1 : 1;
    if (SHARK_X < kSharkTurnRight) TITLE_SHARK_DIR = 1;
    if (SHARK_X > kSharkTurnLeft) TITLE_SHARK_DIR = 0;
}

void drawTitleMenu(const TitleMenuState& s) {
    DrawAnimFrame(kSpriteShark, s.shark.frame + 4 * TITLE_SHARK_DIR, SHARK_X, TITLE_SHARK_Y);
    DrawSprite(kSpriteTitle, 50, 5);
    for (const TitleText& item : kItems) DrawFontText(kItemsX, item.y, RtString(item.text));
    DrawAnimFrame(kSpriteStarfish, 3 - s.cursor.frame, 70, PLAYER_Y);
}

// Each action needs STEP_COOLDOWN at 0 when it is tested.
void takeInput(TitleMenuState& s) {
    moveMenuCursor(kTopRow, kBottomRow, kRowStep, kMoveCooldown);
    if (menuButtonPressed("b2") && STEP_COOLDOWN == 0) s.chosen = TitleItem::Exit;
    if (menuButtonPressed("b1") && STEP_COOLDOWN == 0) {
        s.chosen = static_cast<TitleItem>((PLAYER_Y - kTopRow) / kRowStep + 1);
    }
    if (menuButtonPressed("b3") && STEP_COOLDOWN == 0) ShowCredits();
    if (ReadKeyState(kEditorKey) != 0 && STEP_COOLDOWN == 0) s.chosen = TitleItem::Editor;
}

void runTitleFrame(TitleMenuState& s) {
    beginScreenFrame();
    s.cursor.step(7);
    s.shark.step(15);
    drawTitleMenu(s);
    moveShark();
    UpdateBubbles();
    presentScreenFrame();
    takeInput(s);
    s.bubbles.step();
    if (STEP_COOLDOWN > 0) STEP_COOLDOWN -= 1;
}
}  // namespace

GameScreen runTitleMenu() {
    enterTitleMenu();
    TitleMenuState s;
    while (s.chosen == TitleItem::None) {
        runTitleFrame(s);
        endScreenFrame();
    }
    SelectScreen(kScreenWindow);
    switch (s.chosen) {
    case TitleItem::NewGame:
        PLAY_MODE = 1;
        LEVEL = 0;
        return GameScreen::Game;
    case TitleItem::Continue:
        LoadConfig();  // LEVEL becomes the level reached, PLAY_MODE 1
        return GameScreen::Game;
    case TitleItem::Options: return GameScreen::Options;
    case TitleItem::Editor: return GameScreen::Editor;
    case TitleItem::Exit:
    case TitleItem::None: break;
    }
    return GameScreen::None;
}
