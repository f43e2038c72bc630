// The ending page, after the last level: the procession (sprite 9) glides
// from x 300 to the left under the frame picture (sprite 7) for 461 frames;
// then the saved progress returns to level 0 and the title menu follows.
// And the wave page, which no screen leads to: 200 frames of a picture
// (sprite 2) drawn row by row, each row shifted by a cosine wave that moves
// on between visits, with a second picture (sprite 200) at double size over
// the window; then the title menu.
// Neither page reads input or sends "Update".
// Depends on the screen frame, the game world (progress file) and the 2-D
// commands.
#include "game/screens/screen_bodies.h"
#include "game/screens/screens.h"
#include "game/screens/screen_frame.h"
#include "game/world/config_file.h"
#include "game/world/game_sprites.h"
#include "game/world/game_state.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"
#include "shell/frame_end.h"

namespace {
constexpr int32_t kProcessionStart = 300;
constexpr int32_t kProcessionEnd = -160;  // done once the picture is left of this
constexpr int32_t kWaveFrames = 200;
constexpr int32_t kWaveRows = 81;
constexpr int32_t kWavePicture = 2;
constexpr int32_t kWaveOverlay = 200;
}  // namespace

GameScreen runEndingPage() {
    int32_t x = kProcessionStart;
    bool done = false;
    while (!done) {
        beginScreenFrame();
        DrawSprite(kSpriteFin, x, 30);
        x -= 1;
        done = x < kProcessionEnd;
        DrawSprite(kSpriteFin4, 0, 0);
        presentScreenFrame();
        EndFrame();
    }
    LEVEL = 0;
    SaveConfig();
    return GameScreen::Title;
}

GameScreen runWavePage() {
    for (int32_t frame = 0; frame < kWaveFrames; ++frame) {
        SelectScreen(kScreenPlay);
        for (int32_t i = 0; i < kWaveRows; ++i) {
            const int32_t x = truncateToInt32(10 * CosDeg(WAVE_PHASE + 2 * i) - 20);
            DrawAnimFrame(kWavePicture, i, x, 2 * i);
        }
        WAVE_PHASE += 2;
        presentScreenFrame();
        DrawSpriteScaled(kWaveOverlay, (SCREEN_W - 320) / 2, (SCREEN_H - 187) / 2, 2.0, 2.0);
        EndFrame();
    }
    return GameScreen::Title;
}
