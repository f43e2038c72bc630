// The shared screen frame. Depends on the game world's drawing routines and
// controller requests, the 2-D commands and the frame end.
#include "game/screens/screen_frame.h"

#include "game/world/effects.h"
#include "game/world/game_sprites.h"
#include "game/world/game_state.h"
#include "game/world/play_surface.h"
#include "game/world/player.h"
#include "game/world/screen_buttons.h"
#include "game/world/water_background.h"
#include "game/world/world_host.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/isaac.h"
#include "shell/frame_end.h"

namespace {
constexpr int32_t kBubbleInterval = 50;  // a bubble once the count passes this
constexpr int32_t kCycleFrames = 4;

struct DirectionActions {
    const char* stick;
    const char* pad;
};
constexpr DirectionActions kDirections[] = {
    {"Up", "PadL_Up"}, {"Down", "PadL_Down"}, {"Left", "PadL_Left"}, {"Right", "PadL_Right"}};
}  // namespace

void beginScreenFrame() {
    SelectScreen(kScreenPlay);
    DrawWaterBackground();
}

void presentScreenFrame() {
    SelectScreen(kScreenWindow);
    PresentPlaySurface();  // black margins included
}

void endScreenFrame() {
    EndFrame();
    refreshControllerState();
}

bool directionPressed(MenuDirection direction) {
    const DirectionActions& actions = kDirections[static_cast<int32_t>(direction)];
    return directionPressed(actions.stick, actions.pad);  // the diver's own rule
}

bool menuButtonPressed(const char* button) { return screenButtonPressed(button); }

void moveMenuCursor(int32_t top, int32_t bottom, int32_t rowStep, int32_t cooldown) {
    if (directionPressed(MenuDirection::Up) && STEP_COOLDOWN == 0) {
        if (PLAYER_Y > top) PLAYER_Y -= rowStep;
        STEP_COOLDOWN = cooldown;
    }
    if (directionPressed(MenuDirection::Down) && STEP_COOLDOWN == 0) {
        if (PLAYER_Y < bottom) PLAYER_Y += rowStep;
        STEP_COOLDOWN = cooldown;
    }
}

bool DirectionRepeat::step(bool pressed, int32_t firstDelay) {
    if (!pressed) {
        sinceFirstAct = -1;
        return false;
    }
    if (sinceFirstAct >= 0 && sinceFirstAct < firstDelay) sinceFirstAct += 1;  // held for years: no overflow
    if (STEP_COOLDOWN != 0) return false;
    if (sinceFirstAct < 0) {
        sinceFirstAct = 0;
        return true;
    }
    return sinceFirstAct >= firstDelay;
}

void BubbleRelease::step() {
    frames += 1;
    if (frames <= kBubbleInterval) return;
    // Drawn in this order: x, then y, then the frame.
    const double x = RandomInt(320);
    const int32_t y = 240 + RandomInt(20);
    const int32_t frame = RandomInt(2);
    BUBBLES.push(Bubble{x, y, 0, frame, 0, 0});
    frames = 0;
}

void FrameCycle::step(int32_t hold) {
    tick += 1;
    if (tick > hold) {
        tick = 0;
        frame += 1;
    }
    if (frame >= kCycleFrames) frame = 0;
}
