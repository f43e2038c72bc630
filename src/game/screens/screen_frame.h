// What every screen's frame shares: the play surface with the water drawn
// first, the stretch of that surface into the window inside the overscan
// margins, the frame end with the fresh controller state, the menu input
// rules and cursor, the rising bubbles of the menus, and the four-frame cursor cycle.
#pragma once
#include <cstdint>

// Frame start: draw into the play surface, the water first.
void beginScreenFrame();
// The stretch: the window selected, the margins black, the play surface over
// the rest without filtering.
void presentScreenFrame();
// Frame end: EndFrame, then the controller state for the next frame ("Update").
void endScreenFrame();

// Menu input, read from the controller state of the last "Update". A
// direction counts as pressed above 600 or while its pad action is not 0; a
// button while it is not 0. Neither looks at STEP_COOLDOWN.
enum class MenuDirection : int32_t { Up, Down, Left, Right };
bool directionPressed(MenuDirection direction);
bool menuButtonPressed(const char* button);

// The menu cursor (PLAYER_Y): while STEP_COOLDOWN is 0, Up and then Down
// each move it one row of `rowStep` pixels, held to top..bottom, and set
// STEP_COOLDOWN to `cooldown` (a press at the end row too).
void moveMenuCursor(int32_t top, int32_t bottom, int32_t rowStep, int32_t cooldown);

// The bubbles of the title, options and splash screens: every 51st frame one
// bubble starts below the surface at a random x.
struct BubbleRelease {
    int32_t frames = 0;
    void step();
};

// A cycle of four animation frames that moves on once its tick passes `hold`.
struct FrameCycle {
    int32_t tick = 0;
    int32_t frame = 0;
    void step(int32_t hold);
};
