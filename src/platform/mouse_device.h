// The mouse device: the pointer position over the window, the buttons held,
// and the motion and wheel steps gathered since they were last consumed. The
// event pump writes it as mouse events pass; the input object reads it. The
// window system merges every pointing device into this one mouse. Beside the
// buttons held the device latches every button that went down, so a click
// that is over before the next read (a touchpad's tap) is not lost.
#pragma once
#include <cstdint>

namespace platform {

struct MouseReading {
    int32_t x = 0, y = 0;        // position in window units, last known
    uint32_t buttons = 0;        // bit (n - 1) set while button n (MouseButton) is held
    int32_t motionX = 0, motionY = 0;  // pointer motion since the last consuming read
    int32_t wheel = 0;           // wheel steps since the last consuming read, up positive
};

// The current reading; with consume set the motion and wheel count as seen
// and start again from 0.
MouseReading readMouseDevice(bool consume);
// Writers for the event pump.
void mouseDeviceMoved(int32_t x, int32_t y, int32_t dx, int32_t dy);
void mouseDeviceButton(int32_t button, bool down, int32_t x, int32_t y);
void mouseDeviceWheel(int32_t steps);
// The buttons (bits as in MouseReading::buttons) that went down since the
// last take, held or already up again; empties the latch.
uint32_t takeMousePresses();
// Forgets buttons, presses, motion and wheel (focus loss, start-up); keeps
// the position.
void resetMouseDevice();

}  // namespace platform
