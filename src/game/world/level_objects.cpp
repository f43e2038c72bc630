// The object pass of the level loader: the spawn codes of a level file and
// the records they make. The records are pushed here with the same starting
// values the families' spawn routines give them; gems and oysters go through
// their own spawn routines.
#include "game/world/level_objects.h"

#include "game/world/cell_codes.h"
#include "game/world/collectibles.h"
#include "game/world/effects.h"
#include "game/world/game_state.h"
#include "runtime/services/isaac.h"
#include "runtime/services/mathematics.h"

namespace {
// Spawn codes in the order the pass tests them; the order matters only
// where a spawn rewrites its own cell (weeds, gems and pearls leave 0).
enum SpawnCode : int32_t {
    kSpawnWeed = 7,
    kSpawnPlayer = 32,
    kSpawnGem = 33,
    kSpawnStarfishLeft = 34,
    kFishUp = 35,
    kSpawnOctopus = 36,
    kSpawnSponge = 37,
    kFishDown = 38,
    kSpawnBoulder = 39,
    kSpawnVent = 40,
    kSpawnCrabRight = 41,
    kSpawnCrabLeft = 42,
    kSpawnMine = 43,
    kSpawnStarfishRight = 44,
    kSpawnBomb = 45,
    kSpawnOyster = 46,
    kSpawnPearl = 47,
    kSpawnAngler = 48,
};
constexpr int32_t kObjectPassOrder[] = {
    kSpawnWeed,     kSpawnPlayer,  kSpawnGem,       kSpawnStarfishLeft,  kSpawnOctopus, kSpawnSponge,
    kSpawnBoulder,  kSpawnVent,    kSpawnCrabRight, kSpawnCrabLeft,      kSpawnMine,    kSpawnStarfishRight,
    kSpawnBomb,     kSpawnOyster,  kSpawnPearl,     kSpawnAngler,
};

void pushCrab(int32_t x, int32_t y, int32_t heading) {
    CRABS.push(Crab{x, y, 0, 0, 0, 0, heading, CRAB_SERIAL, 0});
    CRAB_SERIAL += 1;
}

void spawnObject(int32_t code, int32_t column, int32_t row) {
    const int32_t x = column * kCellPixels;
    const int32_t y = row * kCellPixels;
    switch (code) {
        case kSpawnWeed: SpawnWeed(column, row); break;
        case kSpawnPlayer: PLAYERS.push(Player{x, y, 0, 0, 0, 0, 0, 0, 0, RandomInt(20)}); break;
        case kSpawnGem: SpawnGem(column, row); break;
        case kSpawnStarfishLeft: STARFISH.push(Starfish{x, y, 0, 0, 0, 0, 3, 0, 0, 0, -1}); break;
        case kSpawnOctopus: OCTOPUSES.push(Octopus{x, y, 0, 0, 0, 0}); break;
        case kSpawnSponge: SPONGES.push(Sponge{x, y, 0, 0}); break;
        case kSpawnBoulder: BOULDERS.push(Boulder{x, y, 0, 0, 0}); break;
        case kSpawnVent: SpawnBubbleVent(column, row); break;
        case kSpawnCrabRight: pushCrab(x, y, 0); break;
        case kSpawnCrabLeft: pushCrab(x, y, 1); break;
        case kSpawnMine: MINES.push(Mine{x, y, 0, 0, 0, 0}); break;
        case kSpawnStarfishRight: STARFISH.push(Starfish{x, y, 0, 0, 0, 0, 1, 0, 0, 0, 1}); break;
        case kSpawnBomb: BOMBS.push(Bomb{x, y, 0, 0, 0, 0, RandomInt(90), 0}); break;
        case kSpawnOyster: SpawnOyster(column, row); break;
        case kSpawnPearl: SpawnPearl(column, row); break;
        case kSpawnAngler:
            ANGLERS.push(Angler{x, y, 0, 0, 0, 0, 0});
            DARK_LEVEL = 1;
            break;
        default: break;
    }
}

void spawnFishAt(int32_t column, int32_t row, int32_t heading, int32_t index) {
    MAP.at(column, row) = cell::kFish;
    Fish fish{};
    fish.x = column * kCellPixels;
    fish.y = row * kCellPixels;
    fish.heading = heading;
    fish.spare = index;
    FISH.push(fish);
}
}  // namespace

void spawnLevelObjects() {
    for (int32_t y = 0; y <= SIZE_Y; ++y) {
        for (int32_t x = 0; x <= SIZE_X; ++x) {
            for (int32_t code : kObjectPassOrder) {
                if (MAP.at(x, y) == code) spawnObject(code, x, y);
            }
        }
    }
}

void spawnStoryDiver() {
    constexpr int32_t kColumn = 5, kRow = 4;
    DIVERS.push(Diver{kColumn * kCellPixels, kRow * kCellPixels, 30, 1, 0, 0});
    MAP.at(kColumn, kRow) = cell::kStoryDiver;
}

void spawnLevelFish() {
    for (int32_t i = 0; i < kLevelParamCount; ++i) {
        const int32_t param = LEVEL_PARAM.at(i);
        if (param <= 0) continue;
        const int32_t x = IntMod(param, 15);
        const int32_t y = (param - x) / 15;
        if (MAP.at(x, y) == kFishUp) spawnFishAt(x, y, 0, i);
        if (MAP.at(x, y) == kFishDown) spawnFishAt(x, y, 1, i);
    }
}
