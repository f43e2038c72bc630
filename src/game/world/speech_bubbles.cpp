// The speech bubbles of level 0's meeting.
#include "game/world/speech_bubbles.h"

#include "game/world/game_sprites.h"
#include "game/world/game_state.h"
#include "gfx2d/gfx2d_commands.h"

double DrawSpeechBubble() {
    PLAYER_CONTROL = 0;
    if (GAME_PHASE < 2) SPEECH_FRAME = 5;
    BUBBLE_TICK += 1;
    if (BUBBLE_TICK >= 8) {
        if (BUBBLE_STEP < 5) {
            BUBBLE1_X += 1;
            BUBBLE2_X -= 1;
        }
        BUBBLE_TICK = 0;
        BUBBLE_STEP += 1;
    }
    if (BUBBLE_STEP == 10 && GAME_PHASE < 2) GAME_PHASE = 2;
    DrawAnimFrame(kSpriteSpeech, 4, BUBBLE1_X, BUBBLE1_Y);
    DrawAnimFrame(kSpriteSpeech, 10, BUBBLE2_X, BUBBLE2_Y);
    return 0.0;
}
