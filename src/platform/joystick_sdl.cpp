// The joystick service over SDL2's joystick API. Devices are opened on first
// read and closed when the subsystem stops.
#include "platform/joystick_device.h"

#include <SDL.h>

#include <vector>

namespace platform {
namespace {

bool started = false;
std::vector<SDL_Joystick*> opened;

int32_t povOfHat(Uint8 hat) {
    switch (hat) {
    case SDL_HAT_UP: return 0;
    case SDL_HAT_RIGHTUP: return 4500;
    case SDL_HAT_RIGHT: return 9000;
    case SDL_HAT_RIGHTDOWN: return 13500;
    case SDL_HAT_DOWN: return 18000;
    case SDL_HAT_LEFTDOWN: return 22500;
    case SDL_HAT_LEFT: return 27000;
    case SDL_HAT_LEFTUP: return 31500;
    default: return -1;
    }
}

}  // namespace

bool startJoysticks() {
    if (started) return true;
    started = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    return started;
}

void stopJoysticks() {
    if (!started) return;
    for (SDL_Joystick* j : opened) {
        if (j) SDL_JoystickClose(j);
    }
    opened.clear();
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    started = false;
}

int32_t joystickCount() {
    if (!started) return 0;
    int n = SDL_NumJoysticks();
    return n < 0 ? 0 : n;
}

bool readJoystick(int32_t index, JoystickReading& out) {
    out = JoystickReading{};
    if (!started || index < 0 || index >= joystickCount()) return false;
    if (static_cast<size_t>(index) >= opened.size()) opened.resize(static_cast<size_t>(index) + 1, nullptr);
    SDL_Joystick*& j = opened[static_cast<size_t>(index)];
    if (j && !SDL_JoystickGetAttached(j)) {
        SDL_JoystickClose(j);
        j = nullptr;
    }
    if (!j) j = SDL_JoystickOpen(index);
    if (!j) return false;
    SDL_JoystickUpdate();
    int axes = SDL_JoystickNumAxes(j);
    out.axisCount = axes < 0 ? 0 : (axes > kJoystickAxes ? kJoystickAxes : axes);
    for (int a = 0; a < out.axisCount; ++a) out.axes[a] = SDL_JoystickGetAxis(j, a);
    int buttons = SDL_JoystickNumButtons(j);
    for (int b = 0; b < buttons && b < 32; ++b) {
        if (SDL_JoystickGetButton(j, b)) out.buttons |= 1u << b;
    }
    if (SDL_JoystickNumHats(j) > 0) out.pov = povOfHat(SDL_JoystickGetHat(j, 0));
    return true;
}

}  // namespace platform
