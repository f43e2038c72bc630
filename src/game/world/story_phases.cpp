// The story steps of the in-game frame (see story_phases.h for the phases).
#include "game/world/story_phases.h"

#include "game/world/effects.h"
#include "game/world/game_sounds.h"
#include "game/world/game_sprites.h"
#include "game/world/game_state.h"
#include "game/world/grid_cells.h"
#include "game/world/speech_bubbles.h"
#include "game/world/story_places.h"
#include "game/world/submarine_scenes.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/isaac.h"

namespace {
constexpr int32_t kSpeechEvery = 100;     // a speech frame once INTRO_TICK exceeds this
constexpr int32_t kLastOpeningSpeech = 4; // control is given when it shows
constexpr int32_t kQuakeFrames = 300;
constexpr int32_t kBoomEvery = 5;         // a boom once the explosion count exceeds this
constexpr int32_t kColumnOpensAt = 100;
constexpr int32_t kSubmarineColumn = 16, kSubmarineRow = 2;  // (256, 32)
constexpr int32_t kPhaseEightFrames = 450;                   // STORY_TICK reached in phase 8
constexpr int32_t kBriefingFirstPage = 150;
constexpr int32_t kBriefingEnd = 300;

void sendSubmarine() { SpawnSubmarine(kSubmarineColumn, kSubmarineRow); }
}  // namespace

void runLevelZeroOpening() {
    if (LEVEL != 0 || GAME_PHASE != 0) return;
    INTRO_TICK += 1;
    if (INTRO_TICK > kSpeechEvery) {
        if (SPEECH_FRAME < kLastOpeningSpeech) SPEECH_FRAME += 1;
        INTRO_TICK = 0;
    }
    if (SPEECH_FRAME == kLastOpeningSpeech) PLAYER_CONTROL = 1;
}

void startLastLevelFinale() {
    if (LEVEL != kLastLevel || GEMS_LEFT != 0) return;
    STORY_TICK = 0;
    GEMS_LEFT = -1;
    SPEECH_FRAME = 0;
    SHAKE_TIME = kQuakeFrames;
    PLAYER_CONTROL = 0;
    GAME_PHASE = 0;
}

void runLevelZeroStory() {
    if (LEVEL != 0) return;
    if (GAME_PHASE == 1) DrawSpeechBubble();  // which also moves on to phase 2
    if (GAME_PHASE == 5) {
        if (SHAKE_TIME == 0) {
            SHAKE_TIME = kQuakeFrames;
            GAME_PHASE = 6;
        }
    } else if (SHAKE_TIME == 0 && GAME_PHASE == 6) {
        sendSubmarine();
        GAME_PHASE = 7;
    }
    if (GAME_PHASE == 8) {
        STORY_TICK += 1;
        if (STORY_TICK >= kPhaseEightFrames) GAME_PHASE = 9;
    }
}

void runQuake(int32_t& explosionCount) {
    if (SHAKE_TIME <= 0) return;
    if (SHAKE_TIME >= 51 && SHAKE_TIME <= 149) {
        SpawnExplosion(kQuakeColumn, RandomInt(6) + 1);
        explosionCount += 1;
        if (explosionCount > kBoomEvery) {
            PlayGameSound(SoundBoom, SOUND_VOLUME);
            explosionCount = 0;
        }
    }
    SHAKE_X = RandomInt(2) - 1;
    SHAKE_TIME -= 1;
}

void openQuakeColumn() {
    if (SHAKE_TIME != kColumnOpensAt) return;
    for (int32_t row = 1; row <= 7; ++row) mapCell(kQuakeColumn, row) = 0;
    mapCell(kQuakeColumn, 0) = 3;
    mapCell(kQuakeColumn, 8) = 11;
}

void sendLastLevelSubmarine() {
    if (LEVEL != kLastLevel || SHAKE_TIME != 1) return;
    sendSubmarine();
    SHAKE_TIME = 0;
    GAME_PHASE = 7;
}

void runBriefing() {
    if (GAME_PHASE != 2) return;
    if (STORY_TICK < kBriefingFirstPage) {
        DrawAnimFrame(kSpriteQuote, 0, 21, 10);
        DrawAnimFrame(kSpriteFish, ANIM_FRAME, 27, 16);
        DrawAnimFrame(kSpriteOctopus, ANIM_FRAME, 49, 16);
        DrawAnimFrame(kSpriteSponge, ANIM_FRAME, 27, 38);
        DrawAnimFrame(kSpriteCrab, ANIM_FRAME, 49, 38);
    } else if (STORY_TICK < kBriefingEnd) {
        DrawAnimFrame(kSpriteQuote, 1, 21, 10);
    }
    SPEECH_FRAME = -1;
    STORY_TICK += 1;
    if (STORY_TICK > kBriefingEnd) GAME_PHASE = 5;
}
