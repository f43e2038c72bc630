// The keyboard device's state bytes and its latch of presses (main thread
// only).
#include "platform/keyboard_device.h"

#include <cstring>

namespace platform {
namespace {
uint8_t deviceKeys[kKeyStateCount] = {};
uint8_t pressedKeys[kKeyStateCount] = {};  // went down since the last take
}

void readKeyboardDevice(uint8_t (&state)[kKeyStateCount]) {
    std::memcpy(state, deviceKeys, sizeof deviceKeys);
}

void takeKeyboardPresses(uint8_t (&pressed)[kKeyStateCount]) {
    for (int32_t code = 0; code < kKeyStateCount; ++code) pressed[code] |= pressedKeys[code];
    std::memset(pressedKeys, 0, sizeof pressedKeys);
}

void setKeyboardDeviceKey(uint8_t scanCode, bool down) {
    deviceKeys[scanCode] = down ? kKeyDownBit : 0;
    if (down) pressedKeys[scanCode] = kKeyDownBit;
}

void releaseAllKeyboardKeys() {
    std::memset(deviceKeys, 0, sizeof deviceKeys);
    std::memset(pressedKeys, 0, sizeof pressedKeys);
}

}  // namespace platform
