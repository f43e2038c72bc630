// The two rules that boulders and bombs (code 39 at rest) share: settling
// in their cell, or starting to fall, while the diver rests; and taking the
// diver's push request 99 and sliding sideways with his step. What they fall
// through, land on and do on landing is each family's own.
#pragma once
#include "game/world/creature_rules.h"
#include "game/world/game_sounds.h"

// While the diver rests, a block that is not falling claims its cell with 39
// and drops any push; over free water (0 or below in MAP, nothing in
// OVERLAY) it leaves the cell to water and starts to fall.
template <class Block>
void settleOrStartFalling(Block& b, CellPos at) {
    if (!stepAtRest() || b.falling != 0) return;
    b.pushHeading = 0;
    mapCell(at) = cell::kBoulder;
    if (mapCell(at, 0, 1) <= 0 && overlayCell(at, 0, 1) == cell::kNothing) {
        mapCell(at) = cell::kWater;
        b.falling = 1;
    }
}

// At the start of a step, a block that is not falling and whose cell holds
// the push request takes the diver's direction (with the drag sound); while
// the step runs it slides 2 pixels a frame to the right (1) or the left (3),
// never up or down.
template <class Block>
void takePushAndSlide(Block& b, CellPos at) {
    if (stepStarting() && mapCell(at) == cell::kPush && b.falling == 0) {
        PlayGameSound(SoundDrag, SOUND_VOLUME);
        b.pushHeading = PLAYER_DIR;
    }
    b.spare = 0;
    if (stepRunning()) {
        if (b.pushHeading == 1) b.x += kStepPixelsPerFrame;
        if (b.pushHeading == 3) b.x -= kStepPixelsPerFrame;
    }
}
