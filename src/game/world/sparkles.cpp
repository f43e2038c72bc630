// Sparkles: what a taken gem leaves. A sparkle starts at frame 4, shows it
// for three updates and frame 5 for four, and in its eighth update lowers
// GEMS_LEFT and goes: a gem counts as collected only when its sparkle ends.
#include "game/world/effects.h"
#include "game/world/family_walk.h"
#include "game/world/game_sprites.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

double SpawnSparkle(double x, double y) {
    SPARKLES.push(Sparkle{truncateToInt32(x), truncateToInt32(y), 0, 4});
    return 0.0;
}

double UpdateSparkles() {
    walkFamily(SPARKLES, [](Sparkle& sparkle) {
        sparkle.tick += 1;
        if (sparkle.tick > 3) {
            sparkle.frame += 1;
            sparkle.tick = 0;
        }
        if (sparkle.frame > 5) {
            GEMS_LEFT -= 1;
            return RecordFate::Delete;
        }
        DrawAnimFrame(kSpriteGem, sparkle.frame, sparkle.x, sparkle.y);
        return RecordFate::Keep;
    });
    return 0.0;
}
