// Joystick service: the game controllers attached to the machine, read by
// index. Implemented over SDL2's joystick API in joystick_sdl.cpp.
#pragma once
#include <cstdint>

namespace platform {

constexpr int32_t kJoystickAxes = 8;

struct JoystickReading {
    int32_t axisCount = 0;
    int32_t axes[kJoystickAxes] = {};  // -32768 (left, up) to 32767 (right, down); 0 centred
    uint32_t buttons = 0;              // bit n set while button n (from 0) is held; 32 at most
    int32_t pov = -1;                  // first hat in hundredths of a degree clockwise from up; -1 centred
};

// Starts and stops the joystick subsystem; readers work only in between.
bool startJoysticks();
void stopJoysticks();
int32_t joystickCount();
// Reads joystick `index` (0 = first), opening it on first use; false (and an
// empty reading) for an index that no joystick has.
bool readJoystick(int32_t index, JoystickReading& out);

}  // namespace platform
