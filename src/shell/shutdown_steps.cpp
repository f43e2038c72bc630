// The shell's shutdown steps and the releases of its engine objects.
#include "shell/shutdown_steps.h"

#include "gfx2d/opengl_rainbows.h"
#include "input/input_state.h"
#include "platform/system_info.h"
#include "runtime/engine/engine_state.h"
#include "runtime/engine/orderly_end.h"
#include "shell/engine_hooks_link.h"

namespace {

void returnToExecutableFolder() { platform::changeWorkingFolder(platform::executableFolder()); }

void releaseInput() {
    unlinkInputHooks();
    delete engine.input;
    engine.input = nullptr;
}

void releaseGraphics2D() {
    unlinkGraphicsHooks();
    delete engine.graphics2D;
    engine.graphics2D = nullptr;
}

}  // namespace

void registerShellReleaseSteps() {
    setShutdownStep(ShutdownStageWorkingDirectory, returnToExecutableFolder);
    setShutdownStep(ShutdownStageInput, releaseInput);
    setShutdownStep(ShutdownStageGraphics2D, releaseGraphics2D);
}
