// Blasts: five cells of fire. Frame 0 shows for five updates and frames 1 to
// 3 for six each; in the update after frame 3 the blast clears OVERLAY in
// its five cells (even where another blast still burns; that one writes its
// fire again in its next update) and MINE_FIRED returns to 0.
#include "game/world/creature_rules.h"
#include "game/world/game_sprites.h"
#include "game/world/mines_blasts.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

namespace {
constexpr int32_t kBlastCooldown = 2;
constexpr double kTicksPerFrame = 5;
constexpr double kLastFrame = 3;

// The five cells with the frame row of each arm in the fire sprite: centre
// 0 to 3, up 4 to 7, right 8 to 11, down 12 to 15, left 16 to 19. Drawn in
// the order up, down, left, right, centre.
struct Arm {
    int32_t dc, dr, firstFrame;
};
constexpr Arm kArms[5] = {{0, -1, 4}, {0, 1, 12}, {-1, 0, 16}, {1, 0, 8}, {0, 0, 0}};

void setFire(CellPos centre, int32_t code) {
    for (const Arm& arm : kArms) overlayCell(centre, arm.dc, arm.dr) = code;
}

RecordFate stepBlast(Blast& b) {
    STEP_COOLDOWN = kBlastCooldown;
    if (b.tick + 1 <= kTicksPerFrame) {
        b.tick += 1;
    } else {
        b.tick = 0;
        b.frame += 1;
    }
    const CellPos centre = {cellOf(b.x), cellOf(b.y)};
    if (b.frame > kLastFrame) {
        setFire(centre, cell::kNothing);
        MINE_FIRED = 0;
        return RecordFate::Delete;
    }
    const int32_t frame = truncateToInt32(b.frame);
    for (const Arm& arm : kArms) {
        DrawAnimFrame(kSpriteBlastFire, frame + arm.firstFrame, b.x + arm.dc * kCellPixels, b.y + arm.dr * kCellPixels);
    }
    setFire(centre, cell::kBlastFire);
    return RecordFate::Keep;
}
}  // namespace

double SpawnBlast(double column, double row) {
    BLASTS.push(Blast{static_cast<double>(truncateToInt32(column) * kCellPixels),
                      static_cast<double>(truncateToInt32(row) * kCellPixels), 0, 0});
    return 0.0;
}

double UpdateBlasts() {
    walkFamily(BLASTS, stepBlast);
    return 0.0;
}
