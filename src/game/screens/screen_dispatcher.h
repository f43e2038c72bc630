// The screen dispatcher: one loop runs the game's screens, each of which
// returns the screen that follows it, so a long run of screen changes never
// grows the stack.
//
// A screen that leaves through a routine it does not own (the in-game loop
// leaves through its screen links) asks for the next screen with
// requestScreen and returns; the first request made during a screen's run
// counts. In the chain of nested calls that this replaces, a second call
// could only come after the first had run to the program's end.
#pragma once
#include <cstdint>

enum class GameScreen : int32_t {
    None,  // the chain ends: the program's main routine returns
    Splash,
    Title,
    Options,
    Game,
    Editor,
    Ending,
    WavePage,
};

// Runs the screens from `first` until one leads to None. Called while the
// screens run, it asks for `first` to follow the running screen and returns
// at once. Returns 0.0.
double runScreensFrom(GameScreen first);
// Asks for the screen to follow the running one; a later request of the same
// run is ignored.
void requestScreen(GameScreen next);
// The screen running now; None outside the dispatcher.
GameScreen runningScreen();
// Called with each screen as it starts (tests and diagnostics); null for none.
void setScreenObserver(void (*observer)(GameScreen));
