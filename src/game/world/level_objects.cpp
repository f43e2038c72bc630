// The object pass of the level loader: the spawn codes of a level file and
// the records they make, each through its family's spawn routine.
#include "game/world/level_objects.h"

#include "game/world/cell_codes.h"
#include "game/world/collectibles.h"
#include "game/world/creatures.h"
#include "game/world/effects.h"
#include "game/world/game_state.h"
#include "game/world/grid_cells.h"
#include "game/world/mines_blasts.h"
#include "game/world/movable_objects.h"
#include "game/world/player.h"
#include "game/world/story_places.h"
#include "game/world/submarine_scenes.h"
#include "runtime/services/mathematics.h"

namespace {
// Spawn codes in the order the pass tests them; the order matters only
// where a spawn rewrites its own cell (weeds, gems and pearls leave 0).
enum SpawnCode : int32_t {
    kSpawnWeed = 7,
    kSpawnPlayer = cell::kDiverSpawn,
    kSpawnGem = 33,
    kSpawnStarfishLeft = 34,
    kFishUp = cell::kFishUpSpawn,
    kSpawnOctopus = 36,
    kSpawnSponge = 37,
    kFishDown = cell::kFishDownSpawn,
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

void spawnObject(int32_t code, int32_t column, int32_t row) {
    switch (code) {
        case kSpawnWeed: SpawnWeed(column, row); break;
        case kSpawnPlayer: SpawnPlayer(column, row); break;
        case kSpawnGem: SpawnGem(column, row); break;
        case kSpawnStarfishLeft: SpawnStarfish(column, row, -1); break;
        case kSpawnOctopus: SpawnOctopus(column, row); break;
        case kSpawnSponge: SpawnSponge(column, row); break;
        case kSpawnBoulder: SpawnBoulder(column, row); break;
        case kSpawnVent: SpawnBubbleVent(column, row); break;
        case kSpawnCrabRight: SpawnCrab(column, row, 0); break;
        case kSpawnCrabLeft: SpawnCrab(column, row, 1); break;
        case kSpawnMine: SpawnMine(column, row); break;
        case kSpawnStarfishRight: SpawnStarfish(column, row, 1); break;
        case kSpawnBomb: SpawnBomb(column, row); break;
        case kSpawnOyster: SpawnOyster(column, row); break;
        case kSpawnPearl: SpawnPearl(column, row); break;
        case kSpawnAngler: SpawnAngler(column, row); break;  // the cell keeps its 48
        default: break;
    }
}
}  // namespace

void spawnLevelObjects() {
    for (int32_t y = 0; y <= SIZE_Y; ++y) {
        for (int32_t x = 0; x <= SIZE_X; ++x) {
            for (int32_t code : kObjectPassOrder) {
                if (mapCell(x, y) == code) spawnObject(code, x, y);
            }
        }
    }
}

void spawnStoryDiver() { SpawnDiver(kOpeningDiverColumn, kStoryDiverRow); }

void spawnLevelFish() {
    for (int32_t i = 0; i < kLevelParamCount; ++i) {
        const int32_t param = LEVEL_PARAM.at(i);
        if (param <= 0) continue;
        const int32_t x = IntMod(param, 15);
        const int32_t y = (param - x) / 15;
        if (mapCell(x, y) == kFishUp) SpawnFish(x, y, 0, i);
        if (mapCell(x, y) == kFishDown) SpawnFish(x, y, 1, i);
    }
}
