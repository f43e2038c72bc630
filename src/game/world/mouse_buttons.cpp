// The mouse button edge tracker over the input commands.
#include "game/world/mouse_buttons.h"

#include "game/world/game_state.h"
#include "input/input_commands.h"

namespace {
constexpr int32_t kTrackedSlots = 10;
constexpr int32_t kTrackedButtons = 2;
}  // namespace

double UpdateMouseButtons() {
    ReadMouseStateFloat(&MOUSE_X, &MOUSE_Y, &MOUSE_B1, &MOUSE_B2);
    if (MOUSE_HELD.bound(0) == 0) {
        MOUSE_HELD.dim(kTrackedSlots);
        MOUSE_HIT.dim(kTrackedSlots);
    }
    const double levels[kTrackedButtons] = {MOUSE_B1, MOUSE_B2};
    for (int32_t i = 0; i < kTrackedButtons; ++i) {
        double& held = MOUSE_HELD.at(i);
        double& hit = MOUSE_HIT.at(i);
        if (levels[i] == 0) {
            if (held == 0) {
                hit = 0;
            } else {
                held = 0;
                hit = -1;
            }
        } else if (held == 0) {
            held = 1;
            hit = 2;
        } else {
            hit = 1;
        }
    }
    return 0.0;
}

double MouseHit(int32_t button) { return MOUSE_HIT.at(button); }
