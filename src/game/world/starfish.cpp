// Starfish: crawl along the walls on the side of their hand. A resting
// starfish keeps its heading while the cell ahead is free and otherwise
// turns by its hand; the turn is taken without testing the new cell. Unlike
// the other creatures it catches the diver in any frame, not only at rest.
//
// Departure, mending a fault: a starfish moves only when the cell of its
// heading is free for it, and otherwise stays (keeping the heading, from
// which the next choice turns on). Boxed in, or in a pocket open on one
// side only, it moved into the rock and left water there when it crawled
// on: a hole for good, and one in the border let the diver out of the map.
#include "game/world/creature_rules.h"
#include "game/world/creatures.h"
#include "game/world/game_sounds.h"
#include "game/world/game_sprites.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

namespace {
// Headings 0 right, 1 down, 2 left, 3 up.
constexpr Offset kHeadingOffsets[4] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};

// Free for a starfish: 0 and below, the diver (22), 23 and other starfish.
bool starfishFree(int32_t code) {
    return code <= 0 || code == cell::kDiver || code == cell::kGemFree || code == cell::kStarfish;
}

// One pass of the wall-following choice, stopping at the first heading kept.
void chooseHeading(Starfish& s) {
    if (s.heading == 3) {
        if (starfishFree(s.up)) return;
        s.heading = 3 + s.hand;
    }
    if (s.heading >= 4) s.heading = 0;
    if (s.heading == 1) {
        if (starfishFree(s.down)) return;
        s.heading = 1 + s.hand;
    }
    if (s.heading == 2) {
        if (starfishFree(s.left)) return;
        s.heading = 2 + s.hand;
    }
    if (s.heading == 0) {
        if (starfishFree(s.right)) return;
        s.heading = s.hand;
    }
    if (s.heading < 0) s.heading = 3;
}

RecordFate stepStarfish(Starfish& s) {
    const CellPos at = cellAt(s.x, s.y);
    if (mapCell(at) == cell::kDiver && LEVEL_LOST == 0) loseLevelWithPop(s.x, s.y);
    if (inBlastFire(at)) {
        mapCell(at) = cell::kWater;
        loseLevelWithPop(s.x, s.y, false);
        return RecordFate::Delete;
    }
    s.up = mapCell(at, 0, -1);
    s.down = mapCell(at, 0, 1);
    s.left = mapCell(at, -1, 0);
    s.right = mapCell(at, 1, 0);
    if (stepStarting()) mapCell(at) = cell::kWater;
    if (stepAtRest()) {
        mapCell(at) = cell::kStarfish;
        chooseHeading(s);
        const int32_t ahead[4] = {s.right, s.down, s.left, s.up};  // by heading
        s.moving = s.heading >= 0 && s.heading <= 3 && starfishFree(ahead[s.heading]) ? 1 : 0;
    }
    if (stepRunning() && s.moving == 1 && s.heading >= 0 && s.heading <= 3) {
        s.x += kHeadingOffsets[s.heading].dx * kStepPixelsPerFrame;
        s.y += kHeadingOffsets[s.heading].dy * kStepPixelsPerFrame;
    }
    DrawAnimFrame(kSpriteStarfish, ANIM_FRAME + (s.hand == 1 ? 4 : 0), s.x, s.y);
    return RecordFate::Keep;
}
}  // namespace

double SpawnStarfish(double column, double row, double hand) {
    const int32_t h = truncateToInt32(hand);
    const int32_t heading = h == -1 ? 3 : (h == 1 ? 1 : 0);
    STARFISH.push(Starfish{truncateToInt32(column) * kCellPixels, truncateToInt32(row) * kCellPixels, 0, 0, 0, 0,
                           heading, 0, 0, 0, h});
    return 0.0;
}

double UpdateStarfish() {
    walkFamily(STARFISH, stepStarfish);
    return 0.0;
}
