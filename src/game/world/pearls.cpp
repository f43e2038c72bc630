// Pearls: taken when the diver stands in the pearl's cell and carries none
// (PEARL_TAKEN 0); otherwise a pearl cycles through its 13 frames, one every
// eight updates.
#include "game/world/cell_codes.h"
#include "game/world/collectibles.h"
#include "game/world/family_walk.h"
#include "game/world/game_sounds.h"
#include "game/world/game_sprites.h"
#include "game/world/grid_cells.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

namespace {
constexpr int32_t kLastPearlFrame = 12;
}

double SpawnPearl(double column, double row) {
    const int32_t c = truncateToInt32(column);
    const int32_t r = truncateToInt32(row);
    mapCell(c, r) = cell::kWater;
    PEARLS.push(Pearl{c * kCellPixels, r * kCellPixels, 0, 0});
    return 0.0;
}

double UpdatePearls() {
    walkFamily(PEARLS, [](Pearl& pearl) {
        if (mapCell(cellOf(pearl.x), cellOf(pearl.y)) == cell::kDiver && PEARL_TAKEN == 0) {
            PlayGameSound(SoundTinkle2, SOUND_VOLUME);
            PEARL_TAKEN = 1;
            return RecordFate::Delete;
        }
        if (pearl.tick + 1 < 8) {
            pearl.tick += 1;
        } else {
            pearl.frame += 1;
            pearl.tick = 0;
        }
        if (pearl.frame > kLastPearlFrame) pearl.frame = 0;
        DrawAnimFrame(kSpritePearl, pearl.frame, pearl.x, pearl.y);
        return RecordFate::Keep;
    });
    return 0.0;
}
