// The darkness mask and its holes.
#include "game/world/darkness_mask.h"

#include "game/world/game_sprites.h"
#include "game/world/game_state.h"
#include "gfx2d/gfx2d_commands.h"

namespace {
constexpr int32_t kHoleRadius = 28;
constexpr int32_t kBlack = 0;
}  // namespace

double DrawHoleCircle(int32_t cx, int32_t cy, int32_t r) {
    forEachHoleLine(cx, cy, r, [](int32_t x, int32_t y, int32_t width) {
        FillRect(x, y, width, 1, kSeeThroughColour);
    });
    return 0.0;
}

double DrawDarknessMask() {
    SelectScreen(kScreenDarkness);
    FillRect(0, 0, kPlayWidth, kPlayHeight, kBlack);
    DrawHoleCircle(PLAYER_X + 8, PLAYER_Y + 8, kHoleRadius);
    for (int32_t i = 0; i < ANGLERS.d1; ++i) {
        const Angler& angler = ANGLERS.at(i);
        DrawHoleCircle(angler.x + 8, angler.y + 8, kHoleRadius);
    }
    SelectScreen(kScreenPlay);
    return 0.0;
}
