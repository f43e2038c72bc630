// The buttons a screen may act on: one bit per button, set once the button
// has been seen up since the screen opened.
// Depends on the controller actions of the device bridge (world_host.h).
#include "game/world/screen_buttons.h"

#include <cstdint>
#include <cstring>

#include "game/world/world_host.h"

namespace {
constexpr const char* kButtons[] = {"b1", "b2", "b3", "b9", "b10"};
constexpr int32_t kButtonCount = sizeof kButtons / sizeof kButtons[0];

uint32_t seenUp = 0;  // bit i: kButtons[i] was up at some "Update" since the screen opened

int32_t indexOf(const char* button) {
    for (int32_t i = 0; i < kButtonCount; ++i) {
        if (button != nullptr && std::strcmp(button, kButtons[i]) == 0) return i;
    }
    return -1;
}
}  // namespace

void watchScreenButtons() {
    for (int32_t i = 0; i < kButtonCount; ++i) {
        if (!buttonPressed(kButtons[i])) seenUp |= 1u << i;
    }
}

void openScreenButtons() {
    seenUp = 0;
    watchScreenButtons();
}

bool screenButtonPressed(const char* button) {
    const int32_t i = indexOf(button);
    if (i < 0) return buttonPressed(button);
    return buttonPressed(button) && (seenUp >> i & 1u) != 0;
}
