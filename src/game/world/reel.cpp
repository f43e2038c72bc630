// The reel of the level-0 story: the plunger goes down to x 92 two pixels a
// frame, hooks the story diver there, holds him for 54 frames, then hauls him
// in one pixel every four frames to x 170, where the story moves to phase 8.
// A reel that starts at an odd x stops at 91 and never hooks.
#include "game/world/creature_rules.h"
#include "game/world/game_sounds.h"
#include "game/world/game_sprites.h"
#include "game/world/submarine_scenes.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

namespace {
constexpr int32_t kLowering = 0, kHolding = 1, kReelingIn = 2;
constexpr int32_t kHookX = 92;
constexpr int32_t kHomeX = 170;
constexpr int32_t kPlungerShownUpTo = 143;
constexpr int32_t kHoldFrames = 53;   // the haul starts once the timer exceeds this
constexpr int32_t kHaulTimer = 50;    // so a pixel every four frames
constexpr int32_t kHookedOffset = 12; // the hooked diver hangs left of the plunger

RecordFate stepReel(ReelDiver& r) {
    if (r.state == kLowering) {
        if (r.x > kHookX) r.x -= 2;
        if (r.x == kHookX) {
            PlayGameSound(SoundPop, SOUND_VOLUME);
            r.state = kHolding;
        }
    }
    if (r.state == kHolding || r.state == kReelingIn) {
        DrawAnimFrame(kSpriteDiver, ANIM_FRAME + 8, r.x - kHookedOffset, r.y);
        r.timer += 1;
    }
    if (r.timer > kHoldFrames) {
        if (r.state == kHolding) {
            PlayGameSound(SoundReel, SOUND_VOLUME);
            r.state = kReelingIn;
            REELED_IN = 1;
        }
        if (r.x < kHomeX) r.x += 1;
        r.timer = kHaulTimer;
    }
    if (r.x == kHomeX) {
        if (GAME_PHASE <= 7) GAME_PHASE = 8;
        return RecordFate::Delete;
    }
    if (r.x <= kPlungerShownUpTo) DrawSprite(kSpritePlunger, r.x, r.y);
    if (GAME_PHASE == 8) return RecordFate::Delete;
    return RecordFate::Keep;
}
}  // namespace

double SpawnReelDiver(double x, double y) {
    REEL_DIVERS.push(ReelDiver{truncateToInt32(x), truncateToInt32(y), 0, 0, 0});
    return 0.0;
}

double UpdateReelDivers() {
    walkFamily(REEL_DIVERS, stepReel);
    return 0.0;
}
