// The tile map and the editor's map picture.
#include "game/world/tile_map.h"

#include "game/world/cell_codes.h"
#include "game/world/game_sprites.h"
#include "game/world/game_state.h"
#include "game/world/grid_cells.h"
#include "gfx2d/gfx2d_commands.h"

namespace {
constexpr int32_t kStripBatch = 2;
}

double DrawTileMap() {
    BeginPolygon(kSpriteTiles, kStripBatch);
    SetSmoothing(0);
    for (int32_t y = 0; y <= SIZE_Y; ++y) {
        for (int32_t x = 0; x <= SIZE_X; ++x) {
            const int32_t code = mapCell(x, y);
            if (code <= 0 || code >= cell::kFirstUndrawn) continue;
            const double left = x * kCellPixels + SHAKE_X;
            const double top = y * kCellPixels;
            const double u = code * kCellPixels;
            AddPolygonVertex(left, top, u, 0, kWhite);
            AddPolygonVertex(left, top + kCellPixels, u, kCellPixels, kWhite);
            AddPolygonVertex(left + kCellPixels, top, u + kCellPixels, 0, kWhite);
            AddPolygonVertex(left + kCellPixels, top + kCellPixels, u + kCellPixels, kCellPixels, kWhite);
            NewPolygonStrip();
        }
    }
    EndPolygon();
    return 0.0;
}

double RenderMapSurface() {
    SelectScreen(kScreenMapPicture);
    FillRect(0, 0, 320, 240, kSeeThroughColour);
    DrawTileMap();
    SelectScreen(kScreenWindow);
    return 0.0;
}
