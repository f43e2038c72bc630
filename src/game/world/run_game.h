// The in-game screen: shows the level card (which loads the level), then
// runs one frame after another until the player leaves: the diver and every
// family updated and drawn on the 240 x 160 play surface in a fixed order
// (later routines see what earlier ones wrote), the story of level 0 and of
// the last level, the darkness mask on dark levels, the play surface
// stretched over the window inside the overscan margins, level completion,
// restart ("b3"), the quit box ("b2" opens it, "b2" closes it, "b1" leaves),
// and the exits to the ending page, the title menu or the level editor
// (screen_links.h).
#pragma once
#include <cstdint>

// Callers set LEVEL and PLAY_MODE first. A level whose file is not whole is
// not played: the game is left at once (logged). Returns 0.0 after the
// screen it leads to has returned.
double RunGame();

// The frame, in this order (later steps see what earlier ones wrote):
//   1 "b2" opens the quit box            16 at SHAKE_TIME 100 the quake opens
//   2 a won game is left after the frame     column 14
//   3 level 0's opening speech           17 the last level's submarine arrives
//   4 a level with every gem taken       18 the tile map, the submarine
//     leads to the next one              19 the quake's explosions
//   5 the last level's finale begins     20 the flying gems
//   6 the play surface: water, or dark   21 the shark, the blood clouds
//     blue on a dark level               22 the briefing picture
//   7 the shared animation frame         23 the darkness mask on a dark level
//   8 the diver, the story divers, the   24 the quit box: "b2" closes it, "b1"
//     reel, mines, blasts, bubbles,         leaves
//     starfish, octopuses, fish, crabs,  25 the play surface stretched over the
//     anglers, sponges, boulders, bombs,    window inside the overscan margins
//     gems                               26 STEP_COOLDOWN counts down
//   9 sparkles  10 weeds                 27 "b3" restarts the level
//  11 pearls, oysters                    28 the frame end, then "Update"
//  12 pops (a pop that has played        29 leaving to the next screen
//     reloads the level)
//  13 level 0's story phases
//  14 the quake  15 bubble vents

// The loop's own values, kept for one run of the screen.
struct GameLoop {
    int32_t quitOpen = 0;        // the quit box shows
    int32_t leave = 0;           // leave after this frame
    int32_t explosionCount = 0;  // quake explosions since the last boom
};

// RunGame in pieces, for the benchmark and for tests that run frames without
// the frame end. StartGame: STEP_COOLDOWN 20, PLAYER_CONTROL 1 from level 1
// on (0 in level 0), the level card, a black frame. RunGameFrame: one frame
// up to the restart test, before the frame end. LeaveGame: the exit to the
// next screen once `leave` is set.
void StartGame();
void RunGameFrame(GameLoop& loop);
double LeaveGame();
