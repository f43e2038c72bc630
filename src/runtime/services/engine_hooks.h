// What the runtime services need of the engine objects that the shell owns:
// the input object, the main window and the 2-D context. The shell sets each
// hook when the object behind it exists and clears it when the object is
// released; a null hook means the object is not there, and the step that
// needs it is skipped.
#pragma once
#include <cstdint>

struct EngineHooks {
    // DebugBreakpoint: Unacquire of the input object's mouse device, when it has one.
    void (*releaseMouseDevice)();
    // DebugBreakpoint: InputState::refreshKeyboard.
    void (*refreshKeyboard)();
    // DebugBreakpoint: InputState::pollMouse with the consume flag set, once
    // for each attached mouse, the readings thrown away.
    void (*pollAllMice)();
    // RunProcess: OpenGLRainbows::setWindowedMode on the 2-D context.
    void (*setWindowedMode)();
    // RunProcess: makes the main window active and gives it the keyboard focus.
    void (*activateMainWindow)();
    // notifyScreenSize: the host screen-size pair, and the 2-D context's
    // screen width and height when the context exists.
    void (*storeScreenSize)(int32_t width, int32_t height);
    // MoveTexturesToTempFiles: OpenGLRainbows::moveTexturesToTempFiles with
    // the flag 0 or 1; its result byte.
    uint8_t (*moveTexturesToTempFiles)(uint8_t toFiles);
};

extern EngineHooks engineHooks;  // all null at start
