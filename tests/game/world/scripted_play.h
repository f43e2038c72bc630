// Scripted play for the tests of the in-game loop, the diver and the
// families: levels drawn as text, started as the game starts them, and
// frames run one by one with a controller state each (the scripted device's
// "Down=1000;b1=1" form), without the frame end.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "game/world/run_game.h"
#include "world_fixture.h"

namespace worldtest {

// A level drawn as text, one string per row (all of one length):
//   '.' water 0      '#' tile 1       '~' bubble stream -1  'P' diver 32
//   'G' gem 33       'S' starfish, left hand 34     's' right hand 44
//   'F' fish up 35   'f' fish down 38 (named by the parameters in reading order)
//   'O' octopus 36   'Q' sponge 37    'B' boulder 39  'V' vent 40
//   'C' crab right 41  'c' crab left 42  'M' mine 43  'X' bomb 45
//   'K' pearl 47     'A' angler 48    'W' weed 7     'Y' oyster (lower cell) 46
// Any other character is a test mistake and fails the test.
std::string levelFromText(const std::vector<std::string>& rows);

// A small walled room with the diver in the middle; its gem keeps the level
// from being complete.
inline const std::vector<std::string> kSmallRoom = {
    "#######",
    "#....G#",
    "#.....#",
    "#..P..#",
    "#.....#",
    "#######",
};

// Which screens the in-game loop led to, in order: "intro <n>", "ending",
// "title", "editor". The level card loads the level as the real one does.
extern std::vector<std::string> screensShown;

class PlayTest : public WorldTest {
protected:
    PlayTest();
    ~PlayTest() override;

    // Writes the level, sets LEVEL and PLAY_MODE and starts the game screen
    // (StartGame: the card loads the level).
    void start(int32_t level, const std::vector<std::string>& rows, int32_t playMode = 1);
    // Writes the level and loads it without starting the screen.
    void load(int32_t level, const std::vector<std::string>& rows);
    // One in-game frame with the controller state given, then n frames.
    void frame(const std::string& state = "");
    void frames(int32_t n, const std::string& state = "");
    // Frames with the state until the predicate holds (at most `limit`);
    // returns the frames run, or -1 when it never held.
    template <class Predicate>
    int32_t framesUntil(Predicate&& holds, int32_t limit, const std::string& state = "") {
        for (int32_t n = 1; n <= limit; ++n) {
            frame(state);
            if (holds()) return n;
        }
        return -1;
    }

    const Player& diver() const { return PLAYERS.at(0); }
    // The controller state of one held direction.
    static std::string held(const char* direction) { return std::string(direction) + "=1000"; }

    GameLoop loop;
};

// Runs a family's update through one diver step as the creatures see it:
// STEP_TICKS 8 down to 1, then once at 0.
template <class Update>
void throughOneStep(Update&& update) {
    for (int32_t t = 8; t >= 1; --t) {
        STEP_TICKS = t;
        update();
    }
    STEP_TICKS = 0;
    update();
}

}  // namespace worldtest
