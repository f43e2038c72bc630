// The objects that the diver moves: sponges (sponges.cpp), boulders
// (boulders.cpp) and bombs (bombs.cpp). Sponges slide one cell in any
// direction ahead of a diver stepping toward them; boulders and bombs (code
// 39 at rest) fall when nothing holds them, are pushed sideways through the
// push request 99 that the diver writes into their cell, and crush what they
// fall into; a bomb that lands after a fall of more than two frames, or that
// stands in blast fire, explodes into a blast. Positions are cells; every
// routine returns 0.0.
#pragma once

double SpawnSponge(double column, double row);
double SpawnBoulder(double column, double row);
// The bubble interval is RandomInt(90).
double SpawnBomb(double column, double row);

double UpdateSponges();
double UpdateBoulders();
double UpdateBombs();
