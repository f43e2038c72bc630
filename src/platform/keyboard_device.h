// The keyboard device: one state byte per scan code (key_codes.h), 0x80 while
// the key is down, 0 otherwise. The event pump writes it as key events pass;
// the input object copies it when it refreshes its keyboard state.
#pragma once
#include <cstdint>

namespace platform {

constexpr int32_t kKeyStateCount = 256;
constexpr uint8_t kKeyDownBit = 0x80;

void readKeyboardDevice(uint8_t (&state)[kKeyStateCount]);
void setKeyboardDeviceKey(uint8_t scanCode, bool down);
// Every key up (focus loss, start-up).
void releaseAllKeyboardKeys();

}  // namespace platform
