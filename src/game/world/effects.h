// The short-lived effects and the weeds: their spawn routines and the
// routines that step and draw them once a frame. Each family lives in its own
// file (bubbles.cpp, bubble_vents.cpp, pops.cpp, sparkles.cpp,
// explosions.cpp, flying_gems.cpp, blood.cpp, weeds.cpp) and follows the walk
// of family_walk.h. Every routine returns 0.0.
//
// Sprites: 1 tiles (vent frame 40), 4 bubbles, 20 gem (sparkles, flying gems),
// 60 pop, 95 explosion, 120 blood, 130 weed.
#pragma once

// Pixel positions.
double SpawnPop(double x, double y);      // {x, y, 0, 0}
double SpawnSparkle(double x, double y);  // {x, y, 0, 4}
double SpawnBlood(double x, double y);    // scattered by up to 8 pixels, alpha -1
double SpawnBubble(double x, double y, double frame, double kind);
// Cell positions.
double SpawnExplosion(double column, double row);
double SpawnFlyingGem(double column, double row);
double SpawnBubbleVent(double column, double row);
double SpawnWeed(double column, double row);  // MAP cell 0, OVERLAY cell 7

double UpdateBubbles();
double UpdateBubbleVents();
double UpdateBlood();
double UpdateSparkles();   // a finished sparkle lowers GEMS_LEFT
double UpdateExplosions();
double UpdateFlyingGems();
// The pops: a pop whose frame passes 7 reloads the current level (which
// empties the pops) and ends the walk.
double UpdatePops();
double AnimateWeeds();
