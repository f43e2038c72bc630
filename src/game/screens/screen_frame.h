// What every screen's frame shares: the play surface with the water drawn
// first, the stretch of that surface into the window inside the overscan
// margins, the frame end with the fresh controller state, the menu input
// rules, cursor and key repeat, the rising bubbles of the menus, and the
// four-frame cursor cycle.
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
// button while it is not 0 and once it has been seen released since the
// screen opened (screen_buttons.h). Neither looks at STEP_COOLDOWN.
enum class MenuDirection : int32_t { Up, Down, Left, Right };
bool directionPressed(MenuDirection direction);
bool menuButtonPressed(const char* button);

// The menu cursor (PLAYER_Y): while STEP_COOLDOWN is 0, Up and then Down
// each move it one row of `rowStep` pixels, held to top..bottom, and set
// STEP_COOLDOWN to `cooldown` (a press at the end row too).
void moveMenuCursor(int32_t top, int32_t bottom, int32_t rowStep, int32_t cooldown);

// Key repeat for a direction held on a value (the options' Left and Right).
// Called every frame, cool-down or not: true when the direction is pressed,
// STEP_COOLDOWN is 0, and either the press has not acted yet or `firstDelay`
// frames have passed since it first did; after that the caller's cool-down
// paces the repeats. A release forgets the press, so the next one acts at once.
struct DirectionRepeat {
    int32_t sinceFirstAct = -1;  // frames of this press since it first acted; -1 before
    bool step(bool pressed, int32_t firstDelay);
};

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
