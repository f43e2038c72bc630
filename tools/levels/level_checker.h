// The level checker: what a level must hold for the game to load and play it
// without leaving its grids, and to be winnable at all. Every problem is one
// line of text; a sound level has none.
//
//   exactly one diver; at least one gem; no more than the 15 x 10 cells that
//   the play surface shows; the outer rows and columns solid; codes only
//   water, the tiles (1 to 21, 23) and the spawn codes (32 to 48); fish
//   parameters naming a fish cell (35 or 38) inside the level, and every
//   fish cell named; no code above 20 beside a mine as the level loads (a
//   mine would go off in the first frame); no oyster in row 0, and water
//   above every oyster (the oyster fills that cell); the first level keeps
//   the story's cells: (5, 4) free for the story's diver with nothing above
//   20 beside it, and column 14 rock in rows 0 to 8 for the quake to open;
//   the last level keeps (10, 4) free for the diver the submarine leaves.
//
// A crab may walk a ledge: the ledge rule turns it back into a cell it
// claims only when that cell is free (crabs.cpp), so no ledge needs refusing.
#pragma once
#include <string>
#include <vector>

#include "level_data.h"

namespace levels {

// `number` is the level's number (0 to 30), or -1 when it is not known.
std::vector<std::string> checkLevel(const LevelData& level, int32_t number);

}  // namespace levels
