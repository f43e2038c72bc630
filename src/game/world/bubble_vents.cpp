// Bubble vents: a vent marks its column above it as a bubble stream (-1,
// free for every family) up to row 0, through solid cells, and lets out one
// to three bubbles every 10 to 40 frames. A boulder or bomb resting on the
// vent (39 in the cell above) stops it and turns the stream back to water.
// A new vent (tick 0, interval 0) lets out its first bubbles at once.
#include "game/world/cell_codes.h"
#include "game/world/effects.h"
#include "game/world/family_walk.h"
#include "game/world/game_sprites.h"
#include "game/world/grid_cells.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/isaac.h"
#include "runtime/services/mathematics.h"

namespace {
constexpr int32_t kVentTileFrame = 40;

// Every cell of the column from `fromRow` up to row 0 holding `a` or `b`
// becomes `to`.
void paintColumn(int32_t column, int32_t fromRow, int32_t a, int32_t b, int32_t to) {
    for (int32_t row = fromRow; row >= 0; --row) {
        const int code = mapCell(column, row);
        if (code == a || code == b) mapCell(column, row) = to;
    }
}
}  // namespace

double SpawnBubbleVent(double column, double row) {
    BUBBLE_VENTS.push(BubbleVent{static_cast<double>(truncateToInt32(column) * kCellPixels),
                                 static_cast<double>(truncateToInt32(row) * kCellPixels), 0.0, 0.0});
    return 0.0;
}

double UpdateBubbleVents() {
    walkFamily(BUBBLE_VENTS, [](BubbleVent& vent) {
        DrawAnimFrame(kSpriteTiles, kVentTileFrame, SHAKE_X + vent.x, vent.y);
        const int32_t c = cellOf(vent.x);
        const int32_t r = cellOf(vent.y);
        if (mapCell(c, r - 1) != cell::kBoulder) {
            paintColumn(c, r - 1, cell::kWater, cell::kCrab, cell::kBubbleStream);
            vent.tick += 1;
            if (vent.interval < vent.tick) {
                for (int32_t n = 0; n <= RandomInt(2); ++n) {
                    Bubble bubble{};
                    bubble.x = vent.x + 8;
                    bubble.y = truncateToInt32(vent.y + RandomInt(8));
                    bubble.frame = RandomInt(3);
                    BUBBLES.push(bubble);
                }
                vent.tick = 0;
                vent.interval = RandomInt(30) + 10;
            }
        } else {
            paintColumn(c, r - 1, cell::kBubbleStream, cell::kCrab, cell::kWater);
        }
        return RecordFate::Keep;
    });
    return 0.0;
}
