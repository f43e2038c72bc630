// What every creature, item and effect family shares: the walk over its
// records, the step clock by which the creatures move in lockstep with the
// diver, and the rule by which a level is lost with a pop.
//
// The walk: the index starts at 0 and each pass reads the array's current
// count, so records pushed during the walk are reached in the same walk. A
// record is stepped and then kept or deleted in place (later records move
// down and the index stays, so the next record is handled next). The step
// works on a copy that is written back when the record is kept: a step may
// push onto its own family (the storage may move) without losing its record.
// A step that empties the arrays (a level reload) stops the walk.
#pragma once
#include <cstdint>

#include "game/world/cell_codes.h"
#include "game/world/game_state.h"
#include "runtime/services/mathematics.h"

enum class RecordFate {
    Keep,      // the (changed) record is written back
    Delete,    // removed in place; the next record takes its index
    StopWalk,  // the walk ends at once; nothing is written back
};

template <class T, class Step>
void walkFamily(RtArray<T>& family, Step&& step) {
    for (int32_t i = 0; i < family.d1;) {
        T record = family.at(i);
        RecordFate fate = step(record);
        if (fate == RecordFate::StopWalk) return;
        if (fate == RecordFate::Delete) {
            family.remove(i);
        } else {
            family.at(i) = record;
            ++i;
        }
    }
}

// Deletes element 0 until the family is empty.
template <class T>
void emptyFamily(RtArray<T>& family) {
    while (family.d1 > 0) family.remove(0);
}

// The step clock. UpdatePlayer sets STEP_TICKS to 8 when the diver begins a
// step and lowers it by one a frame; a creature leaves its cell in the first
// frame (8), moves 2 pixels a frame while the clock runs, and writes its code
// into its cell while the clock stands at 0.
constexpr int32_t kStepFrames = 8;
constexpr int32_t kStepPixelsPerFrame = 2;
inline bool stepStarting() { return STEP_TICKS == kStepFrames; }
inline bool stepRunning() { return STEP_TICKS > 0; }
inline bool stepAtRest() { return STEP_TICKS == 0; }

// A level is lost: LEVEL_LOST = 1, the pop sound (unless the family plays
// none), a Pop at (x, y). The caller tests its own conditions first
// (LEVEL_LOST 0, its cell, the clock) and deletes its record where it dies.
void loseLevelWithPop(int32_t x, int32_t y, bool withSound = true);
