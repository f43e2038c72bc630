// The things the diver collects: gems (counted down in GEMS_LEFT once their
// sparkle ends), pearls (carried one at a time) and the oysters that a
// carried pearl opens. gems.cpp, pearls.cpp, oysters.cpp; each routine
// returns 0.0.
#pragma once

double SpawnGem(double column, double row);    // GEMS_LEFT + 1, MAP 0, OVERLAY 23
double SpawnPearl(double column, double row);  // MAP 0
// (column, row) is the oyster's lower cell; the upper one receives 46 too.
double SpawnOyster(double column, double row);

double UpdateGems();
double UpdatePearls();
double UpdateOysters();
