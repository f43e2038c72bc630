// Random play of a level through LevelPlay, for the sweep that looks for the
// faults that scripted tests do not think of: controller states drawn from a
// seed and held for a few frames (directions, now and then two at once,
// nothing, and the restart button), a won level started again, a lost one
// left to reload as the game reloads it. The game's own random generator is
// seeded with the same number (with the solutions' seed when the attempts
// start from a part of the level's solution, which replays only with it).
//
// After every frame the rules of play (PlayRules) must hold. A fatal runtime
// error ends the process (the error code as exit status, its text in the
// error log); the sweep (sweep.h) runs each play in a child process for that.
#pragma once
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "play/level_play.h"

namespace levels {

// What must hold in every frame of play:
//   - a solid tile (1 to 21) of the level stays as it was, but for the
//     column that the quake of the first and the last level opens;
//   - while everything rests (the diver at rest, nothing lost, popping,
//     burning, falling or hopping), the code of a creature, an object or the
//     diver in MAP belongs to a record of that family standing in the cell:
//     no cell is a wall that no one can see.
// Each broken rule is reported once per kind, with the frame.
class PlayRules {
public:
    explicit PlayRules(int32_t level) : level_(level) {}
    // The level as just loaded: its solid tiles.
    void takeLevel();
    // The rules in the game's present state; faults are appended.
    void check(int64_t frame, std::vector<std::string>& faults);

private:
    struct Tile {
        int32_t x, y, code;
    };
    int32_t level_;
    std::vector<Tile> solid_;
    std::set<std::string> kindsSeen_;
};

struct RandomRun {
    int64_t frames = 0;
    int32_t wins = 0;
    int32_t losses = 0;               // attempts ended by a pop
    std::vector<std::string> faults;  // the rules broken (PlayRules)
};

// Plays the level (its file in the play's folder) for `frames` frames. With
// a solution given, each attempt first replays a part of it drawn from the
// seed (up to all but its last frame), so that random play starts from the
// level's deeper positions too.
RandomRun playAtRandom(LevelPlay& play, int32_t level, uint32_t seed, int64_t frames,
                       const std::vector<std::string>& solution = {});

}  // namespace levels
