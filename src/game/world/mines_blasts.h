// Sea mines (mines.cpp) and the blasts of mines and bombs (blasts.cpp).
//
// A mine (43 in MAP, written by the level map) goes off while the diver
// rests when any neighbour holds a code above 20: the diver, a creature, a
// boulder or bomb, another mine. A blast is a cross of fire over five cells
// (its centre and the four neighbours) that burns for 23 frames, writing 99
// into OVERLAY each frame; MINE_FIRED stays 1 from the explosion until a
// blast ends, and no diver step begins while any blast burns. Positions are
// cells; every routine returns 0.0.
#pragma once

double SpawnMine(double column, double row);
double SpawnBlast(double column, double row);

double UpdateMines();
double UpdateBlasts();
