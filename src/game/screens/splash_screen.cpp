// The splash: the controls picture over the water and rising bubbles until
// "b1" or Space, which are ignored for the first 40 frames; the title menu
// follows. "b9" and "b10" show their names in the corner while held.
// Depends on the screen frame, the game world's bubbles and the input
// commands.
#include "game/screens/screen_bodies.h"
#include "game/screens/screen_frame.h"
#include "game/world/effects.h"
#include "game/world/game_sprites.h"
#include "gfx2d/gfx2d_commands.h"
#include "input/input_commands.h"

namespace {
constexpr int32_t kSpaceKey = 57;
constexpr int32_t kEntryCooldown = 40;
constexpr int32_t kLeaveCooldown = 20;
}  // namespace

GameScreen runSplashScreen() {
    bool leave = false;
    int32_t cooldown = kEntryCooldown;
    BubbleRelease bubbles;
    while (!leave) {
        beginScreenFrame();
        bubbles.step();
        if ((menuButtonPressed("b1") || ReadKeyState(kSpaceKey) != 0) && cooldown == 0) {
            leave = true;
            cooldown = kLeaveCooldown;
        }
        UpdateBubbles();
        DrawSprite(kSpriteController, 0, 0);
        if (menuButtonPressed("b9") && cooldown == 0) PrintText(RtString("B9"), 10, 10, 0);
        if (menuButtonPressed("b10") && cooldown == 0) PrintText(RtString("B10"), 10, 10, 0);
        presentScreenFrame();
        if (cooldown > 0) cooldown -= 1;
        endScreenFrame();
    }
    return GameScreen::Title;
}
