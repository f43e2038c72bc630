// Bubbles: each rises one pixel a frame with a wobble of half a pixel, takes
// the next of its four frames every 61 updates, and goes once it has risen
// above y -10 (drawn there one last time).
#include "game/world/effects.h"
#include "game/world/family_walk.h"
#include "game/world/game_sprites.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/isaac.h"
#include "runtime/services/mathematics.h"

double SpawnBubble(double x, double y, double frame, double kind) {
    BUBBLES.push(Bubble{x, truncateToInt32(y), 0, truncateToInt32(frame), truncateToInt32(kind), 0});
    return 0.0;
}

double UpdateBubbles() {
    walkFamily(BUBBLES, [](Bubble& bubble) {
        bubble.tick += 1;
        if (bubble.tick >= 61) {
            bubble.tick = 0;
            if (bubble.frame < 3) bubble.frame += 1;
        }
        bubble.y -= 1;
        bubble.x += RandomInt(1) - 0.5;
        DrawAnimFrame(kSpriteBubbles, bubble.frame + bubble.kind * 4, truncateToInt32(bubble.x), bubble.y);
        return bubble.y < -10 ? RecordFate::Delete : RecordFate::Keep;
    });
    return 0.0;
}
