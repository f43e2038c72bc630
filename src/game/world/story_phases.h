// The story of level 0 and of the last level as the in-game loop runs it
// (GAME_PHASE): 0 the opening, in which level 0's speech frames count up
// until the player may act; 1 the two speech bubbles after the diver met the
// story diver; 2 the briefing picture for 300 frames; 5 waits for a quiet
// sea and starts a quake of 300 frames (6); at its end the submarine comes
// (7); 7 to 10 belong to the submarine scenes (submarine_scenes.h), with 8
// counted on to 9 here. The last level starts the same quake once its gems
// are taken and gets its submarine at the quake's last frame.
#pragma once
#include <cstdint>

// Frame step 3 (run_game.h): level 0 in phase 0 shows speech frames 0 to 4, one per 101
// frames; control is given once frame 4 shows.
void runLevelZeroOpening();
// Frame step 5 (run_game.h): the last level with every gem taken starts its finale
// (GEMS_LEFT -1, so this runs once).
void startLastLevelFinale();
// Frame step 13 (run_game.h): phases 1, 5, 6 and 8 of level 0.
void runLevelZeroStory();
// Frame step 14 (run_game.h): while SHAKE_TIME runs, explosions rise along column 14
// (frames 149 down to 51, with a boom every sixth), the screen shakes by
// -1, 0 or 1, and SHAKE_TIME counts down. `explosionCount` is the loop's.
void runQuake(int32_t& explosionCount);
// Frame step 16 (run_game.h): at SHAKE_TIME 100 the quake opens column 14 (rows 1 to 7
// to water, row 0 to tile 3, row 8 to tile 11).
void openQuakeColumn();
// Frame step 17 (run_game.h): the last level's submarine at SHAKE_TIME 1.
void sendLastLevelSubmarine();
// Frame step 22 (run_game.h): the briefing picture of phase 2 (any level), then phase 5
// after 301 frames.
void runBriefing();
