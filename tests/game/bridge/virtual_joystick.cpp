// The test joystick over SDL's virtual joystick driver. The values set here
// reach readers at their next joystick update.
#include "virtual_joystick.h"

#include <SDL.h>

namespace bridgetest {

VirtualJoystick::VirtualJoystick() {
    // The offscreen window never has the keyboard focus, and without focus
    // SDL drops joystick changes unless background events are allowed.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 10, 1);
    if (index_ >= 0) handle_ = SDL_JoystickOpen(index_);
}

VirtualJoystick::~VirtualJoystick() {
    if (handle_) SDL_JoystickClose(static_cast<SDL_Joystick*>(handle_));
    if (index_ >= 0) SDL_JoystickDetachVirtual(index_);
}

void VirtualJoystick::setAxis(int axis, int16_t value) {
    if (handle_) SDL_JoystickSetVirtualAxis(static_cast<SDL_Joystick*>(handle_), axis, value);
}

void VirtualJoystick::setButton(int button, bool down) {
    if (handle_) SDL_JoystickSetVirtualButton(static_cast<SDL_Joystick*>(handle_), button, down ? 1 : 0);
}

void VirtualJoystick::setHat(uint8_t bits) {
    if (handle_) SDL_JoystickSetVirtualHat(static_cast<SDL_Joystick*>(handle_), 0, bits);
}

}  // namespace bridgetest
