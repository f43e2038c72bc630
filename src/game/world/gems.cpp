// Gems: taken when the diver's code 22 stands in the gem's cell (also in
// the middle of a step, since the diver claims its target cell when the step
// begins). A taken gem rings, leaves a sparkle and clears its OVERLAY mark.
#include "game/world/cell_codes.h"
#include "game/world/collectibles.h"
#include "game/world/effects.h"
#include "game/world/family_walk.h"
#include "game/world/game_sounds.h"
#include "game/world/game_sprites.h"
#include "game/world/grid_cells.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

namespace {
constexpr double kGemVolume = 0.1;
}

double SpawnGem(double column, double row) {
    const int32_t c = truncateToInt32(column);
    const int32_t r = truncateToInt32(row);
    GEMS_LEFT += 1;
    mapCell(c, r) = cell::kWater;
    overlayCell(c, r) = cell::kGem;
    GEMS.push(Gem{c * kCellPixels, r * kCellPixels});
    return 0.0;
}

double UpdateGems() {
    walkFamily(GEMS, [](Gem& gem) {
        const int32_t c = cellOf(gem.x);
        const int32_t r = cellOf(gem.y);
        if (mapCell(c, r) == cell::kDiver) {
            PlayGameSound(SoundTinkle, kGemVolume);
            SpawnSparkle(gem.x, gem.y);
            overlayCell(c, r) = cell::kNothing;
            return RecordFate::Delete;
        }
        DrawAnimFrame(kSpriteGem, ANIM_FRAME, SHAKE_X + gem.x, gem.y);
        return RecordFate::Keep;
    });
    return 0.0;
}
