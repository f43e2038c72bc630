// Anglers: swim left and right along a row, one cell per diver step,
// reversing at a blocked cell when the other way is free; a diver hiding in
// weed stops them from starting a move. Each carries a light: the darkness
// mask of a dark level has a hole around every angler. An angler dies in a
// mine's cell as in blast fire.
#include "game/world/creature_rules.h"
#include "game/world/creatures.h"
#include "game/world/game_sprites.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

namespace {
constexpr int32_t kRight = 0, kLeft = 1;  // headings
constexpr Offset kRightward = {1, 0};     // where heading 0 swims

// A neighbour as an angler sees it: the diver, 23 and the bubble stream are
// free (0); 0 is free, above 0 blocks.
int32_t anglerSees(int32_t code) {
    return code == cell::kDiver || code == cell::kGemFree || code == cell::kBubbleStream ? 0 : code;
}

RecordFate stepAngler(Angler& a) {
    const CellPos at = cellAt(a.x, a.y);
    if (mapCell(at) == cell::kMine || (inBlastFire(at) && stepAtRest())) {
        loseLevelWithPop(a.x, a.y, false);
        return RecordFate::Delete;
    }
    catchDiverIfHere(at, a.x, a.y);
    a.right = anglerSees(mapCell(at, 1, 0));
    a.left = anglerSees(mapCell(at, -1, 0));
    if (stepStarting()) swimToAndFro(a, at, kRightward, a.right, a.left, cell::kAngler);
    if (stepRunning() && a.moving == 1) {
        if (a.heading == kRight) {
            a.x += kStepPixelsPerFrame;
            a.facing = 0;
        } else if (a.heading == kLeft) {
            a.x -= kStepPixelsPerFrame;
            a.facing = 1;
        }
    }
    DrawAnimFrame(kSpriteAngler, ANIM_FRAME + a.facing * 4, a.x, a.y);
    return RecordFate::Keep;
}
}  // namespace

double SpawnAngler(double column, double row) {
    const int32_t c = truncateToInt32(column);
    const int32_t r = truncateToInt32(row);
    DARK_LEVEL = 1;
    mapCell(c, r) = cell::kAngler;
    ANGLERS.push(Angler{c * kCellPixels, r * kCellPixels, 0, 0, 0, 0, 0});
    return 0.0;
}

double UpdateAnglers() {
    walkFamily(ANGLERS, stepAngler);
    return 0.0;
}
