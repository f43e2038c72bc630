// Fish: swim up and down a column, one cell per diver step, reversing at a
// blocked cell when the other way is free (with both blocked a fish stays
// and keeps its heading). A diver hiding in weed (IN_WEED) stops them from
// starting a move. Fish records hold numbers; cells are their truncations.
#include "game/world/creature_rules.h"
#include "game/world/creatures.h"
#include "game/world/game_sprites.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

namespace {
constexpr double kUp = 0, kDown = 1;  // headings
constexpr Offset kUpward = {0, -1};   // where heading 0 swims
constexpr double kSwimFrameTicks = 7;  // a tail beat every eighth frame

// A neighbour as a fish sees it: the diver and 23 are free (0); 0 is free.
double fishSees(int32_t code) { return code == cell::kDiver || code == cell::kGemFree ? 0 : code; }

RecordFate stepFish(Fish& f) {
    const CellPos at = {cellOf(f.x), cellOf(f.y)};
    if (inBlastFire(at) && stepAtRest()) {
        loseLevelWithPop(truncateToInt32(f.x), truncateToInt32(f.y), false);
        return RecordFate::Delete;
    }
    catchDiverIfHere(at, truncateToInt32(f.x), truncateToInt32(f.y));
    // The rows above and below from the number y / 16 - 1 and + 1, truncated.
    f.up = fishSees(mapCell(at.c, truncateToInt32(f.y / kCellPixels - 1)));
    f.down = fishSees(mapCell(at.c, truncateToInt32(f.y / kCellPixels + 1)));
    if (f.tick + 1 <= kSwimFrameTicks) {
        f.tick += 1;
    } else {
        f.tick = 0;
        f.frame += 1;
        if (f.frame > 1) f.frame = 0;
    }
    if (stepStarting()) swimToAndFro(f, at, kUpward, f.up, f.down, cell::kFish);
    if (stepRunning() && f.moving == 1) {
        if (f.heading == kUp) {
            f.y -= kStepPixelsPerFrame;
            f.frameBase = 0;
        } else if (f.heading == kDown) {
            f.y += kStepPixelsPerFrame;
            f.frameBase = 2;
        }
    }
    if (stepAtRest()) mapCell(cellOf(f.x), cellOf(f.y)) = cell::kFish;
    DrawAnimFrame(kSpriteFish, truncateToInt32(f.frameBase + f.frame), f.x, f.y);
    return RecordFate::Keep;
}
}  // namespace

double SpawnFish(double column, double row, double heading, double spare) {
    const int32_t c = truncateToInt32(column);
    const int32_t r = truncateToInt32(row);
    mapCell(c, r) = cell::kFish;
    Fish fish{};
    fish.x = c * kCellPixels;
    fish.y = r * kCellPixels;
    fish.heading = heading;
    fish.spare = spare;
    FISH.push(fish);
    return 0.0;
}

double UpdateFish() {
    walkFamily(FISH, stepFish);
    return 0.0;
}
