// Crabs: walk sideways along a floor. At the start of a diver step a crab
// takes the free side ahead, or turns, or stops when both sides are blocked;
// the ledge rule turns it back where no floor lies ahead; then it claims
// (31) the cell it walks into. A crab standing on 29 catches the diver as
// on 22.
//
// Departure, mending a fault: the claim follows the ledge rule. The crab
// claimed the cell ahead before the rule turned it, and that cell kept its
// 31 for good, a wall the diver could neither see nor enter; and the crab
// then walked the other way whatever lay there, into rock. Now it claims
// the cell on the side it walks to, and stops in its own cell when that
// side is blocked.
#include "game/world/creature_rules.h"
#include "game/world/creatures.h"
#include "game/world/game_sprites.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

namespace {
constexpr int32_t kStopped = -1, kRight = 0, kLeft = 1;

// A neighbour copy as a crab sees it: the bubble stream and the diver are
// free (0); 0 is free, above 0 blocks.
int32_t crabSees(int32_t code) { return code == cell::kBubbleStream || code == cell::kDiver ? 0 : code; }

// At the start of a diver step: the choice, the ledge rule, then the claim.
void chooseAndClaim(Crab& k, CellPos at) {
    const bool rightFree = k.right == 0;
    const bool leftFree = k.left == 0;
    const int32_t first = k.heading == kLeft ? kLeft : kRight;  // a stopped crab tries right first
    const int32_t second = first == kRight ? kLeft : kRight;
    const bool firstFree = first == kRight ? rightFree : leftFree;
    const bool secondFree = second == kRight ? rightFree : leftFree;
    k.heading = firstFree ? first : secondFree ? second : kStopped;
    if (k.heading == kRight && k.belowRight <= 0) k.heading = kLeft;
    if (k.heading == kLeft && k.belowLeft <= 0) k.heading = kRight;
    const bool aheadFree = (k.heading == kRight && rightFree) || (k.heading == kLeft && leftFree);
    if (aheadFree) {
        claimCell(at, {k.heading == kRight ? 1 : -1, 0}, cell::kCrab);
    } else {
        k.heading = kStopped;
        mapCell(at) = cell::kCrab;
    }
}

RecordFate stepCrab(Crab& k) {
    const CellPos at = cellAt(k.x, k.y);
    k.left = mapCell(at, -1, 0);
    k.right = mapCell(at, 1, 0);
    k.belowLeft = mapCell(at, -1, 1);
    k.belowRight = mapCell(at, 1, 1);
    if (inBlastFire(at)) {
        mapCell(at) = cell::kWater;
        loseLevelWithPop(k.x, k.y);
        return RecordFate::Delete;
    }
    for (int32_t catchCode : {cell::kCrabCatch, cell::kDiver}) {
        if (mapCell(at) == catchCode && stepAtRest() && LEVEL_LOST == 0) loseLevelWithPop(k.x, k.y);
    }
    k.left = crabSees(mapCell(at, -1, 0));
    k.right = crabSees(mapCell(at, 1, 0));
    if (stepStarting()) chooseAndClaim(k, at);
    if (stepRunning()) {
        if (k.heading == kRight) k.x += kStepPixelsPerFrame;
        if (k.heading == kLeft) k.x -= kStepPixelsPerFrame;
    }
    DrawAnimFrame(kSpriteCrab, ANIM_FRAME, SHAKE_X + k.x, k.y);
    return RecordFate::Keep;
}
}  // namespace

double SpawnCrab(double column, double row, double heading) {
    CRABS.push(Crab{truncateToInt32(column) * kCellPixels, truncateToInt32(row) * kCellPixels, 0, 0, 0, 0,
                    truncateToInt32(heading), CRAB_SERIAL, 0});
    CRAB_SERIAL += 1;
    return 0.0;
}

double UpdateCrabs() {
    walkFamily(CRABS, stepCrab);
    return 0.0;
}
