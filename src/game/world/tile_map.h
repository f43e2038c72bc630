// The tile map: every MAP cell holding a tile code 1 to 23 drawn from the
// tile sheet (sprite 1, one row of 16 x 16 tiles, tile c at texture x c * 16)
// as one batch of strips, shifted by the quake's SHAKE_X. Codes 0 and below
// and 24 and above (creatures, spawn codes) are never drawn.
#pragma once

double DrawTileMap();
// The editor's map picture: screen 4 filled with the transparent colour
// over 320 x 240, the tile map drawn into it, then the window selected again.
double RenderMapSurface();
