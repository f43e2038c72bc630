// Sponges (27): at the start of a diver step a sponge whose neighbour holds
// the diver's code 22 (the diver steps into the cell beside it) slides one
// cell away from him when the cell on the far side holds 0; of the four
// tests the later wins. A sponge in blast fire at rest dies and loses the
// level; during a step the fire does not hold it.
#include "game/world/creature_rules.h"
#include "game/world/game_sprites.h"
#include "game/world/movable_objects.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

namespace {
constexpr int32_t kNotPushed = -1, kAtRest = 0;

// At the start of a diver step: the four tests in order (pushed right, down, left, up); each
// claims the far cell with 27.
void takePush(Sponge& s, CellPos at) {
    s.pushHeading = kNotPushed;
    for (int32_t dir = 1; dir <= 4; ++dir) {
        const Offset away = offsetOfDir(dir);
        if (mapCell(at, -away.dx, -away.dy) == cell::kDiver && mapCell(at, away.dx, away.dy) == cell::kWater) {
            s.pushHeading = dir;
            mapCell(at, away.dx, away.dy) = cell::kSponge;
        }
    }
}

RecordFate stepSponge(Sponge& s) {
    const CellPos at = cellAt(s.x, s.y);
    const bool burning = inBlastFire(at);
    if (burning && stepAtRest()) {
        loseLevelWithPop(s.x, s.y, false);
        return RecordFate::Delete;
    }
    if (!burning && stepAtRest()) {
        s.pushHeading = kAtRest;
        mapCell(at) = cell::kSponge;
    }
    s.spare = 0;
    if (stepStarting()) takePush(s, at);
    if (stepRunning()) {
        if (s.pushHeading >= 0) mapCell(at) = cell::kWater;
        const Offset o = offsetOfDir(s.pushHeading);
        s.x += o.dx * kStepPixelsPerFrame;
        s.y += o.dy * kStepPixelsPerFrame;
    }
    DrawAnimFrame(kSpriteSponge, ANIM_FRAME, s.x, s.y);
    return RecordFate::Keep;
}
}  // namespace

double SpawnSponge(double column, double row) {
    SPONGES.push(Sponge{truncateToInt32(column) * kCellPixels, truncateToInt32(row) * kCellPixels, 0, 0});
    return 0.0;
}

double UpdateSponges() {
    walkFamily(SPONGES, stepSponge);
    return 0.0;
}
