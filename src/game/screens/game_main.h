// The game's main routine (GameMain, a program hook of
// runtime/engine/project_hooks.h) in two halves: everything it prepares
// before the first screen, and the screens from the splash on.
#pragma once
#include "runtime/strings/rt_string.h"

// The button labels handed to the device layer.
extern const char* const kButtonLayout;

// Steps 1 to 18 of GameMain: device information, button layout, images,
// wobble tables, window size, pacing, the configuration file's path, the
// fixed texts, Escape no longer quitting, the grids, the sounds, the
// offscreen screens, the progress file, the music; then the in-game loop's
// screen links connected to the screens. Returns 0.0.
double PrepareGame();
// PrepareGame, then the screens from the splash on until the title menu's
// "EXIT". Returns 0.0.
double GameMain();
