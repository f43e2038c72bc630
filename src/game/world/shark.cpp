// The shark of the last level: enters at x 320 swimming left, takes the story
// diver as it passes x 150 (SHARK_X, read by the story divers in the next
// frame), turns at x 111 and leaves to the right; past x 320 it sets GAME_WON.
#include "game/world/creature_rules.h"
#include "game/world/game_sprites.h"
#include "game/world/submarine_scenes.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

namespace {
constexpr int32_t kTurnBelowX = 112;
constexpr int32_t kGoneAboveX = 320;
constexpr int32_t kTicksPerFrame = 5;
constexpr int32_t kFramesPerHeading = 4;

RecordFate stepShark(Shark& s) {
    s.tick += 1;
    if (s.tick > kTicksPerFrame) {
        s.frame += 1;
        s.tick = 0;
    }
    if (s.frame > 3) s.frame = 0;
    s.x += s.heading == 1 ? 1 : -1;
    if (s.x < kTurnBelowX) s.heading = 1;
    if (s.x > kGoneAboveX) {
        GAME_WON = 1;
        return RecordFate::Delete;
    }
    DrawAnimFrame(kSpriteShark, s.frame + s.heading * kFramesPerHeading, s.x, s.y);
    SHARK_X = s.x;
    return RecordFate::Keep;
}
}  // namespace

double SpawnShark(double x, double y) {
    SHARKS.push(Shark{truncateToInt32(x), truncateToInt32(y), 0, 0, 0});
    return 0.0;
}

double UpdateSharks() {
    walkFamily(SHARKS, stepShark);
    return 0.0;
}
