// The solver: searches over the diver's moves by playing the level through
// the game's own frames (LevelPlay), and gives back the controller state of
// every frame from the second on, a solution that a replay proves.
//
// A move is made where the diver can act (LevelPlay::atDecision): a step is
// one frame with its direction held; a push of a boulder or bomb holds the
// direction until the diver follows it (or gives up after 25 frames). After
// a move the frames run with nothing held until the diver can act again, the
// level is won or it is lost. The search is best-first on moves made plus a
// weighted estimate (the way to the nearest gem through everything but
// walls, and a fixed cost for each further gem), skipping positions already
// seen (positionKey). Waiting is never a move: the creatures move only with
// the diver's steps, and everything else settles before the diver can act.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "play/level_play.h"

namespace levels {

struct SolverOptions {
    int64_t maxNodes = 400000;     // positions expanded before giving up
    double weight = 2.0;           // of the estimate against the moves made
    int32_t gemCost = 6;           // estimated moves per gem after the nearest
    std::string prefix;            // moves made first, in order ("RRDL..."), before the search
    bool verbose = false;
};

struct Solution {
    bool found = false;
    std::string moves;                // one letter per move: U D L R
    std::vector<std::string> states;  // controller state of each frame from the second on
    int64_t nodes = 0;
};

// Plays `play.level()` from its start.
Solution solveLevel(LevelPlay& play, const SolverOptions& options);

// Plays a whole solution from the level's start; the frame (counting the
// first as 1) in which the level was won, or -1.
int64_t replaySolution(LevelPlay& play, const std::vector<std::string>& states);

}  // namespace levels
