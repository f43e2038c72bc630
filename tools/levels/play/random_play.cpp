// Random play and the rules of play. Depends on LevelPlay and the game state.
#include "play/random_play.h"

#include <random>

#include "game/world/cell_codes.h"
#include "game/world/game_state.h"
#include "game/world/story_places.h"

namespace levels {

namespace {
constexpr int32_t kMaxHold = 24;  // frames a drawn state is held at most

// The controller states drawn, with their weights.
struct Choice {
    const char* state;
    int weight;
};
constexpr Choice kChoices[] = {
    {"", 16},
    {"Up=1000", 16},
    {"Down=1000", 16},
    {"Left=1000", 16},
    {"Right=1000", 16},
    {"Up=1000;Right=1000", 3},
    {"Down=1000;Left=1000", 3},
    {"PadL_Left=1", 3},
    {"b3=1", 1},
};

bool solid(int32_t code) { return code >= 1 && code <= cell::kLastSolid; }

template <class Family>
bool standsIn(const Family& family, int32_t c, int32_t r) {
    for (int32_t i = 0; i < family.d1; ++i) {
        if (cellOf(family.at(i).x) == c && cellOf(family.at(i).y) == r) return true;
    }
    return false;
}

// Whether the code in MAP cell (c, r) belongs to a record standing there;
// codes that no family writes always do.
bool codeHasItsRecord(int32_t code, int32_t c, int32_t r) {
    switch (code) {
        case cell::kDiver: return standsIn(PLAYERS, c, r);
        case cell::kStarfish: return standsIn(STARFISH, c, r);
        case cell::kFish: return standsIn(FISH, c, r);
        case cell::kOctopus: return standsIn(OCTOPUSES, c, r);
        case cell::kSponge: return standsIn(SPONGES, c, r);
        case cell::kCrab: return standsIn(CRABS, c, r);
        case cell::kAngler: return standsIn(ANGLERS, c, r);
        case cell::kBoulder: return standsIn(BOULDERS, c, r) || standsIn(BOMBS, c, r);
        default: return true;
    }
}

template <class Family>
bool anyFalling(const Family& family) {
    for (int32_t i = 0; i < family.d1; ++i) {
        if (family.at(i).falling != 0) return true;
    }
    return false;
}

bool everythingRests() {
    if (STEP_TICKS != 0 || LEVEL_LOST != 0 || MINE_FIRED != 0 || POPS.d1 > 0 || BLASTS.d1 > 0) return false;
    if (anyFalling(BOULDERS) || anyFalling(BOMBS)) return false;
    for (int32_t i = 0; i < OCTOPUSES.d1; ++i) {
        if (OCTOPUSES.at(i).jumpLeft != 0) return false;
    }
    return true;
}

std::string at(int32_t x, int32_t y) { return "(" + std::to_string(x) + ", " + std::to_string(y) + ")"; }
}  // namespace

void PlayRules::takeLevel() {
    solid_.clear();
    for (int32_t y = 0; y <= SIZE_Y; ++y) {
        for (int32_t x = 0; x <= SIZE_X; ++x) {
            if (solid(MAP.at(x, y))) solid_.push_back({x, y, MAP.at(x, y)});
        }
    }
}

void PlayRules::check(int64_t frame, std::vector<std::string>& faults) {
    auto fault = [&](const std::string& kind, const std::string& text) {
        if (kindsSeen_.insert(kind).second) faults.push_back("frame " + std::to_string(frame) + ": " + text);
    };
    const bool quake = level_ == 0 || level_ == kLastLevel;
    for (const Tile& t : solid_) {
        const int32_t now = MAP.at(t.x, t.y);
        if (now == t.code || (quake && t.x == kQuakeColumn)) continue;
        fault("tile", "the tile " + std::to_string(t.code) + " at " + at(t.x, t.y) + " became " + std::to_string(now));
    }
    if (!everythingRests()) return;
    for (int32_t y = 0; y <= SIZE_Y; ++y) {
        for (int32_t x = 0; x <= SIZE_X; ++x) {
            const int32_t code = MAP.at(x, y);
            if (codeHasItsRecord(code, x, y)) continue;
            fault("code " + std::to_string(code),
                  "the code " + std::to_string(code) + " at " + at(x, y) + " belongs to no record standing there");
        }
    }
}

RandomRun playAtRandom(LevelPlay& play, int32_t level, uint32_t seed, int64_t frames,
                       const std::vector<std::string>& solution) {
    RandomRun run;
    std::mt19937 random(seed);
    int totalWeight = 0;
    for (const Choice& c : kChoices) totalWeight += c.weight;
    auto drawState = [&]() -> const char* {
        int pick = std::uniform_int_distribution<int>(0, totalWeight - 1)(random);
        for (const Choice& c : kChoices) {
            if (pick < c.weight) return c.state;
            pick -= c.weight;
        }
        return "";
    };

    PlayRules rules(level);
    size_t replayed = 0, replayEnd = 0;
    auto startAttempt = [&](uint32_t attemptSeed) {
        play.start(level, solution.empty() ? attemptSeed : kReplaySeed);
        rules.takeLevel();
        replayed = 0;
        replayEnd = solution.empty() ? 0 : std::uniform_int_distribution<size_t>(0, solution.size() - 1)(random);
    };
    startAttempt(seed);
    std::string state;
    int32_t held = 0;
    while (run.frames < frames) {
        if (replayed < replayEnd) {
            state = solution[replayed++];
        } else if (held-- <= 0) {
            state = drawState();
            held = std::uniform_int_distribution<int32_t>(0, kMaxHold - 1)(random);
        }
        const bool popping = POPS.d1 > 0;
        play.frame(state);
        ++run.frames;
        if (play.outcome() == Outcome::Won) {
            ++run.wins;
            startAttempt(seed + static_cast<uint32_t>(run.wins));
            continue;
        }
        if (popping && POPS.d1 == 0) ++run.losses;  // the pop played and the level was loaded again
        rules.check(run.frames, run.faults);
    }
    return run;
}

}  // namespace levels
