// The screen dispatcher and the public screen routines over it.
// Depends on the in-game loop (RunGame), which leaves through its screen
// links; the game's main routine connects those links to the routines here.
#include "game/screens/screen_dispatcher.h"

#include "game/screens/screen_bodies.h"
#include "game/screens/screens.h"
#include "game/world/run_game.h"
#include "game/world/screen_buttons.h"

namespace {
GameScreen running = GameScreen::None;
GameScreen pending = GameScreen::None;
void (*screenObserver)(GameScreen) = nullptr;

// RunGame leads on through the screen links, which request the next screen.
GameScreen runGameScreen() {
    RunGame();
    return GameScreen::None;
}

GameScreen runBody(GameScreen screen) {
    switch (screen) {
    case GameScreen::Splash: return runSplashScreen();
    case GameScreen::Title: return runTitleMenu();
    case GameScreen::Options: return runOptionsScreen();
    case GameScreen::Game: return runGameScreen();
    case GameScreen::Editor: return runLevelEditor();
    case GameScreen::Ending: return runEndingPage();
    case GameScreen::WavePage: return runWavePage();
    case GameScreen::None: break;
    }
    return GameScreen::None;
}
}  // namespace

double runScreensFrom(GameScreen first) {
    if (running != GameScreen::None) {
        requestScreen(first);
        return 0.0;
    }
    GameScreen next = first;
    while (next != GameScreen::None) {
        running = next;
        pending = GameScreen::None;
        if (screenObserver) screenObserver(next);
        openScreenButtons();  // a button still held from the last screen waits for its release
        const GameScreen returned = runBody(next);
        next = returned != GameScreen::None ? returned : pending;
    }
    running = GameScreen::None;
    pending = GameScreen::None;
    return 0.0;
}

void requestScreen(GameScreen next) {
    if (pending == GameScreen::None) pending = next;
}

GameScreen runningScreen() { return running; }

void setScreenObserver(void (*observer)(GameScreen)) { screenObserver = observer; }

double SplashScreen() { return runScreensFrom(GameScreen::Splash); }
double TitleMenu() { return runScreensFrom(GameScreen::Title); }
double OptionsScreen() { return runScreensFrom(GameScreen::Options); }
double ShowEnding() { return runScreensFrom(GameScreen::Ending); }
double ShowWavePage() { return runScreensFrom(GameScreen::WavePage); }
double LevelEditor() { return runScreensFrom(GameScreen::Editor); }
