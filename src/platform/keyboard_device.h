// The keyboard device: one state byte per scan code (key_codes.h), 0x80 while
// the key is down, 0 otherwise. The event pump writes it as key events pass;
// the input object copies it when it refreshes its keyboard state. Beside
// the state the device latches every key that went down, so a press that
// is over before the next read (shorter than a frame) is not lost.
#pragma once
#include <cstdint>

namespace platform {

constexpr int32_t kKeyStateCount = 256;
constexpr uint8_t kKeyDownBit = 0x80;

void readKeyboardDevice(uint8_t (&state)[kKeyStateCount]);
// Sets the down bit in `pressed` for every key that went down since the
// last take (held or already up again), and empties the latch.
void takeKeyboardPresses(uint8_t (&pressed)[kKeyStateCount]);
void setKeyboardDeviceKey(uint8_t scanCode, bool down);
// Every key up and no press latched (focus loss, start-up).
void releaseAllKeyboardKeys();

}  // namespace platform
