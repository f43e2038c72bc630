// The game's screens: the splash, the title menu, the options screen, the
// level card, the ending and wave pages, and the level editor. Each routine
// returns 0.0.
//
// The screens run one after another from the screen dispatcher
// (screen_dispatcher.h): called from outside the screens, a routine runs its
// screen and every screen that follows until the title menu's "EXIT";
// called while the screens run (the in-game loop's exits), it asks for its
// screen to follow the running one and returns at once. Either way no run of
// screen changes grows the stack.
#pragma once
#include <cstdint>

double SplashScreen();
double TitleMenu();
double OptionsScreen();
double ShowEnding();
double ShowWavePage();
double LevelEditor();

// The level card, 100 frames of "DEPTH <level>m" and the level's title over
// the water, then LoadLevel(level); Escape ends the program. It returns into
// the in-game loop that shows it. A level outside 0 to 99 ends the program
// with the bounds error of LEVEL_NAMES.
double ShowLevelIntro(int32_t level);

// The wave page's phase, WAVE_PHASE, is a game global (game_state.h).
