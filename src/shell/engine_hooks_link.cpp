// The engine hooks of the runtime services, and the file dialog's frame
// hook, served by the shell's objects.
#include "shell/engine_hooks_link.h"

#include "gfx2d/opengl_rainbows.h"
#include "input/input_state.h"
#include "platform/gl_window.h"
#include "runtime/engine/engine_state.h"
#include "runtime/files/file_dialog_hooks.h"
#include "runtime/services/engine_hooks.h"
#include "shell/frame_end.h"

namespace {

void releaseMouseDevice() {
    if (engine.input) engine.input->releaseMouse();
}

void refreshKeyboard() {
    if (engine.input) engine.input->refreshKeyboard();
}

void pollAllMice() {
    if (!engine.input) return;
    MouseRecord thrownAway;
    for (int32_t i = 0; i < engine.input->mouseCount; ++i) engine.input->pollMouse(thrownAway, true);
}

void setWindowedMode() {
    if (engine.graphics2D) engine.graphics2D->setWindowedMode();
}

void activateMainWindow() {
    if (engine.graphics2D) platform::showAndRaise(engine.graphics2D->window);
}

void storeScreenSize(int32_t width, int32_t height) {
    hostScreenWidth = width;
    hostScreenHeight = height;
    if (engine.graphics2D) {
        engine.graphics2D->screenWidth = width;
        engine.graphics2D->screenHeight = height;
    }
}

// A frame while the display settles after a full-screen dialog.
void settleFrame() {
    finishFrame();
    if (OpenGLRainbows* graphics = engine.graphics2D) graphics->restore2DRenderState();
}

}  // namespace

void linkEngineHooks() {
    engineHooks.releaseMouseDevice = releaseMouseDevice;
    engineHooks.refreshKeyboard = refreshKeyboard;
    engineHooks.pollAllMice = pollAllMice;
    engineHooks.setWindowedMode = setWindowedMode;
    engineHooks.activateMainWindow = activateMainWindow;
    engineHooks.storeScreenSize = storeScreenSize;
    // The frame end works without any engine object, so this hook stays.
    fileDialogHooks.settleFrame = settleFrame;
}

void unlinkInputHooks() {
    engineHooks.releaseMouseDevice = nullptr;
    engineHooks.refreshKeyboard = nullptr;
    engineHooks.pollAllMice = nullptr;
}

void unlinkGraphicsHooks() {
    engineHooks.setWindowedMode = nullptr;
    engineHooks.activateMainWindow = nullptr;
    engineHooks.storeScreenSize = nullptr;
}
