// The five sea creatures that can catch the diver: starfish, crabs, fish,
// anglers and octopuses (starfish.cpp, crabs.cpp, fish.cpp, anglers.cpp,
// octopuses.cpp). Each moves on the diver's step clock, catches a diver who
// ends up in its cell, and dies in blast fire, which loses the level too.
// Positions are cells; every routine returns 0.0.
//
// Cell codes written: starfish 24, fish 25, octopus 26, crab 31, angler 48.
#pragma once

// Follows the walls on the side of its hand (-1 left, +1 right): heading 3
// (up) for hand -1, 1 (down) for hand +1, else 0.
double SpawnStarfish(double column, double row, double hand);
// Heading 0 right, 1 left; takes the next CRAB_SERIAL.
double SpawnCrab(double column, double row, double heading);
// Heading 0 up, 1 down; `spare` keeps the level parameter that named it.
// The cell becomes 25.
double SpawnFish(double column, double row, double heading, double spare);
// Makes the level dark; the cell becomes 48.
double SpawnAngler(double column, double row);
double SpawnOctopus(double column, double row);

double UpdateStarfish();
double UpdateCrabs();
double UpdateFish();
double UpdateAnglers();
double UpdateOctopuses();
