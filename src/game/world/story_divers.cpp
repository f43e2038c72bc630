// The story divers (not the player's): they stand in their cell (80), breathe,
// talk through speech bubbles, leave when the reel hauls them in (REELED_IN)
// and are taken by the shark when it passes x 150. During the quake they
// speak: frame 0 while it is strong (above 149 frames left), then frame 1
// with pose 0.
#include "game/world/creature_rules.h"
#include "game/world/effects.h"
#include "game/world/game_sprites.h"
#include "game/world/story_places.h"
#include "game/world/submarine_scenes.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

namespace {
constexpr int32_t kStrongQuake = 149;
constexpr int32_t kBreathEvery = 60;
constexpr int32_t kSpeechFrames = 6;    // their bubbles are the speech sprite's frames from 6
constexpr int32_t kSharkTakesAtX = 150;
constexpr int32_t kBloodClouds = 11;

RecordFate stepDiver(Diver& d) {
    if (SHAKE_TIME > kStrongQuake) {
        SPEECH_FRAME = 0;
    } else if (SHAKE_TIME >= 1) {
        d.pose = 0;
        SPEECH_FRAME = 1;
    }
    DrawAnimFrame(kSpriteDiver, ANIM_FRAME + 8 + d.pose * 4, d.x, d.y);
    d.bubbleTick += 1;
    if (d.bubbleTick > kBreathEvery) {
        bubbleBurst(2, [&] { pushBreathBubble(d.x + 9, d.y + RandomInt(7), 0); });
        d.bubbleTick = 0;
    }
    if (REELED_IN == 1) {
        mapCell(cellAt(d.x, d.y)) = cell::kWater;
        return RecordFate::Delete;
    }
    if ((LEVEL == 0 && SPEECH_FRAME >= 0 && d.x < kSubmarineStopX) || LEVEL == kLastLevel) {
        DrawAnimFrame(kSpriteSpeech, SPEECH_FRAME + kSpeechFrames, d.x + 6, d.y - 12);
    }
    if (SHARK_X == kSharkTakesAtX) {
        for (int32_t i = 0; i < kBloodClouds; ++i) SpawnBlood(d.x, d.y);
        SPEECH_FRAME = 0;
        PLAYER_CONTROL = 0;
        return RecordFate::Delete;
    }
    return RecordFate::Keep;
}
}  // namespace

double SpawnDiver(double column, double row) {
    const int32_t c = truncateToInt32(column);
    const int32_t r = truncateToInt32(row);
    mapCell(c, r) = cell::kStoryDiver;
    DIVERS.push(Diver{c * kCellPixels, r * kCellPixels, 30, 1, 0, 0});
    return 0.0;
}

double UpdateDivers() {
    walkFamily(DIVERS, stepDiver);
    return 0.0;
}
