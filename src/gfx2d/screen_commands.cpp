#include "gfx2d/screen_commands.h"

#include "gfx2d/opengl_rainbows.h"
#include "shell/engine_state.h"

void SetFrameLimit(int32_t framesPerSecond, int32_t verticalSync) {
    if (engine.graphics2D) engine.graphics2D->setFrameLimit(framesPerSecond, verticalSync);
}

void SetViewport(int32_t x, int32_t y, int32_t width, int32_t height) {
    if (engine.graphics2D) engine.graphics2D->setViewport(x, y, width, height);
}

void SetOrientation(int32_t orientation) {
    if (engine.graphics2D) engine.graphics2D->setOrientation(orientation);
}
