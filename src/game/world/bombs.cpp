// Bombs (39 at rest, like boulders): fall over free water, 4 pixels a frame
// while the diver rests, and land on anything above 0; a bomb whose frames
// of falling add up to more than two explodes when it lands (the count is
// never reset). Blast fire sets a bomb off at once. A bomb in a cell that
// holds a spawn code 32 to 38 loses the level. Bombs fizz with bubbles of
// their own kind.
#include "game/world/creature_rules.h"
#include "game/world/game_sounds.h"
#include "game/world/game_sprites.h"
#include "game/world/mines_blasts.h"
#include "game/world/movable_objects.h"
#include "game/world/pushed_blocks.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

namespace {
constexpr int32_t kFallPixels = 4;
constexpr int32_t kFallCooldown = 2;
constexpr int32_t kExplodeAfterFalling = 2;  // frames; more explode on landing
constexpr int32_t kTileFrame = 45;  // the tile sheet's picture of the bomb, its spawn code
constexpr int32_t kBombBubbleKind = 1;

// The explosion: a blast at the bomb's cell; a bomb set off by fire also
// clears its MAP cell. The bomb is deleted.
RecordFate explode(const Bomb& b, bool inFire) {
    PlayGameSound(SoundBoom, SOUND_VOLUME);
    MINE_FIRED = 1;
    const CellPos at = cellAt(b.x, b.y);
    SpawnBlast(at.c, at.r);
    if (inFire) mapCell(at) = cell::kWater;
    return RecordFate::Delete;
}

RecordFate stepBomb(Bomb& b) {
    const CellPos at = cellAt(b.x, b.y);
    const int32_t here = mapCell(at);
    if (LEVEL_LOST == 0 && here >= cell::kDiverSpawn && here <= cell::kFishDownSpawn) loseLevelWithPop(b.x, b.y);
    if (inBlastFire(at)) return explode(b, true);
    settleOrStartFalling(b, at);
    if (b.falling == 1 && stepAtRest() && LEVEL_LOST == 0) {
        STEP_COOLDOWN = kFallCooldown;
        b.fallCount += 1;
        b.y += kFallPixels;
        if (mapCell(cellAt(b.x, b.y), 0, 1) > cell::kWater) {
            b.falling = 0;
            if (b.fallCount > kExplodeAfterFalling) return explode(b, false);
        }
    }
    takePushAndSlide(b, at);
    b.bubbleTick += 1;
    if (b.bubbleInterval < b.bubbleTick) {
        bubbleBurst(1, [&] { pushBreathBubble(b.x + 8, b.y + RandomInt(10), kBombBubbleKind); });
        b.bubbleTick = 0;
        b.bubbleInterval = RandomInt(90);
    }
    DrawAnimFrame(kSpriteTiles, kTileFrame, b.x, b.y);
    return RecordFate::Keep;
}
}  // namespace

double SpawnBomb(double column, double row) {
    BOMBS.push(Bomb{truncateToInt32(column) * kCellPixels, truncateToInt32(row) * kCellPixels, 0, 0, 0, 0,
                    RandomInt(90), 0});
    return 0.0;
}

double UpdateBombs() {
    walkFamily(BOMBS, stepBomb);
    return 0.0;
}
