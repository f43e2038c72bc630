// A joystick for tests: SDL's virtual joystick driver, attached after the
// engine has started its joysticks, with two axes, ten buttons and one hat.
#pragma once
#include <cstdint>

namespace bridgetest {

class VirtualJoystick {
public:
    // Attaches and opens it; ok() tells whether that worked.
    VirtualJoystick();
    ~VirtualJoystick();
    VirtualJoystick(const VirtualJoystick&) = delete;
    VirtualJoystick& operator=(const VirtualJoystick&) = delete;

    bool ok() const { return handle_ != nullptr; }
    // -32768 .. 32767; axis 0 runs left to right, axis 1 up to down.
    void setAxis(int axis, int16_t value);
    void setButton(int button, bool down);
    // Hat bits as SDL has them: 1 up, 2 right, 4 down, 8 left (0 centred).
    void setHat(uint8_t bits);

    static constexpr uint8_t kHatUp = 1, kHatRight = 2, kHatDown = 4, kHatLeft = 8;

private:
    int index_ = -1;
    void* handle_ = nullptr;
};

}  // namespace bridgetest
