// The play surface stretched over the window inside the overscan margins.
//
// Departure: with a margin set the window is painted black before the
// stretch. Nothing else draws outside the play surface, so the margins went
// on showing whatever was drawn there before: a margin that grew on the
// options screen, or the level's tiles drawn straight into the window in
// the frame that reloads a level after the diver's death.
#include "game/world/play_surface.h"

#include "game/world/game_sprites.h"
#include "game/world/game_state.h"
#include "gfx2d/gfx2d_commands.h"

namespace {
constexpr int32_t kQuadBatch = 0;
constexpr int32_t kBlack = 0;
}

double PresentPlaySurface() {
    const double left = OVERSCAN_H;
    const double top = OVERSCAN_V;
    const double right = SCREEN_W - OVERSCAN_H;
    const double bottom = SCREEN_H - OVERSCAN_V;
    if (OVERSCAN_H != 0 || OVERSCAN_V != 0) FillRect(0, 0, SCREEN_W, SCREEN_H, kBlack);
    SetSmoothing(0);
    BeginPolygon(kSpritePlaySurface, kQuadBatch);
    AddPolygonVertex(left, top, 0, 0, kWhite);
    AddPolygonVertex(left, bottom, 0, kPlayHeight, kWhite);
    AddPolygonVertex(right, bottom, kPlayWidth, kPlayHeight, kWhite);
    AddPolygonVertex(right, top, kPlayWidth, 0, kWhite);
    EndPolygon();
    return 0.0;
}
