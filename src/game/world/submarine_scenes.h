// The scripted actors of the story of level 0 and of the last level: the
// submarine (submarine.cpp), the story divers with their speech
// (story_divers.cpp), the reel that lowers a plunger and hauls a diver away
// (reel.cpp), the shark (shark.cpp), and the photo reel of zooming pictures
// (photo_reel.cpp), which the game itself never starts. They talk to the
// in-game loop and to the player's diver through GAME_PHASE, SPEECH_FRAME,
// REELED_IN, SHARK_X, GAME_WON, PLAYER_CONTROL and SHAKE_TIME.
//
// Level 0: the submarine comes in from the right to x 144, sends the reel,
// which hooks the story diver at x 92 and hauls him in to x 170 (phase 8);
// the loop counts on to phase 9, the submarine leaves to the right and at x
// 241 gives the player control (phase 10). Last level: the submarine waits
// at 144 while 100 gems fly from the diver to the counter, rings the till,
// puts a story diver at (160, 64) and leaves; the shark then crosses, takes
// that diver in a cloud of blood and, once it has left, sets GAME_WON.
#pragma once

// Positions in cells.
double SpawnSubmarine(double column, double row);
double SpawnDiver(double column, double row);  // MAP cell 80
// Positions in pixels.
double SpawnReelDiver(double x, double y);
double SpawnShark(double x, double y);
// One picture of the photo reel, zooming in from ten times its size at a
// random place and angle; photo 0 to 7.
double SpawnPhotoOverlay(double photo);

double UpdateSubmarine();
double UpdateDivers();
double UpdateReelDivers();
double UpdateSharks();
double UpdatePhotoOverlays();
