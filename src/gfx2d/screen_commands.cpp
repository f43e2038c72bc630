// The screen commands: offscreen screens, target sizes, the frame limit, the
// viewport and the orientation.
#include "gfx2d/gfx2d_commands.h"
#include "gfx2d/opengl_rainbows.h"
#include "runtime/engine/engine_state.h"
#include "runtime/services/runtime_error.h"

void CreateScreen(int screen, int sprite, int width, int height) {
    OpenGLRainbows* g = engine.graphics2D;
    if (g && !g->createScreen(screen, sprite, width, height)) setRuntimeError(ErrorOutOfMemory);
}

void SelectScreen(int screen) {
    if (OpenGLRainbows* g = engine.graphics2D) g->selectScreen(screen);
}

void GetScreenSizeInt(int& width, int& height) {
    width = height = 0;
    if (OpenGLRainbows* g = engine.graphics2D) g->currentTargetSize(width, height);
}

void GetScreenSize(double& width, double& height) {
    int w = 0, h = 0;
    GetScreenSizeInt(w, h);
    width = w;
    height = h;
}

void GetHostScreenSize(int& width, int& height) {
    width = hostScreenWidth;
    height = hostScreenHeight;
}

void SetFrameLimit(int framesPerSecond, int verticalSync) {
    if (engine.graphics2D) engine.graphics2D->setFrameLimit(framesPerSecond, verticalSync);
}

void SetViewport(int x, int y, int width, int height) {
    if (engine.graphics2D) engine.graphics2D->setViewport(x, y, width, height);
}

void SetOrientation(int orientation) {
    if (engine.graphics2D) engine.graphics2D->setOrientation(orientation);
}
