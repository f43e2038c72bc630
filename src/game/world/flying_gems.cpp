// Flying gems of the last level's scene: each flies to the submarine's
// counter at (160, 64) (story_places.h), 4 pixels right and 2 up a frame,
// and goes once it is at or past both. One that starts above row 64 keeps
// its height, stops at x 160 and stays.
#include "game/world/effects.h"
#include "game/world/family_walk.h"
#include "game/world/game_sprites.h"
#include "game/world/story_places.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

double SpawnFlyingGem(double column, double row) {
    FLYING_GEMS.push(FlyingGem{truncateToInt32(column) * kCellPixels, truncateToInt32(row) * kCellPixels});
    return 0.0;
}

double UpdateFlyingGems() {
    walkFamily(FLYING_GEMS, [](FlyingGem& gem) {
        if (gem.x < kCounterX) gem.x += 4;
        if (gem.y > kCounterY) gem.y -= 2;
        if (gem.x < kCounterX || gem.y < kCounterY) {
            DrawAnimFrame(kSpriteGem, 0, gem.x, gem.y);
            return RecordFate::Keep;
        }
        return RecordFate::Delete;
    });
    return 0.0;
}
