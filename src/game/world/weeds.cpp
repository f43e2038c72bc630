// Weeds: a weed cell is free water in MAP and 7 in OVERLAY, where the diver
// hides. Each weed sways through four frames, one every eight updates, with
// the quake's shake offset.
#include "game/world/cell_codes.h"
#include "game/world/effects.h"
#include "game/world/family_walk.h"
#include "game/world/game_sprites.h"
#include "game/world/grid_cells.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/isaac.h"
#include "runtime/services/mathematics.h"

double SpawnWeed(double column, double row) {
    const int32_t c = truncateToInt32(column);
    const int32_t r = truncateToInt32(row);
    mapCell(c, r) = cell::kWater;
    overlayCell(c, r) = cell::kWeed;
    WEEDS.push(Weed{c * kCellPixels, r * kCellPixels, 0, RandomInt(3)});
    return 0.0;
}

double AnimateWeeds() {
    walkFamily(WEEDS, [](Weed& weed) {
        weed.tick += 1;
        if (weed.tick >= 8) {
            weed.frame += 1;
            weed.tick = 0;
        }
        if (weed.frame > 3) weed.frame = 0;
        DrawAnimFrame(kSpriteWeed, weed.frame, weed.x + SHAKE_X, weed.y);
        return RecordFate::Keep;
    });
    return 0.0;
}
