// The input commands over the engine's input object and 2-D context.
#include "input/input_commands.h"

#include "gfx2d/opengl_rainbows.h"
#include "input/input_state.h"
#include "input/mouse_mapping.h"
#include "platform/gl_window.h"
#include "platform/joystick_device.h"
#include "platform/mouse_device.h"
#include "runtime/engine/engine_state.h"

namespace {

MouseMapping currentMapping() {
    MouseMapping m{0, 0, 0, 0, 0};
    if (OpenGLRainbows* g = engine.graphics2D) {
        platform::windowSize(g->window, m.windowWidth, m.windowHeight);
        m.screenWidth = g->screenWidth;
        m.screenHeight = g->screenHeight;
        m.orientation = g->orientation;
    }
    return m;
}

bool readMouse(int32_t& mouseX, int32_t& mouseY, bool& left, bool& right) {
    mouseX = mouseY = 0;
    left = right = false;
    InputState* input = engine.input;
    if (!input || input->mouseCount < 1) return false;
    platform::MouseReading r = platform::readMouseDevice(false);
    mouseX = r.x;
    mouseY = r.y;
    const uint32_t buttons = input->mouseButtons();
    left = (buttons & (1u << 0)) != 0;
    right = (buttons & (1u << 2)) != 0;
    return true;
}

bool readEngineJoystick(int32_t joystick, platform::JoystickReading& r) {
    return engine.input && platform::readJoystick(joystick, r);
}

}  // namespace

int32_t ReadKeyState(int32_t scanCode) { return engine.input ? engine.input->readKey(scanCode) : 0; }

void ReadMouseState(int32_t* x, int32_t* y, int32_t* left, int32_t* right) {
    int32_t mx, my, px = 0, py = 0;
    bool l, r;
    if (readMouse(mx, my, l, r)) mousePixel(currentMapping(), mx, my, px, py);
    if (x) *x = px;
    if (y) *y = py;
    if (left) *left = l ? 1 : 0;
    if (right) *right = r ? 1 : 0;
}

void ReadMouseStateFloat(double* x, double* y, double* left, double* right) {
    int32_t mx, my;
    double px = 0, py = 0;
    bool l, r;
    if (readMouse(mx, my, l, r)) mousePosition(currentMapping(), mx, my, px, py);
    if (x) *x = px;
    if (y) *y = py;
    if (left) *left = l ? 1.0 : 0.0;
    if (right) *right = r ? 1.0 : 0.0;
}

void ReadMouseMotion(int32_t* dx, int32_t* dy, int32_t* wheel) {
    MouseRecord record{};
    if (engine.input) engine.input->pollMouse(record, true);
    if (dx) *dx = record.motionX;
    if (dy) *dy = record.motionY;
    if (wheel) *wheel = record.wheel;
}

int32_t ReadTypedChar() { return engine.input ? engine.input->typedChars.pop() : 0; }

void ClearTypedChars() {
    if (engine.input) engine.input->typedChars.clear();
}

int32_t CountJoysticks() { return engine.input ? platform::joystickCount() : 0; }

double ReadJoystickAxis(int32_t joystick, int32_t axis) {
    platform::JoystickReading r;
    if (!readEngineJoystick(joystick, r) || axis < 0 || axis >= r.axisCount) return 0.0;
    double v = r.axes[axis] / 32767.0;
    return v < -1.0 ? -1.0 : v;
}

int32_t ReadJoystickButton(int32_t joystick, int32_t button) {
    platform::JoystickReading r;
    if (!readEngineJoystick(joystick, r) || button < 0 || button >= 32) return 0;
    return (r.buttons >> button) & 1u;
}

int32_t ReadJoystickPov(int32_t joystick) {
    platform::JoystickReading r;
    return readEngineJoystick(joystick, r) ? r.pov : -1;
}
