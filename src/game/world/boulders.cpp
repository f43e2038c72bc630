// Boulders (39 at rest): a resting boulder over free water (0 or below in
// MAP, nothing in OVERLAY) starts to fall, 4 pixels a frame, through water
// and through the cells of the diver and the creatures, and lands on a solid
// tile, a boulder or bomb, a vent, a mine or any OVERLAY item. While one
// falls the diver cannot begin a step. A boulder resting in a cell that the
// diver or a creature holds crushes it (a pop). Blast fire destroys it.
//
// Departure, mending a fault: a crush loses the level (LEVEL_LOST), as a
// catch does. It made only a pop and its sound, so the crushed diver could
// walk away during the pop, and the pop came again in every frame at rest.
#include "game/world/creature_rules.h"
#include "game/world/game_sounds.h"
#include "game/world/game_sprites.h"
#include "game/world/movable_objects.h"
#include "game/world/pushed_blocks.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

namespace {
constexpr int32_t kFallPixels = 4;
constexpr int32_t kFallCooldown = 5;
constexpr int32_t kTileFrame = 39;

// What a falling boulder lands on.
bool holdsBoulder(CellPos below) {
    const int32_t code = mapCell(below);
    const bool solid = code >= 1 && code <= cell::kLastSolid;
    return solid || code == cell::kBoulder || code == cell::kVent || code == cell::kMine ||
           overlayCell(below) > 0;
}

RecordFate stepBoulder(Boulder& b) {
    const CellPos at = cellAt(b.x, b.y);
    const int32_t here = mapCell(at);
    if (stepAtRest() && LEVEL_LOST == 0 && here > cell::kLastSolid && here != cell::kBoulder) {
        loseLevelWithPop(b.x, b.y);
    }
    if (inBlastFire(at)) {
        mapCell(at) = cell::kWater;
        return RecordFate::Delete;
    }
    settleOrStartFalling(b, at);
    if (b.falling == 1 && LEVEL_LOST == 0) {
        STEP_COOLDOWN = kFallCooldown;
        b.y += kFallPixels;
        if (holdsBoulder({cellOf(b.x), cellOf(b.y) + 1})) {
            PlayGameSound(SoundBoulder, SOUND_VOLUME);
            b.falling = 0;
        }
    }
    takePushAndSlide(b, cellAt(b.x, b.y));  // the cell after this frame's fall
    DrawAnimFrame(kSpriteTiles, kTileFrame, SHAKE_X + b.x, b.y);
    return RecordFate::Keep;
}
}  // namespace

double SpawnBoulder(double column, double row) {
    BOULDERS.push(Boulder{truncateToInt32(column) * kCellPixels, truncateToInt32(row) * kCellPixels, 0, 0, 0});
    return 0.0;
}

double UpdateBoulders() {
    walkFamily(BOULDERS, stepBoulder);
    return 0.0;
}
