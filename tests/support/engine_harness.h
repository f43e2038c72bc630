// A harness for tests that run the whole engine: start it offscreen (the
// tests run with SDL_VIDEODRIVER=offscreen on Mesa's software OpenGL), put
// key, mouse and window events into the window system's queue, run frames,
// and read the drawn pixels back or save them as a PNG file.
//
// The engine lives until the end of the test case that started it: then the
// harness shuts it down and gives the environment back, so every case of a
// program starts an engine of its own, whether ctest runs each case in a
// process of its own or the program runs whole. Paths that end the program
// are run in a child (runInChild or EXPECT_EXIT).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct EngineOptions {
    int32_t width = 640;
    int32_t height = 480;
    int32_t frameRate = 60;
    int32_t fullScreen = 0;
    int32_t debug = 0;
    int32_t mouseHidden = 1;
    const char* projectName = "HarnessProject";
};

// Fills the display settings and the project name, points TMPDIR and HOME
// at `privateFolder` (the error log and the user's folders go there), then
// runs startEngine. False when the engine did not start.
bool startTestEngine(const std::string& privateFolder, const EngineOptions& options = {});

// The end of the case's engine, called by the harness when the case ends:
// the engine's shutdown without the end of the process, then TMPDIR, HOME,
// the display settings and the pause flags are as they were before the start.
void stopTestEngine();

// EndFrame, n times.
void runFrames(int n);

// Events through the window system's queue; the next frame's message pump
// handles them.
void injectKey(uint8_t scanCode, bool down);
void injectText(const char* utf8);
void injectMouseMove(int32_t x, int32_t y, int32_t dx = 0, int32_t dy = 0);
void injectMouseButton(int32_t button, bool down, int32_t x, int32_t y);
void injectMouseWheel(int32_t steps);
void injectFocus(bool gained);
void injectWindowClose();

// Pixels of the frame being drawn (the back buffer), as 0xAABBGGRR, rows from
// the top of the window.
std::vector<uint32_t> readFramePixels(int32_t x, int32_t y, int32_t width, int32_t height);
uint32_t readFramePixel(int32_t x, int32_t y);
// The whole frame being drawn as an 8-bit RGBA PNG file.
bool saveFramePng(const std::string& path);

// The error log's text (the file in TMPDIR).
std::string errorLogText();

}  // namespace testsupport
