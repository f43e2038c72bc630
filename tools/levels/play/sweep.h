// The sweep: random play (random_play.h) of many levels over many seeds,
// each play in a child process of its own, so that a play that ends the
// program (a fatal runtime error, a sanitizer's report) is seen with its
// exit status. After each play the error log must hold nothing, the child
// must have ended with status 0, and the play's checks must have held.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace levels {

struct SweepOptions {
    int32_t firstLevel = 0, lastLevel = 30;
    uint32_t firstSeed = 1;
    int32_t seeds = 4;       // seeds per level: firstSeed, firstSeed + 1, ...
    int64_t frames = 3000;   // frames per play
    bool fromSolutions = false;  // attempts start from a part of the level's solution
    bool verbose = false;    // a line per play on standard error
};

struct SweepFinding {
    int32_t level;
    uint32_t seed;
    std::string what;
};

struct SweepResult {
    int64_t plays = 0, frames = 0, wins = 0, losses = 0;
    std::vector<SweepFinding> findings;
};

// Plays the levels of the sources folder ("level_NN.txt", the solutions in
// its "solutions" folder); `workFolder`
// holds the plays' media folder. The error log is the runtime's own
// (errorLogPath), emptied before each play.
SweepResult sweepLevels(const std::string& sourcesFolder, const std::string& workFolder, const SweepOptions& options);

}  // namespace levels
