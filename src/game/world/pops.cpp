// Pops: the puff of a death. A pop advances one frame every second update;
// when its frame passes 7 (its sixteenth update) the current level is loaded
// afresh, which ends the attempt. The loader leaves the window selected; the
// frame goes on drawing on the play surface, so the pop selects it again
// (the rest of the frame was drawn unscaled into the window).
#include "game/world/effects.h"
#include "game/world/family_walk.h"
#include "game/world/game_sprites.h"
#include "game/world/level_file.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/services/mathematics.h"

double SpawnPop(double x, double y) {
    POPS.push(Pop{truncateToInt32(x), truncateToInt32(y), 0, 0});
    return 0.0;
}

double UpdatePops() {
    walkFamily(POPS, [](Pop& pop) {
        pop.tick += 1;
        if (pop.tick > 1) {
            pop.frame += 1;
            pop.tick = 0;
        }
        if (pop.frame > 7) {
            LoadLevel(LEVEL);
            SelectScreen(kScreenPlay);
            return RecordFate::StopWalk;
        }
        DrawAnimFrame(kSpritePop, pop.frame, pop.x, pop.y);
        return RecordFate::Keep;
    });
    return 0.0;
}
