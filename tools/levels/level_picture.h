// The level editor's picture of a level, "<n>.png" in the game's Media folder
// (the editor's working folder): one block of 16 x 16 pixels per cell, the
// size of the editor's map cells, coloured by the cell's kind, so that the
// picture lies under the map cell for cell. Rock of every outline shares one
// colour; a code without a glyph is grey.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "level_data.h"

namespace levels {

constexpr int32_t kPictureCellPixels = 16;

// "<n>.png", the name the editor loads on a level switch.
std::string levelPictureName(int32_t number);
// The colour of a cell's block, 0xRRGGBB.
uint32_t cellColour(int32_t code);
// RGBA bytes, rows top first, opaque: (width x 16) x (height x 16) pixels.
std::vector<uint8_t> drawLevelPicture(const LevelData& level);

}  // namespace levels
