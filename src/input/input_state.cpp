// The input object over the platform's keyboard, mouse and joystick devices.
// The engine's input object serves the file dialog's input hook
// (runtime/files/file_dialog_hooks.h) from its start to its end.
#include "input/input_state.h"

#include <cstring>

#include "gfx2d/opengl_rainbows.h"
#include "platform/gl_window.h"
#include "platform/joystick_device.h"
#include "platform/mouse_device.h"
#include "runtime/engine/engine_state.h"
#include "runtime/files/file_dialog_hooks.h"

namespace {

// After a full-screen dialog: the level and cursor for the remembered mouse
// mode, and the 2-D context's window as the devices' window.
void restoreInputOfEngine() {
    InputState* input = engine.input;
    if (!input) return;
    input->setMouseMode(input->mouseMode);
    if (OpenGLRainbows* graphics = engine.graphics2D) input->deviceWindow = graphics->window;
}

}  // namespace

InputState::InputState() = default;

InputState::~InputState() {
    if (engine.input == this) fileDialogHooks.restoreInput = nullptr;
    if (joysticksStarted_) platform::stopJoysticks();
    platform::showSystemCursor(true);
}

void InputState::start(platform::GLWindow* forWindow) {
    if (engine.input == this) fileDialogHooks.restoreInput = restoreInputOfEngine;
    deviceWindow = forWindow;
    keyboardPresent = true;
    mouseCount = 1;  // the window system merges every pointing device into one
    platform::releaseAllKeyboardKeys();
    platform::resetMouseDevice();
    joysticksStarted_ = platform::startJoysticks();
    refreshKeyboard();
}

void InputState::refreshKeyboard() {
    std::memset(pressedThisFrame_, 0, sizeof pressedThisFrame_);
    copyKeyboardDevice();
}

// Presses taken here join the frame's, so each counts in one frame only.
void InputState::copyKeyboardDevice() {
    keyReadsSinceRefresh_ = 0;
    if (!keyboardPresent) return;
    platform::takeKeyboardPresses(pressedThisFrame_);
    platform::readKeyboardDevice(keyState);
    for (int32_t code = 0; code < platform::kKeyStateCount; ++code) keyState[code] |= pressedThisFrame_[code];
}

bool InputState::pollMouse(MouseRecord& out, bool consume) {
    out = MouseRecord{};
    if (mouseCount < 1) return false;
    platform::MouseReading r = platform::readMouseDevice(consume);
    r.buttons |= mousePressesThisFrame_;
    auto clamp16 = [](int32_t v) -> int16_t {
        return static_cast<int16_t>(v < -32768 ? -32768 : (v > 32767 ? 32767 : v));
    };
    out.motionX = clamp16(r.motionX);
    out.motionY = clamp16(r.motionY);
    out.wheel = clamp16(r.wheel);
    out.left = (r.buttons & (1u << 0)) ? 1 : 0;
    out.middle = (r.buttons & (1u << 1)) ? 1 : 0;
    out.right = (r.buttons & (1u << 2)) ? 1 : 0;
    return true;
}

uint32_t InputState::mouseButtons() const {
    return platform::readMouseDevice(false).buttons | mousePressesThisFrame_;
}

void InputState::pollMice() {
    mousePressesThisFrame_ = platform::takeMousePresses();
    for (int32_t i = 0; i < mouseCount; ++i) pollMouse(lastMouse, false);
}

int32_t InputState::readKey(int32_t scanCode) {
    if (++keyReadsSinceRefresh_ >= kKeyReadsPerRefresh) copyKeyboardDevice();
    if (scanCode < 0 || scanCode >= platform::kKeyStateCount) return 0;
    return (keyState[scanCode] & platform::kKeyDownBit) ? 1 : 0;
}

void InputState::setMouseMode(uint8_t arrowCursor) {
    mouseMode = arrowCursor ? 1 : 0;
    cooperativeLevel = mouseMode ? kLevelShared : kLevelExclusive;
    platform::showSystemCursor(mouseMode != 0);
}

void InputState::releaseMouse() { platform::showSystemCursor(true); }
