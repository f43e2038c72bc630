// Where the story of level 0 and of the last level plays, in cells of the
// map or in pixels of the play surface: the game's story actors and the
// level checker (which asks the two story levels to leave these places
// free) read them from here.
#pragma once
#include <cstdint>

#include "game/world/cell_codes.h"

// Both story divers stand in row 4 (y 64): level 0's at column 5, placed by
// the loader; the last level's at column 10 (x 160), where the gems the
// diver sells fly to the submarine's counter.
constexpr int32_t kStoryDiverRow = 4;
constexpr int32_t kOpeningDiverColumn = 5;
constexpr int32_t kFinaleDiverColumn = 10;
constexpr int32_t kStoryDiverY = kStoryDiverRow * kCellPixels;
constexpr int32_t kFinaleDiverX = kFinaleDiverColumn * kCellPixels;
// The submarine's counter, where the gems of the last level fly: the cell
// the finale diver stands in.
constexpr int32_t kCounterX = kFinaleDiverX;
constexpr int32_t kCounterY = kStoryDiverY;

// The submarine stops at x 144 to play its scene; the level-0 diver speaks
// while he is left of it.
constexpr int32_t kSubmarineStopX = 144;

// The quake opens this column of the map (rows 1 to 7).
constexpr int32_t kQuakeColumn = 14;
