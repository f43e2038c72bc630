// OpenGLRainbows, the one 2-D graphics context: it owns the main window and
// its OpenGL context, the viewport and screen orientation, the 2-D GL state,
// and the showing of frames at a paced rate. Sprites, fonts, images and
// offscreen screens build on it (their state joins this class).
// Depends on the window service (platform/gl_window.h) and the clock port.
#pragma once
#include <cstdint>

#include "gfx2d/frame_pacer.h"
#include "runtime/strings/rt_string.h"

namespace platform {
struct GLWindow;
}

class OpenGLRainbows {
public:
    OpenGLRainbows();
    virtual ~OpenGLRainbows();  // closes the window and its context
    OpenGLRainbows(const OpenGLRainbows&) = delete;
    OpenGLRainbows& operator=(const OpenGLRainbows&) = delete;

    // Opens the window (the title "Vantric" until the program names it) with its
    // GL context, fetches the extension entry points and sets the 2-D state.
    // False when the window or the context cannot be made; failureReason() says why.
    bool createRenderWindow(int32_t width, int32_t height, int32_t fullScreen, int32_t multisampling,
                            int32_t framesPerSecond);
    const char* failureReason() const;
    void setTitle(const RtString& title);

    // Clears colour (0x00BBGGRR), depth and stencil of the current target.
    void clear(uint32_t colour);
    // Shows the frame: waits for its end at the frame limit, then swaps.
    void flip();
    void setFrameLimit(int32_t framesPerSecond, int32_t verticalSync);

    // The drawing area in window pixels, x to the right and y down; 2-D
    // coordinates start at its top left corner.
    void setViewport(int32_t x, int32_t y, int32_t width, int32_t height);
    void copyViewport(int32_t (&out)[4]) const;
    void setOrientation(int32_t orientation);  // 0 to 3, others count as 0

    // Fixed-function 2-D state with the projection of the current viewport.
    void reset2DGLState();
    // After a flip: fixed pipeline, texture mode 0, the window as target, 2-D state.
    void restore2DRenderState();

    // Size 0 keeps the current one; then full screen or a centred window.
    void setDisplayMode(int32_t width, int32_t height, int32_t fullScreen);
    void setWindowedMode();
    void leaveFullscreen();
    // Follows a change of the window's size made by the system.
    void windowResized();

    // Font n (0 to 31) from an image file. Completed by the image and font code;
    // until then every file fails (false) and the built-in font stays in place.
    bool loadFontFile(const RtString& file, int32_t font);

    platform::GLWindow* window = nullptr;
    int32_t screenWidth = 0, screenHeight = 0;  // the window's drawing area in pixels
    int32_t windowHeight = 0;                   // the same height, read by the 3-D scene start
    int32_t viewportX = 0, viewportY = 0, viewportWidth = 0, viewportHeight = 0;
    int32_t orientation = 0;
    int32_t fullScreen = 0;
    float alpha = 1.0f;              // opacity applied to what is drawn
    uint8_t depthClearPending = 0;   // set by each 3-D scene start
    uint8_t bgraTextures = 0;        // the driver takes BGRA source pixels
    uint8_t smoothing = 1;           // linear texture filtering
    int32_t currentScreen = -1;      // offscreen screen being drawn to, -1 = the window
    int32_t currentFont = 0;
    int32_t texturePair[2] = {-1, -1};
    int32_t secondTexture = 0;
    FramePacer pacer;

private:
    void applyViewport();
    char failure_[256] = "";
};

// The host screen size: the desktop's size when the window was made, or the
// last size the host reported.
extern int32_t hostScreenWidth;
extern int32_t hostScreenHeight;
