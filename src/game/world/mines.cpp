// Sea mines hang on chains drawn down to row 14 through water and through
// the cells of the families (codes above 21), skipping the solid tiles.
#include "game/world/creature_rules.h"
#include "game/world/game_sounds.h"
#include "game/world/game_sprites.h"
#include "game/world/mines_blasts.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

namespace {
constexpr int32_t kSetOffAbove = 20;  // tiles 1 to 20 never set a mine off
constexpr int32_t kChainFrame = 4;
constexpr int32_t kChainLastRow = 14;

RecordFate stepMine(Mine& m) {
    const CellPos at = cellAt(m.x, m.y);
    m.up = mapCell(at, 0, -1);
    m.down = mapCell(at, 0, 1);
    m.left = mapCell(at, -1, 0);
    m.right = mapCell(at, 1, 0);
    const bool neighbour = m.up > kSetOffAbove || m.down > kSetOffAbove || m.left > kSetOffAbove ||
                           m.right > kSetOffAbove;
    if (neighbour && stepAtRest()) {
        PlayGameSound(SoundBoom, SOUND_VOLUME);
        MINE_FIRED = 1;
        SpawnBlast(at.c, at.r);
        mapCell(at) = cell::kWater;
        return RecordFate::Delete;
    }
    DrawAnimFrame(kSpriteMine, ANIM_FRAME, m.x, m.y);
    for (int32_t row = at.r + 1; row <= kChainLastRow; ++row) {
        const int32_t code = mapCell(at.c, row);
        if (code == cell::kWater || code > cell::kLastSolid) DrawAnimFrame(kSpriteMine, kChainFrame, m.x, row * kCellPixels);
    }
    return RecordFate::Keep;
}
}  // namespace

double SpawnMine(double column, double row) {
    MINES.push(Mine{truncateToInt32(column) * kCellPixels, truncateToInt32(row) * kCellPixels, 0, 0, 0, 0});
    return 0.0;
}

double UpdateMines() {
    walkFamily(MINES, stepMine);
    return 0.0;
}
