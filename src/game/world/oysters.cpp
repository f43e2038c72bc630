// Oysters: two cells tall, both holding 46 while closed. A diver carrying a
// pearl who stands beside either cell gives it up: the oyster creaks, opens
// through frames 4 to 7 and frees its upper cell for good (the lower cell
// keeps 46). One pearl opens one oyster, the first in the array.
#include "game/world/cell_codes.h"
#include "game/world/collectibles.h"
#include "game/world/family_walk.h"
#include "game/world/game_sounds.h"
#include "game/world/game_sprites.h"
#include "game/world/grid_cells.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

namespace {
enum OysterState : int32_t { kClosed = 0, kOpening = 1, kOpen = 2 };
constexpr int32_t kClosedFrame = 2;
constexpr int32_t kFirstOpeningFrame = 4;
constexpr int32_t kOpenFrame = 7;
}  // namespace

double SpawnOyster(double column, double row) {
    const int32_t c = truncateToInt32(column);
    const int32_t r = truncateToInt32(row);
    OYSTERS.push(Oyster{c * kCellPixels, r * kCellPixels - kCellPixels, 0, 0, 0, 0, 0, kClosedFrame, kClosed});
    mapCell(c, r - 1) = cell::kOyster;
    return 0.0;
}

double UpdateOysters() {
    walkFamily(OYSTERS, [](Oyster& oyster) {
        const int32_t c = cellOf(oyster.x);
        const int32_t r = cellOf(oyster.y);
        oyster.belowLeft = mapCell(c - 1, r + 1);
        oyster.belowRight = mapCell(c + 1, r + 1);
        oyster.left = mapCell(c - 1, r);
        oyster.right = mapCell(c + 1, r);
        const bool diverBeside = oyster.belowLeft == cell::kDiver || oyster.belowRight == cell::kDiver ||
                                 oyster.left == cell::kDiver || oyster.right == cell::kDiver;
        if (PEARL_TAKEN == 1 && oyster.state == kClosed && diverBeside) {
            PlayGameSound(SoundCreak, SOUND_VOLUME);
            PEARL_TAKEN -= 1;
            oyster.state = kOpening;
            oyster.frame = kFirstOpeningFrame;
        }
        if (oyster.state == kOpening) {
            if (oyster.frame < kOpenFrame) oyster.tick += 1;
            if (oyster.tick > 5) {
                oyster.tick = 0;
                oyster.frame += 1;
            }
            if (oyster.frame >= kOpenFrame) {
                mapCell(c, r) = cell::kWater;
                oyster.state = kOpen;
            }
        }
        DrawAnimFrame(kSpriteOyster, oyster.frame, oyster.x, oyster.y);
        return RecordFate::Keep;
    });
    return 0.0;
}
