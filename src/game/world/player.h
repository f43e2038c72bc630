// The player's diver: one cell a step, steered by the controller's four
// directions, pushing boulders and bombs sideways, breathing bubbles, hiding
// in weed, and showing the story's speech above it. Its step starts the step
// clock STEP_TICKS by which every creature moves (family_walk.h).
#pragma once

// Pushes a Player {column * 16, row * 16, 0, ..., pushDelay RandomInt(20)}.
double SpawnPlayer(double column, double row);

// One frame of every Player record (normally one): reads its four
// neighbours, dies in blast fire (a pop; the level reloads when it ends),
// takes input while the clock, the cooldown, LEVEL_LOST and MINE_FIRED are
// all 0, moves 2 pixels a frame during a step, draws, breathes, keeps its
// code 22 in MAP and the weed flags, and draws the speech sprite.
double UpdatePlayer();

// A direction counts as pressed when its action reads above 600, or else its
// pad action ("PadL_" + the direction) is not 0.
bool directionPressed(const char* action, const char* padAction);
