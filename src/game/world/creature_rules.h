// Rules that the diver, the creatures, the objects and the story actors
// share beyond the walk and the step clock of family_walk.h: reading the
// neighbour cells of MAP, the catch of the diver, the directions in which a
// record moves, and the bursts of breath bubbles.
//
// Every grid access goes through grid_cells.h: beyond the 30 x 30 grids
// lies rock.
#pragma once
#include <cstdint>

#include "game/world/cell_codes.h"
#include "game/world/family_walk.h"
#include "game/world/game_state.h"
#include "game/world/grid_cells.h"
#include "runtime/services/isaac.h"

// Blast fire burns in the record's cell.
inline bool inBlastFire(CellPos p) { return overlayCell(p) == cell::kBlastFire; }

// The catch: the diver's code (22) is in the creature's cell while the diver
// rests and the level is not lost yet; the level is lost with the pop sound
// and a pop at the creature, which stays.
inline bool diverCaughtAt(CellPos p) {
    return mapCell(p) == cell::kDiver && stepAtRest() && LEVEL_LOST == 0;
}
inline void catchDiverIfHere(CellPos p, int32_t x, int32_t y) {
    if (diverCaughtAt(p)) loseLevelWithPop(x, y);
}

// Directions of the diver, the sponges and the pushed objects, by their
// direction number 1 right, 2 down, 3 left, 4 up (0 and others: no move).
struct Offset {
    int32_t dx, dy;
};
inline Offset offsetOfDir(int32_t dir) {
    switch (dir) {
        case 1: return {1, 0};
        case 2: return {0, 1};
        case 3: return {-1, 0};
        case 4: return {0, -1};
        default: return {0, 0};
    }
}

// A creature's claim at the start of a diver step: the cell it moves into
// takes its code, and the cell it leaves is water.
inline void claimCell(CellPos at, Offset step, int32_t code) {
    mapCell(at, step.dx, step.dy) = code;
    mapCell(at) = cell::kWater;
}

// Fish (up and down a column) and anglers (left and right along a row) swim
// to and fro: heading 0 goes `forward`, heading 1 the other way; `ahead` and
// `behind` are what they see on the two sides (0 free, above 0 blocked,
// below 0 neither). At the start of a diver step, four tests in order, each
// on the heading the earlier ones left: swim on while the way is free, or
// turn where it is blocked and the other way is free, claiming the cell
// with `code`. With both ways blocked the swimmer stays and keeps its
// heading; a diver hiding in weed (IN_WEED) stops it from starting a move.
template <class Swimmer>
void swimToAndFro(Swimmer& s, CellPos at, Offset forward, double ahead, double behind, int32_t code) {
    const Offset back{-forward.dx, -forward.dy};
    auto swim = [&](Offset way) {
        claimCell(at, way, code);
        s.moving = 1;
    };
    s.moving = 0;
    if (IN_WEED != 0) return;
    if (s.heading == 0 && ahead == 0) swim(forward);
    if (s.heading == 1 && behind == 0) swim(back);
    if (s.heading == 0 && ahead > 0 && behind == 0) {
        s.heading = 1;
        swim(back);
    }
    if (s.heading == 1 && behind > 0 && ahead == 0) {
        s.heading = 0;
        swim(forward);
    }
}

// One burst of breath bubbles: a counter runs from 0 while it is at most a
// fresh RandomInt(limit) drawn at each test, and each pass lets out one
// bubble; so 1 to limit + 1 bubbles. The random draw of each test comes
// before the draws of the bubble it lets out.
template <class PushBubble>
void bubbleBurst(int32_t limit, PushBubble&& pushBubble) {
    for (int32_t i = 0; i <= RandomInt(limit); ++i) pushBubble();
}

// A breath bubble of kind 0 (air) or 1 (a bomb's) at (x, y) with a random
// frame 0 to 2.
inline void pushBreathBubble(double x, int32_t y, int32_t kind) {
    Bubble bubble{};
    bubble.x = x;
    bubble.y = y;
    bubble.frame = RandomInt(2);
    bubble.kind = kind;
    BUBBLES.push(bubble);
}
