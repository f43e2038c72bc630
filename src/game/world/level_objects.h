// The loader's passes that turn a level's spawn codes into records (only
// when the level is played, not edited).
#pragma once

// Every cell from row 0, column 0 on is tested against each spawn code in
// table order, each test reading the cell afresh; a match pushes the
// family's record at the cell's pixel position.
void spawnLevelObjects();
// Level 0: the story's diver at cell (5, 4), whatever the file put there.
void spawnStoryDiver();
// Parameters 0 to 9: a value above 0 names the cell x + 15 * y; a 35 there
// becomes a fish heading up, a 38 one heading down (the cell becomes 25).
void spawnLevelFish();
