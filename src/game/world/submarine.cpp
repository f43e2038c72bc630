// The submarine of the story: approaches from the right to x 144 in phase 7
// (one pixel per five frames), plays its level's scene there, and in phase 9
// leaves to the right; at x 241 the scene ends (phase 10) and the submarine
// is deleted.
#include "game/world/creature_rules.h"
#include "game/world/effects.h"
#include "game/world/game_sounds.h"
#include "game/world/game_sprites.h"
#include "game/world/story_places.h"
#include "game/world/submarine_scenes.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

namespace {
constexpr int32_t kGoneX = 241;   // where the scene ends on the way out
constexpr int32_t kBubbleEvery = 11;
constexpr int32_t kMoveEvery = 4;  // a pixel once the move tick exceeds this
constexpr int32_t kGemEvery = 6;
constexpr int32_t kGemsToSend = 100;
constexpr int32_t kSharkStartX = 320, kSharkY = 56;

// Two bubbles from the stern; the random draws in field order.
void exhaleBubbles(const Submarine& s) {
    for (int i = 0; i < 2; ++i) {
        const int32_t x = s.x + 75 + RandomInt(10);
        const int32_t y = s.y + 23 + RandomInt(10);
        pushBreathBubble(x, y, 0);
    }
}

// The counter of the till: the quote card with a gem and the shopkeeper.
void drawTill() {
    DrawAnimFrame(kSpriteQuote, 2, 90, 10);
    DrawAnimFrame(kSpriteGem, ANIM_FRAME, 123, 27);
    DrawAnimFrame(kSpriteDiver, ANIM_FRAME + 12, 148, 27);
}

// Last level, every sixth frame at x 144: one gem flies from the diver's
// cell; once 100 have flown, the till rings and the story diver appears.
void sellGems(Submarine& s) {
    s.gemTick += 1;
    if (s.gemTick != kGemEvery) return;
    s.gemTick = 0;
    if (s.gemsSent < kGemsToSend) {
        SpawnFlyingGem(cellOf(PLAYER_X), cellOf(PLAYER_Y));
        s.gemsSent += 1;
    } else if (GAME_PHASE == 7) {
        PlayGameSound(SoundTill, SOUND_VOLUME);
        SPEECH_FRAME = 4;
        SpawnDiver(kFinaleDiverColumn, kStoryDiverRow);
        GAME_PHASE = 9;
    }
}

RecordFate stepSubmarine(Submarine& s) {
    s.bubbleTick += 1;
    if (s.bubbleTick == kBubbleEvery) {
        exhaleBubbles(s);
        s.bubbleTick = 0;
    }
    DrawSprite(kSpriteSubmarine, s.x, s.y);
    if (GAME_PHASE == 7 && s.x > kSubmarineStopX) {
        s.moveTick += 1;
        SHAKE_X = 0;
    }
    const bool lastLevelAtStop = LEVEL == kLastLevel && s.x == kSubmarineStopX;
    if (lastLevelAtStop || GAME_PHASE == 8) drawTill();
    if (lastLevelAtStop) sellGems(s);
    if (LEVEL == 0 && s.x == kSubmarineStopX && s.reelSent == 0) {
        PlayGameSound(SoundBoom, SOUND_VOLUME);
        SpawnReelDiver(kSubmarineStopX, kStoryDiverY);
        s.reelSent = 1;
    }
    if (GAME_PHASE == 9) s.moveTick += 1;
    if (s.moveTick > kMoveEvery) {
        s.moveTick = 0;
        s.x += GAME_PHASE == 9 ? 1 : -1;
    }
    if (GAME_PHASE == 9 && s.x >= kGoneX) {
        GAME_PHASE = 10;
        if (LEVEL == 0) {
            PLAYER_CONTROL = 1;
            SPEECH_FRAME = -1;
        }
        if (LEVEL == kLastLevel) {
            PLAYER_CONTROL = 1;
            SHARKS.push(Shark{kSharkStartX, kSharkY, 0, 0, 0});
        }
        return RecordFate::Delete;
    }
    return RecordFate::Keep;
}
}  // namespace

double SpawnSubmarine(double column, double row) {
    SUBMARINES.push(
        Submarine{truncateToInt32(column) * kCellPixels, truncateToInt32(row) * kCellPixels, 0, 0, 0, 0, 0, 0});
    return 0.0;
}

double UpdateSubmarine() {
    walkFamily(SUBMARINES, stepSubmarine);
    return 0.0;
}
