// The game state's storage: every global of the list in game_state.h, zero
// or empty at program start, the reset to that state, and the one
// instantiation of each record family's array.
#include "game/world/game_state.h"

#include <memory>

#include "game/world/cell_codes.h"
#include "runtime/services/mathematics.h"

template class RtArray<Player>;
template class RtArray<Starfish>;
template class RtArray<Crab>;
template class RtArray<Fish>;
template class RtArray<Angler>;
template class RtArray<Octopus>;
template class RtArray<Sponge>;
template class RtArray<Boulder>;
template class RtArray<Bomb>;
template class RtArray<Mine>;
template class RtArray<Blast>;
template class RtArray<Gem>;
template class RtArray<Pearl>;
template class RtArray<Oyster>;
template class RtArray<Weed>;
template class RtArray<BubbleVent>;
template class RtArray<Bubble>;
template class RtArray<Pop>;
template class RtArray<Sparkle>;
template class RtArray<FlyingGem>;
template class RtArray<Explosion>;
template class RtArray<Blood>;
template class RtArray<Submarine>;
template class RtArray<ReelDiver>;
template class RtArray<Diver>;
template class RtArray<Shark>;
template class RtArray<PhotoOverlay>;

#define VANTRIC_DEFINE_GAME_GLOBAL(group, type, name) type name{};
VANTRIC_GAME_GLOBALS(VANTRIC_DEFINE_GAME_GLOBAL)
#undef VANTRIC_DEFINE_GAME_GLOBAL

// A global is destroyed and made again in place, as its constant
// initialisation made it: the arrays have no assignment that frees their
// buffer, and their destructor is the one place that releases it.
void resetGameGlobals() {
    forEachGameGlobal([](auto, auto& global) {
        std::destroy_at(&global);
        std::construct_at(&global);
    });
}

int32_t cellOf(double pixels) { return truncateToInt32(pixels) / kCellPixels; }
