// Window and OpenGL context service: the one main window with its OpenGL
// compatibility context (never a core profile: the 2-D and 3-D code use the
// fixed-function pipeline), 24-bit depth and 8-bit stencil, double-buffered.
// Also the display's modes, size and dots per inch, the cursor, and GL entry
// points by name. Implemented over SDL2 in gl_window_sdl.cpp.
//
// Sizes are pixels. "Window" sizes are the window system's units; "drawable"
// sizes are the pixels of the GL framebuffer (they differ on scaled displays).
#pragma once
#include <cstdint>

namespace platform {

struct GLWindow;  // opaque; one per process in practice

struct WindowRequest {
    const char* title;
    int32_t width;
    int32_t height;
    bool fullScreen;        // a full-screen display mode of this size instead of a window
    int32_t multisampling;  // samples per pixel, 0 = none
};

// Creates the window (shown, centred) and makes its context current. Null
// when the video system, the window or the context cannot be had; then
// windowSystemError() says why. The drivers asked are those that can serve
// (video_drivers.h): with none, the reason is "no display"; when every one
// fails, "cannot open display " and the displays tried, joined by " or ",
// and each failed driver is named in the platform log. Also "no display"
// when the user's drivers fell back on one that shows nothing without being
// asked for it (showsNothingUnasked): a program there would run unseen for
// ever. Where a server listens at the X display, a failure comes only after
// two seconds of asking again: a display server resetting after its last
// client left turns clients away for a moment. A server that gives a reason
// for turning the window away (no cookie for the display) is not asked
// again, and the reason ends the failure's text: "cannot open display :1
// (Authorization required, ...)".
GLWindow* createGLWindow(const WindowRequest& request);
// True when the video driver of that name shows nothing on a screen (the
// offscreen, dummy and evdev drivers) and the request, a comma-separated list of
// driver names in any letter case (null or empty: none), does not name it.
bool showsNothingUnasked(const char* driver, const char* requested);
// Releases the context and the window; null is allowed.
void destroyGLWindow(GLWindow* window);
// The reason of the last failure of this service ("" when none).
const char* windowSystemError();

void setWindowTitle(GLWindow* window, const char* title);
// Windowed mode of the given window size, centred in the usable area of its
// display, shown and raised.
void setWindowedMode(GLWindow* window, int32_t width, int32_t height);
// Full-screen display mode of the given size; false, and the window left as
// it is, when the display has no mode of that size.
bool setFullScreenMode(GLWindow* window, int32_t width, int32_t height);
// Leaves full screen for the desktop's mode and hides the window.
void leaveFullScreenAndHide(GLWindow* window);
void showAndRaise(GLWindow* window);
bool isFullScreen(const GLWindow* window);

void swapWindowBuffers(GLWindow* window);
// 1 = wait for the vertical blank, 0 = don't; false when the driver refuses.
bool setSwapInterval(int32_t interval);

void windowSize(const GLWindow* window, int32_t& width, int32_t& height);
void drawableSize(const GLWindow* window, int32_t& width, int32_t& height);
// A GL entry point by name; null when the driver lacks it or no context exists.
void* glEntryPoint(const char* name);
// True while a GL context is current on this thread.
bool hasCurrentGLContext();

// The desktop's size; false (and 0 x 0) when no display is known.
bool desktopSize(int32_t& width, int32_t& height);
struct DisplayModeInfo {
    int32_t width, height, bitsPerPixel, refreshRate;  // refreshRate 0 = unknown
};
int32_t displayModeCount();
bool displayModeAt(int32_t index, DisplayModeInfo& mode);
// Horizontal dots per inch of the first display; 96 when the system does not say.
int32_t displayDpi();

void showSystemCursor(bool shown);

}  // namespace platform
