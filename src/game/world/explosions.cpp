// Explosions of the quake: five frames of six updates each, drawn with the
// quake's shake offset.
#include "game/world/effects.h"
#include "game/world/family_walk.h"
#include "game/world/game_sprites.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

double SpawnExplosion(double column, double row) {
    EXPLOSIONS.push(Explosion{truncateToInt32(column) * kCellPixels, truncateToInt32(row) * kCellPixels, 0, 0});
    return 0.0;
}

double UpdateExplosions() {
    walkFamily(EXPLOSIONS, [](Explosion& explosion) {
        explosion.tick += 1;
        if (explosion.tick > 5) {
            explosion.tick = 0;
            explosion.frame += 1;
        }
        if (explosion.frame > 4) return RecordFate::Delete;
        DrawAnimFrame(kSpriteExplosion, explosion.frame, SHAKE_X + explosion.x, explosion.y);
        return RecordFate::Keep;
    });
    return 0.0;
}
