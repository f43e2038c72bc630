// The buttons a screen may act on: one bit per button, set once the button
// has been seen up since the screen opened; with every bit set, the watch at
// each "Update" (in-game frames too) is one comparison.
// Depends on the controller actions of the device bridge (world_host.h).
#include "game/world/screen_buttons.h"

#include <cstdint>
#include <cstring>
#include <iterator>

#include "game/world/world_host.h"

namespace {
constexpr const char* kButtons[] = {"b1", "b2", "b3", "b9", "b10"};
constexpr uint32_t kAllSeenUp = (1u << std::size(kButtons)) - 1;

uint32_t seenUp = 0;  // bit i: kButtons[i] was up at some "Update" since the screen opened

// The bit of a watched button; 0 for any other name.
uint32_t bitOf(const char* button) {
    for (size_t i = 0; i < std::size(kButtons); ++i) {
        if (std::strcmp(button, kButtons[i]) == 0) return 1u << i;
    }
    return 0;
}
}  // namespace

void watchScreenButtons() {
    if (seenUp == kAllSeenUp) return;
    for (size_t i = 0; i < std::size(kButtons); ++i) {
        if (!buttonPressed(kButtons[i])) seenUp |= 1u << i;
    }
}

void openScreenButtons() {
    seenUp = 0;
    watchScreenButtons();
}

bool screenButtonPressed(const char* button) {
    if (!buttonPressed(button)) return false;  // a null name included
    const uint32_t bit = bitOf(button);
    return bit == 0 || (seenUp & bit) != 0;
}
