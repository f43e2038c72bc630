// Level files and the level loader.
//
// A level file, "Data/shol<n>.dat" (read) or "data/shol<n>.dat" (written by
// the editor; the file layer resolves names without regard to case, so both
// name the same file), holds, little-endian and without a header: the
// highest column index and the highest row index (signed 16-bit each), one
// signed byte per cell row by row, then the ten level parameters (signed
// 16-bit). A 1 x 1 level is 25 bytes.
//
// Failure: a missing or short file ends the program with error 3 (the file
// layer's fatal read). There is no fallback level. A level larger than the
// 30 x 30 grids loads its top-left 30 x 30 part (SIZE_X and SIZE_Y held to
// 29), and negative sizes load no cells; a parameter naming a cell beyond
// the grids makes no fish, and an oyster in row 0 has its upper cell beyond
// them, where nothing is kept (grid_cells.h).
#pragma once
#include <cstdint>

#include "runtime/strings/rt_string.h"

// "Data/shol" + level + ".dat".
RtString levelFileName(int32_t level);

// Dimensions MAP and OVERLAY to 30 x 30 and LEVEL_PARAM to 10 (done once by
// the game's main routine before any level loads).
void DimensionLevelGrids();

// True when the level's file, as LoadLevel would open it, holds the two
// sizes, every cell and the ten parameters: a load of it cannot end the
// program. Reads nothing into the game's state; RtErrorCode is left at 0.
// A file that another program is saving is waited for, as by every open
// for reading (about a second at most), so a whole level is never taken
// for a damaged one while it is saved.
bool LevelFileIsWhole(int32_t level);

// Resets the grids and the level state, reads the level's file into MAP and
// LEVEL_PARAM and, when PLAY_MODE is above 0, turns the spawn codes into
// records; then draws the map picture on screen 4. LEVEL is the caller's.
double LoadLevel(int32_t level);
// Writes MAP and LEVEL_PARAM as "data/shol<level>.dat", saved whole: a save
// that fails (no folder, a full disk) leaves the old file as it was, records
// error 3 and writes a line to the error log. SaveLevelFile: the same, true
// when the file was saved.
double SaveLevel(int32_t level);
bool SaveLevelFile(int32_t level);
// Empties the record arrays of a level (all but blood, flying gems, reels and
// explosions, which LoadLevel empties itself).
double ClearLevel();
// MAP cells 0..29 x 0..29 to 1, OVERLAY to 0, the parameters to 0, the
// editor's scroll to 0.
double ResetLevelGrids();
// One-off converter of the older files "data/sr<n>.dat" (n 1 to 19): every
// cell code above 21 moves up by 10, written as "data/shol<n>.dat". A missing
// old file is skipped. LEVEL is 20 afterwards.
double ConvertLevelFile();
