// The readable text form of a level, kept in the repository and compiled
// into the level files:
//
//   size 15 10
//   ###############
//   #P....G.......#      one line of glyphs per row
//   ...
//   params 37 0 0 0 0 0 0 0 0 0   only when the fish parameters are not the
//                                 fish glyphs' cells in reading order
//   cell 3 4 12                   an explicit code for one cell
//
// A plain "#" is rock: the compiler picks the rock tile whose outlined sides
// face the non-wall neighbours, so walls join. A "?" stands for a code that
// has no glyph and needs a "cell" line. The reverse direction writes the
// canonical text of any level file, so that text -> file -> text and
// file -> text -> file both give back the same bytes.
#pragma once
#include <string>
#include <vector>

#include "level_data.h"

namespace levels {

// Glyph and code tables (one table serves both directions, and gives the
// colour of the cell's block in the editor's level picture).
struct Glyph {
    char glyph;
    int8_t code;
    const char* name;
    uint32_t colour;  // 0xRRGGBB
};
const std::vector<Glyph>& glyphTable();
// The entry of a cell's code: the rock glyph's for rock of every outline;
// nullptr for a code without a glyph.
const Glyph* glyphOfCode(int32_t code);
constexpr char kRockGlyph = '#';
constexpr char kExplicitGlyph = '?';

// The rock tile for the sides of a rock cell that face water: bit 1 top,
// 2 bottom, 4 left, 8 right.
enum Side : int { kTop = 1, kBottom = 2, kLeft = 4, kRight = 8 };
int8_t rockTileFor(int sides);
// Rock tiles are 1 to 6 and 8 to 17 (7 is weed).
bool isRockTile(int32_t code);
// Solid tiles (1 to 21 but the weed, 7) are walls for the rock outline.
bool isWallCode(int32_t code);

// The fish parameters that the fish cells (35, 38) give in reading order.
std::array<int16_t, kParamCount> fishParamsInReadingOrder(const LevelData& level);

// Text to level; false with "line N: reason" lines in `errors`.
bool parseLevelText(const std::string& text, LevelData& level, std::vector<std::string>& errors);
// The canonical text of a level.
std::string levelToText(const LevelData& level);

}  // namespace levels
