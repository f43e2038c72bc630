// The mouse device's state (main thread only).
#include "platform/mouse_device.h"

namespace platform {
namespace {
MouseReading device;
uint32_t pressedSinceTake = 0;
}  // namespace

MouseReading readMouseDevice(bool consume) {
    MouseReading r = device;
    if (consume) device.motionX = device.motionY = device.wheel = 0;
    return r;
}

void mouseDeviceMoved(int32_t x, int32_t y, int32_t dx, int32_t dy) {
    device.x = x;
    device.y = y;
    device.motionX += dx;
    device.motionY += dy;
}

void mouseDeviceButton(int32_t button, bool down, int32_t x, int32_t y) {
    device.x = x;
    device.y = y;
    if (button < 1 || button > 32) return;
    uint32_t bit = 1u << (button - 1);
    device.buttons = down ? (device.buttons | bit) : (device.buttons & ~bit);
    if (down) pressedSinceTake |= bit;
}

void mouseDeviceWheel(int32_t steps) { device.wheel += steps; }

uint32_t takeMousePresses() {
    const uint32_t pressed = pressedSinceTake;
    pressedSinceTake = 0;
    return pressed;
}

void resetMouseDevice() {
    device.buttons = 0;
    pressedSinceTake = 0;
    device.motionX = device.motionY = device.wheel = 0;
}

}  // namespace platform
