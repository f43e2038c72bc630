// The 2-D context's window, frame and state handling.
#include "gfx2d/opengl_rainbows.h"

#include <cstdio>
#include <cstring>

#include "gfx2d/gl_extensions.h"
#include "gfx2d/gl_headers.h"
#include "gfx2d/gl_matrix.h"
#include "gfx2d/gl_state_cache.h"
#include "gfx2d/renderer3d_link.h"
#include "gfx2d/screen_orientation.h"
#include "platform/gl_window.h"
#include "runtime/engine/engine_state.h"
#include "runtime/files/file_dialog_hooks.h"
#include "runtime/services/engine_hooks.h"

Renderer3DLink renderer3DLink;
int32_t hostScreenWidth = 0;
int32_t hostScreenHeight = 0;

namespace {

uint8_t moveTexturesOfEngine(uint8_t toFiles) {
    return engine.graphics2D ? engine.graphics2D->moveTexturesToTempFiles(toFiles) : 0;
}

// The 2-D context's part of the file dialog's hooks.
void leaveFullscreenOfEngine() {
    if (engine.graphics2D) engine.graphics2D->leaveFullscreen();
}

void restoreWindowedOfEngine() {
    if (engine.graphics2D) engine.graphics2D->setWindowedMode();
}

void restoreFullScreenOfEngine(int32_t width, int32_t height) {
    if (engine.graphics2D) engine.graphics2D->setDisplayMode(width, height, 1);
}

const void* windowOfEngine() { return engine.graphics2D ? engine.graphics2D->window : nullptr; }

void linkFileDialogHooks(bool linked) {
    fileDialogHooks.leaveFullscreen = linked ? leaveFullscreenOfEngine : nullptr;
    fileDialogHooks.restoreWindowed = linked ? restoreWindowedOfEngine : nullptr;
    fileDialogHooks.restoreFullScreen = linked ? restoreFullScreenOfEngine : nullptr;
    fileDialogHooks.deviceWindow = linked ? windowOfEngine : nullptr;
}

}  // namespace

OpenGLRainbows::OpenGLRainbows() : sprites(new SpriteSlot[kSpriteCount]) {}

OpenGLRainbows::~OpenGLRainbows() {
    if (window) {
        releaseGraphics();
        engineHooks.moveTexturesToTempFiles = nullptr;
        linkFileDialogHooks(false);
        glext::clearEntryPoints();
        platform::destroyGLWindow(window);
        window = nullptr;
    }
}

void OpenGLRainbows::releaseGraphics() {
    batch.discard();
    if (glext::glBindFramebufferEXT) glext::glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    currentScreen = -1;
    for (int32_t screen = 0; screen < kScreenCount; ++screen) releaseScreen(screen);
    for (int32_t sprite = 0; sprite < kSpriteCount; ++sprite) freeSprite(sprite);
    for (SpriteSlot* own : {&builtInFont_, &background_}) {
        glDeleteTextures(1, &own->texture);
        glDeleteTextures(1, &own->texture2);
        *own = SpriteSlot{};
    }
    for (const SwappedSprite& entry : swapped_) std::remove(entry.file.c_str());
    swapped_.clear();
}

bool OpenGLRainbows::createRenderWindow(int32_t width, int32_t height, int32_t fullScreenFlag,
                                        int32_t multisampling, int32_t framesPerSecond) {
    failure_[0] = 0;
    if (window) return true;
    if (width <= 0 || height <= 0) {
        std::snprintf(failure_, sizeof failure_, "bad window size %dx%d", width, height);
        return false;
    }
    platform::WindowRequest request{"Vantric", width, height, fullScreenFlag != 0, multisampling};
    window = platform::createGLWindow(request);
    if (!window) {
        std::snprintf(failure_, sizeof failure_, "%s", platform::windowSystemError());
        return false;
    }
    // Asked on the window's own connection: a query of its own before the
    // window would close the display's only client, and a display server
    // resets then. The desktop's mode is the one from before any full-screen
    // switch.
    platform::desktopSize(hostScreenWidth, hostScreenHeight);
    fullScreen = fullScreenFlag != 0;
    glcache::forgetGLStateCache();
    glext::loadEntryPoints();
    bgraTextures = glext::hasExtension("GL_EXT_bgra") ? 1 : 0;
    setFrameLimit(framesPerSecond, 0);
    windowResized();
    prepareBuiltInFont();
    engineHooks.moveTexturesToTempFiles = moveTexturesOfEngine;
    linkFileDialogHooks(true);
    return true;
}

const char* OpenGLRainbows::failureReason() const { return failure_; }

void OpenGLRainbows::setTitle(const RtString& title) { platform::setWindowTitle(window, title.data); }

