// The keyboard device's state bytes (main thread only).
#include "platform/keyboard_device.h"

#include <cstring>

namespace platform {
namespace {
uint8_t deviceKeys[kKeyStateCount] = {};
}

void readKeyboardDevice(uint8_t (&state)[kKeyStateCount]) {
    std::memcpy(state, deviceKeys, sizeof deviceKeys);
}

void setKeyboardDeviceKey(uint8_t scanCode, bool down) {
    deviceKeys[scanCode] = down ? kKeyDownBit : 0;
}

void releaseAllKeyboardKeys() { std::memset(deviceKeys, 0, sizeof deviceKeys); }

}  // namespace platform
