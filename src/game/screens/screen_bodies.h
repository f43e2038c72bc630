// The bodies of the screens as the dispatcher runs them: each runs its own
// frame loop and returns the screen that follows (None to end the chain).
// Only the dispatcher calls them; everyone else uses the routines of
// screens.h.
#pragma once
#include "game/screens/screen_dispatcher.h"

GameScreen runSplashScreen();
GameScreen runTitleMenu();
GameScreen runOptionsScreen();
GameScreen runLevelEditor();
GameScreen runEndingPage();
GameScreen runWavePage();
