// The lost-level rule shared by the creature families.
#include "game/world/family_walk.h"

#include "game/world/effects.h"
#include "game/world/game_sounds.h"

void loseLevelWithPop(int32_t x, int32_t y, bool withSound) {
    LEVEL_LOST = 1;
    if (withSound) PlayGameSound(SoundPop, SOUND_VOLUME);
    SpawnPop(x, y);
}
