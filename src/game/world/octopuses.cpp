// Octopuses: hop one cell toward the diver, four frames of 4 pixels, once
// for each diver step that ends (STEP_DONE 1; the first idle octopus takes
// it). The hop goes straight down when the diver is in the same column, up
// when the diver is level or above, else diagonally down toward him. In the
// frame in which the diver has come out of weed (LEFT_WEED) an octopus
// chooses no new heading and hops on its last one.
//
// Departure, mending a fault: a hop goes only into a cell that the octopus
// could enter by its own rules, water or the diver's cell; any other hop
// does nothing (heading -1). The up hop chosen for a diver up and to the
// right, and a hop on the last heading (a fresh octopus heads up), went into
// rock and the border: the cell held 26 and was water once the octopus left,
// a hole for good, and a hole in row 0 let the diver out of the map.
#include "game/world/creature_rules.h"
#include "game/world/creatures.h"
#include "game/world/game_sprites.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

namespace {
constexpr int32_t kNone = -1, kUp = 0, kDownRight = 3, kDown = 4, kDownLeft = 5;
constexpr int32_t kHopFrames = 4;
constexpr int32_t kHopPixels = 4;

bool waterOrDiver(int32_t code) { return code == cell::kWater || code == cell::kDiver; }

// The choice of a hop: each line sets the heading only while LEFT_WEED is 0, and each
// after the first only while no line has chosen one yet.
void chooseHeading(Octopus& o, CellPos at) {
    if (LEFT_WEED != 0) return;
    const int32_t dx = cellOf(PLAYER_X);
    const int32_t dy = cellOf(PLAYER_Y);
    o.heading = kNone;
    if (at.c == dx && waterOrDiver(mapCell(at, 0, 1))) o.heading = kDown;
    if (o.heading == kNone && dy <= at.r &&
        (mapCell(at, 0, -1) == cell::kWater || mapCell(at, 1, -1) == cell::kDiver)) {
        o.heading = kUp;
    }
    if (o.heading == kNone && at.c < dx && mapCell(at, 0, 1) == cell::kWater && at.r < dy &&
        waterOrDiver(mapCell(at, 1, 1))) {
        o.heading = kDownRight;
    }
    if (o.heading == kNone && dx < at.c && mapCell(at, 0, 1) == cell::kWater && at.r < dy &&
        waterOrDiver(mapCell(at, -1, 1))) {
        o.heading = kDownLeft;
    }
}

Offset hopOffset(int32_t heading) {
    switch (heading) {
        case kUp: return {0, -1};
        case kDownRight: return {1, 1};
        case kDown: return {0, 1};
        case kDownLeft: return {-1, 1};
        default: return {0, 0};
    }
}

// The first frame of a hop: a hop whose cell the octopus cannot enter is
// no hop.
void keepHopOutOfWalls(Octopus& o, CellPos at) {
    const Offset step = hopOffset(o.heading);
    if ((step.dx != 0 || step.dy != 0) && !waterOrDiver(mapCell(at, step.dx, step.dy))) o.heading = kNone;
}

RecordFate stepOctopus(Octopus& o) {
    const CellPos at = cellAt(o.x, o.y);
    if (inBlastFire(at)) {
        loseLevelWithPop(o.x, o.y);
        return RecordFate::Delete;
    }
    catchDiverIfHere(at, o.x, o.y);
    if (STEP_DONE == 1 && o.jumpLeft == 0) {
        mapCell(at) = cell::kWater;
        o.jumpLeft = kHopFrames;
        STEP_DONE = 0;
    }
    if (o.jumpLeft == kHopFrames) {
        if (stepAtRest()) chooseHeading(o, at);
        keepHopOutOfWalls(o, at);
    }
    if (o.jumpLeft > 0) {
        const Offset step = hopOffset(o.heading);
        o.x += step.dx * kHopPixels;
        o.y += step.dy * kHopPixels;
        o.jumpLeft -= 1;
    }
    if (o.jumpLeft == 0) mapCell(cellOf(o.x), cellOf(o.y)) = cell::kOctopus;
    DrawAnimFrame(kSpriteOctopus, ANIM_FRAME, o.x, o.y);
    return RecordFate::Keep;
}
}  // namespace

double SpawnOctopus(double column, double row) {
    OCTOPUSES.push(Octopus{truncateToInt32(column) * kCellPixels, truncateToInt32(row) * kCellPixels, 0, 0, 0, 0});
    return 0.0;
}

double UpdateOctopuses() {
    walkFamily(OCTOPUSES, stepOctopus);
    return 0.0;
}
