// The frame end, the pause loop and the screen-mode command.
//
// Departure: the message pump runs before the keyboard and mice are read
// rather than after, so input that arrived during a frame counts at that
// frame's end instead of the next one (a frame less of lag).
#include "shell/frame_end.h"

#include "gfx2d/opengl_rainbows.h"
#include "gfx2d/renderer3d_link.h"
#include "input/input_state.h"
#include "platform/clock.h"
#include "platform/gl_window.h"
#include "platform/key_codes.h"
#include "runtime/engine/engine_state.h"
#include "runtime/engine/orderly_end.h"
#include "runtime/services/debug_output.h"
#include "runtime/services/pause_flags.h"
#include "runtime/services/runtime_error.h"
#include "runtime/services/timers.h"
#include "shell/window_messages.h"
#include "sound/sound_system.h"

int64_t pauseLoopRounds = 0;

namespace {

constexpr uint32_t kPauseSleepMillis = 10;

bool keyDown(const InputState& input, uint8_t scanCode) {
    return (input.keyState[scanCode] & platform::kKeyDownBit) != 0;
}

void endInOrder() {
    setRuntimeError(0);
    terminateProgram();
}

void applyQuitKeys(const InputState& input) {
    if (escapeQuits && keyDown(input, keys::Escape)) endInOrder();
    if (keyDown(input, keys::LeftAlt) && keyDown(input, keys::F4)) endInOrder();
}

}  // namespace

void runPauseLoop() {
    while (pauseFlag) {
        ++pauseLoopRounds;
        pumpWindowMessages();
        if (InputState* input = engine.input) {
            input->refreshKeyboard();
            if (escapeQuits && keyDown(*input, keys::Escape)) endInOrder();
        }
        // Without a window no message could ever end the pause.
        if (!engine.graphics2D) break;
        if (pauseFlag) platform::clockPort().sleepMillis(kPauseSleepMillis);
    }
}

void finishFrame() {
    endShadowPass3D();
    advanceFrameTimes();
    OpenGLRainbows* graphics = engine.graphics2D;
    if (windowActivationRequest) {
        if (graphics) platform::showAndRaise(graphics->window);
        windowActivationRequest = 0;
    }
    if (pauseFlag) runPauseLoop();
    // The messages first: the input read next then holds every key and
    // button that changed before this frame end, not one frame late.
    pumpWindowMessages();
    if (InputState* input = engine.input) {
        input->refreshKeyboard();
        input->pollMice();
        applyQuitKeys(*input);
    }
    if ((graphics = engine.graphics2D) != nullptr) {
        graphics->flip();
        graphics->restore2DRenderState();
    }
}

void EndFrame() { finishFrame(); }

void SetScreenMode(int32_t width, int32_t height, int32_t fullScreen) {
    if (OpenGLRainbows* graphics = engine.graphics2D) {
        graphics->setDisplayMode(width, height, fullScreen);
        restoreSoundCooperativeLevel(graphics->window);
    }
    finishFrame();
}
