// The play surface stretched over the window inside the overscan margins.
#include "game/world/play_surface.h"

#include "game/world/game_sprites.h"
#include "game/world/game_state.h"
#include "gfx2d/gfx2d_commands.h"

namespace {
constexpr int32_t kQuadBatch = 0;
}

double PresentPlaySurface() {
    const double left = OVERSCAN_H;
    const double top = OVERSCAN_V;
    const double right = SCREEN_W - OVERSCAN_H;
    const double bottom = SCREEN_H - OVERSCAN_V;
    SetSmoothing(0);
    BeginPolygon(kSpritePlaySurface, kQuadBatch);
    AddPolygonVertex(left, top, 0, 0, kWhite);
    AddPolygonVertex(left, bottom, 0, kPlayHeight, kWhite);
    AddPolygonVertex(right, bottom, kPlayWidth, kPlayHeight, kWhite);
    AddPolygonVertex(right, top, kPlayWidth, 0, kWhite);
    EndPolygon();
    return 0.0;
}
