// Blood clouds of the shark scene: each rises by its own step every eleven
// updates and fades from opaque to clear (alpha -1 to 0 by 0.0075 a frame,
// about 134 frames), then goes.
#include "game/world/effects.h"
#include "game/world/family_walk.h"
#include "game/world/game_sprites.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/isaac.h"
#include "runtime/services/mathematics.h"

namespace {
constexpr double kFadeStep = 0.0075;
constexpr int32_t kLastBloodFrame = 12;
}  // namespace

double SpawnBlood(double x, double y) {
    Blood blood{};
    blood.x = truncateToInt32(x + RandomInt(16) - 8);
    blood.y = truncateToInt32(y + RandomInt(16) - 8);
    blood.tick = 0;
    blood.frame = RandomInt(4);
    blood.alpha = -1.0;
    blood.rise = RandomInt(2) + 1;
    BLOOD.push(blood);
    return 0.0;
}

double UpdateBlood() {
    walkFamily(BLOOD, [](Blood& blood) {
        blood.tick += 1;
        if (blood.tick > 10) {
            blood.tick = 0;
            blood.frame += 1;
            blood.y -= blood.rise;
        }
        if (blood.alpha < 0.0) blood.alpha += kFadeStep;
        if (blood.alpha > 0.0) return RecordFate::Delete;
        if (blood.frame > kLastBloodFrame) blood.frame = kLastBloodFrame;
        SetAlphaMode(blood.alpha);
        DrawAnimFrame(kSpriteBlood, blood.frame, blood.x, blood.y);
        SetAlphaMode(0.0);
        return RecordFate::Keep;
    });
    return 0.0;
}