void OpenGLRainbows::clear(uint32_t colour) {
    if (!window) return;
    batch.flush();
    glClearColor((colour & 0xFF) / 255.0f, ((colour >> 8) & 0xFF) / 255.0f, ((colour >> 16) & 0xFF) / 255.0f,
                 1.0f);
    glClearDepth(1.0);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void OpenGLRainbows::flip() {
    if (!window) return;
    batch.flush();
    pacer.waitForFrameEnd();
    platform::swapWindowBuffers(window);
}

void OpenGLRainbows::setFrameLimit(int32_t framesPerSecond, int32_t verticalSync) {
    pacer.setRate(framesPerSecond);
    if (window) platform::setSwapInterval(verticalSync ? 1 : 0);
}

void OpenGLRainbows::setViewport(int32_t x, int32_t y, int32_t width, int32_t height) {
    endShadowPass3D();
    batch.flush();
    viewportX = x;
    viewportY = y;
    viewportWidth = width < 0 ? 0 : width;
    viewportHeight = height < 0 ? 0 : height;
    if (currentScreen < 0) windowViewport_ = {viewportX, viewportY, viewportWidth, viewportHeight};
    applyViewport();
}

void OpenGLRainbows::copyViewport(int32_t (&out)[4]) const {
    out[0] = viewportX;
    out[1] = viewportY;
    out[2] = viewportWidth;
    out[3] = viewportHeight;
}

void OpenGLRainbows::rotateRectByOrientation(int32_t x, int32_t y, int32_t width, int32_t height, int32_t& outX,
                                             int32_t& outY, int32_t& outWidth, int32_t& outHeight) const {
    WindowRect r = ::rotateRectByOrientation(orientation, {x, y, width, height}, screenWidth, screenHeight);
    outX = r.x;
    outY = r.y;
    outWidth = r.width;
    outHeight = r.height;
}

void OpenGLRainbows::setOrientation(int32_t value) {
    endShadowPass3D();
    batch.flush();
    orientation = (value >= 0 && value <= 3) ? value : 0;
    applyViewport();
}

void OpenGLRainbows::applyViewport() {
    if (!window) return;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (currentScreen >= 0) {
        // Offscreen screens draw upright into their own target, top row
        // first: picture row 0 is texture row 0, as in a loaded image.
        glViewport(viewportX, viewportY, viewportWidth, viewportHeight);
        glOrtho(0.0, viewportWidth, 0.0, viewportHeight, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        return;
    }
    if (const float* turn = glmatrix::orientationTurn(orientation)) glLoadMatrixf(turn);
    WindowRect r = ::rotateRectByOrientation(orientation, {viewportX, viewportY, viewportWidth, viewportHeight},
                                             screenWidth, screenHeight);
    if (orientation == 1 || orientation == 3) {
        glViewport(r.x, screenHeight - r.width - r.y, r.height, r.width);
    } else {
        glViewport(r.x, screenHeight - r.height - r.y, r.width, r.height);
    }
    glOrtho(0.0, viewportWidth, viewportHeight, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void OpenGLRainbows::reset2DGLState() {
    if (!window) return;
    batch.flush();
    glcache::disableCapability(GL_DEPTH_TEST);
    glcache::disableCapability(GL_CULL_FACE);
    glcache::disableCapability(GL_LIGHTING);
    glcache::disableCapability(GL_FOG);
    glcache::disableCapability(GL_STENCIL_TEST);
    glcache::disableCapability(GL_TEXTURE_GEN_S);
    glcache::disableCapability(GL_TEXTURE_GEN_T);
    glcache::disableCapability(GL_COLOR_MATERIAL);
    glcache::enableCapability(GL_BLEND);
    glShadeModel(GL_FLAT);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    blendMode = BlendMode::Normal;
    if (glext::glActiveTextureARB) {
        // The 3-D renderer may leave a second unit on; 2-D drawing uses the first only.
        glext::glActiveTextureARB(GL_TEXTURE1_ARB);
        glDisable(GL_TEXTURE_2D);
        glext::glActiveTextureARB(GL_TEXTURE0_ARB);
    }
    if (glext::glClientActiveTextureARB) glext::glClientActiveTextureARB(GL_TEXTURE0_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    applyViewport();
}

void OpenGLRainbows::restore2DRenderState() {
    if (renderer3DLink.useFixedPipeline) renderer3DLink.useFixedPipeline();
    if (renderer3DLink.resetTextureMode) renderer3DLink.resetTextureMode();
    selectScreen(-1);
    reset2DGLState();
}

void OpenGLRainbows::setDisplayMode(int32_t width, int32_t height, int32_t fullScreenFlag) {
    if (!window) return;
    int32_t w = width > 0 ? width : screenWidth;
    int32_t h = height > 0 ? height : screenHeight;
    if (fullScreenFlag) {
        fullScreen = platform::setFullScreenMode(window, w, h) ? 1 : 0;
        if (!fullScreen) platform::setWindowedMode(window, w, h);
    } else {
        fullScreen = 0;
        platform::setWindowedMode(window, w, h);
    }
    windowResized();
    pacer.restart();
}

void OpenGLRainbows::setWindowedMode() {
    if (!window) return;
    fullScreen = 0;
    platform::setWindowedMode(window, 0, 0);
    windowResized();
}

void OpenGLRainbows::leaveFullscreen() {
    if (!window) return;
    fullScreen = 0;
    platform::leaveFullScreenAndHide(window);
}

void OpenGLRainbows::windowResized() {
    if (!window) return;
    int32_t w = 0, h = 0;
    platform::drawableSize(window, w, h);
    screenWidth = w;
    screenHeight = h;
    windowHeight = h;
    windowViewport_ = {0, 0, w, h};
    if (currentScreen < 0) {
        viewportX = viewportY = 0;
        viewportWidth = w;
        viewportHeight = h;
    }
    reset2DGLState();
}
