// One level in play through the game's own in-game frame, headless and
// deterministic: the frames run as RunGame runs them (the first frame with
// nothing held, since no controller state has been asked for yet; every
// later frame with the state given for it), the random generator seeded with
// one fixed number before the level starts, and a working folder whose
// Media/Data holds the level files. The solver plays through it; the
// solutions it writes are the states of the frames from the second on, in
// the scripted device's script form, which a replay feeds to RunGame.
//
// The game state is process-wide: one LevelPlay at a time, each starting
// from the state of a fresh program.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "game/bridge/scripted_device.h"
#include "game/world/run_game.h"
#include "play/game_snapshot.h"

namespace levels {

constexpr uint32_t kReplaySeed = 20240607;  // the seed of every solution

// Controller states of the solutions.
inline const char* directionState(char move) {
    switch (move) {
        case 'U': return "Up=1000";
        case 'D': return "Down=1000";
        case 'L': return "Left=1000";
        case 'R': return "Right=1000";
        default: return "";
    }
}

enum class Outcome { Playing, Won, Lost };

class LevelPlay {
public:
    // `folder` becomes the working folder; level files go to folder/Media/Data.
    explicit LevelPlay(const std::string& folder);
    ~LevelPlay();
    LevelPlay(const LevelPlay&) = delete;
    LevelPlay& operator=(const LevelPlay&) = delete;

    // The level's file; the same bytes also go under the next number while
    // that has no file, so that a won level reaches the next level's card.
    void putLevelFile(int32_t number, const std::string& bytes);
    // From the state of a fresh program: the level as the title menu starts
    // it (LEVEL, PLAY_MODE 1, the level card), then its first frame; the
    // random generator seeded with `seed` first.
    void start(int32_t number, uint32_t seed = kReplaySeed);
    // One frame with the controller state given.
    void frame(const std::string& state);

    // Won: the level is completed (LEVEL moved on to the next one) or,
    // in the last level, the game leaves for the ending. Lost: the diver is
    // caught or gone, or a pop plays (every pop restarts the level).
    Outcome outcome() const;
    // The diver can act in the next frame: at rest, the cooldown run out,
    // under the player's control, and nothing falling, burning or popping.
    bool atDecision() const;
    // The last level's finale has begun (its last gem is taken).
    bool inFinale() const;

    int32_t level() const { return level_; }
    int64_t framesRun() const { return framesRun_; }
    GameLoop loop;

private:
    std::string folder_;
    std::string previousDir_;
    ScriptedDevice device_;
    GameSnapshot pristine_;
    int32_t level_ = 0;
    int64_t framesRun_ = 0;
};

// The run-length script of frame states ("<count> <state>" lines).
std::string scriptOf(const std::vector<std::string>& states);
// The frame states of a script (comments and blank lines skipped); false on
// a line without a count.
bool statesOf(const std::string& script, std::vector<std::string>& states);

}  // namespace levels
