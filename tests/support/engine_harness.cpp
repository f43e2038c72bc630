#include "engine_harness.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "file_bytes.h"
#include "gfx2d/gl_headers.h"
#include "gfx2d/opengl_rainbows.h"
#include "platform/event_pump.h"
#include "runtime/engine/display_settings.h"
#include "runtime/engine/engine_state.h"
#include "runtime/engine/orderly_end.h"
#include "runtime/files/error_log.h"
#include "runtime/services/pause_flags.h"
#include "runtime/services/process_strings.h"
#include "shell/engine_startup.h"
#include "shell/frame_end.h"

namespace testsupport {

namespace {

// An environment variable as it was before the engine's start and as the
// start set it; nullopt: not set.
struct ChangedVariable {
    std::string name;
    std::optional<std::string> before;
    std::optional<std::string> started;
};

std::optional<std::string> variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

void setVariable(const std::string& name, const std::optional<std::string>& value) {
    if (value) setenv(name.c_str(), value->c_str(), 1);
    else unsetenv(name.c_str());
}

// What the start changed, given back by stopTestEngine. Empty while no
// engine of the harness runs.
std::vector<ChangedVariable> changedEnvironment;
DisplaySettings settingsBefore;
// The pause flags before the start: a case may change them while it drives
// the engine (escapeQuits cleared, as the game does).
int32_t pauseBefore = 0, pauseAllowedBefore = 1, escapeQuitsBefore = 1;

// Ends the case's engine after the case (after its fixture is gone).
class StopAfterEachCase : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override { stopTestEngine(); }
};

void setForTheEngine(const char* name, const char* value) {
    std::optional<std::string> started = value ? std::optional<std::string>(value) : std::nullopt;
    changedEnvironment.push_back({name, variable(name), started});
    setVariable(name, started);
}

// A variable goes back to its value from before the start unless the case
// has set it since (a fixture that gave it back itself when it ended).
void giveBackEnvironment() {
    for (auto it = changedEnvironment.rbegin(); it != changedEnvironment.rend(); ++it) {
        if (variable(it->name.c_str()) == it->started) setVariable(it->name, it->before);
    }
    changedEnvironment.clear();
}

}  // namespace

bool startTestEngine(const std::string& privateFolder, const EngineOptions& options) {
    static bool stopsAfterEachCase = false;
    if (!stopsAfterEachCase) {
        ::testing::UnitTest::GetInstance()->listeners().Append(new StopAfterEachCase);
        stopsAfterEachCase = true;
    }
    if (changedEnvironment.empty()) {
        settingsBefore = displaySettings;
        pauseBefore = pauseFlag;
        pauseAllowedBefore = pauseAllowed;
        escapeQuitsBefore = escapeQuits;
    }
    giveBackEnvironment();  // a second start in one case: what was there before the first
    setForTheEngine("TMPDIR", privateFolder.c_str());
    setForTheEngine("HOME", privateFolder.c_str());
    setForTheEngine("XDG_CONFIG_HOME", nullptr);
    setForTheEngine("XDG_DATA_HOME", nullptr);
    displaySettings = DisplaySettings{options.fullScreen, options.mouseHidden, options.frameRate,
                                      options.debug, 0, options.height, options.width};
    projectNameString() = RtString(options.projectName);
    return startEngine(projectNameString()) && engine.graphics2D && engine.graphics2D->window;
}

void stopTestEngine() {
    if (changedEnvironment.empty()) return;  // not started, or stopped already
    shutdownEngine();
    resetOrderlyEnd();
    displaySettings = settingsBefore;
    pauseFlag = pauseBefore;
    pauseAllowed = pauseAllowedBefore;
    escapeQuits = escapeQuitsBefore;
    giveBackEnvironment();
}

void runFrames(int n) {
    for (int i = 0; i < n; ++i) EndFrame();
}

namespace {
void push(const platform::Event& e) {
    if (!platform::pushEvent(e)) std::fprintf(stderr, "engine harness: event not queued\n");
}
}  // namespace

void injectKey(uint8_t scanCode, bool down) {
    platform::Event e;
    e.kind = down ? platform::EventKind::KeyDown : platform::EventKind::KeyUp;
    e.scanCode = scanCode;
    push(e);
}

void injectText(const char* utf8) {
    platform::Event e;
    e.kind = platform::EventKind::Text;
    std::strncpy(e.text, utf8, sizeof e.text - 1);
    push(e);
}

void injectMouseMove(int32_t x, int32_t y, int32_t dx, int32_t dy) {
    platform::Event e;
    e.kind = platform::EventKind::MouseMotion;
    e.x = x;
    e.y = y;
    e.dx = dx;
    e.dy = dy;
    push(e);
}

void injectMouseButton(int32_t button, bool down, int32_t x, int32_t y) {
    platform::Event e;
    e.kind = down ? platform::EventKind::MouseButtonDown : platform::EventKind::MouseButtonUp;
    e.button = button;
    e.x = x;
    e.y = y;
    push(e);
}

void injectMouseWheel(int32_t steps) {
    platform::Event e;
    e.kind = platform::EventKind::MouseWheel;
    e.dy = steps;
    push(e);
}

void injectFocus(bool gained) {
    platform::Event e;
    e.kind = gained ? platform::EventKind::FocusGained : platform::EventKind::FocusLost;
    push(e);
}

void injectWindowClose() {
    platform::Event e;
    e.kind = platform::EventKind::CloseRequested;
    push(e);
}

std::vector<uint32_t> readFramePixels(int32_t x, int32_t y, int32_t width, int32_t height) {
    std::vector<uint32_t> pixels;
    OpenGLRainbows* g = engine.graphics2D;
    if (!g || !g->window || width <= 0 || height <= 0) return pixels;
    g->flushBatch();  // 2-D drawing still queued
    std::vector<uint32_t> bottomUp(static_cast<size_t>(width) * height);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, g->screenHeight - y - height, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    pixels.resize(bottomUp.size());
    for (int32_t row = 0; row < height; ++row) {
        std::memcpy(&pixels[static_cast<size_t>(row) * width],
                    &bottomUp[static_cast<size_t>(height - 1 - row) * width], sizeof(uint32_t) * width);
    }
    return pixels;
}

uint32_t readFramePixel(int32_t x, int32_t y) {
    std::vector<uint32_t> p = readFramePixels(x, y, 1, 1);
    return p.empty() ? 0 : p[0];
}

bool saveFramePng(const std::string& path) {
    OpenGLRainbows* g = engine.graphics2D;
    if (!g) return false;
    int32_t w = g->screenWidth, h = g->screenHeight;
    std::vector<uint32_t> pixels = readFramePixels(0, 0, w, h);
    if (pixels.empty()) return false;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = png && info && !setjmp(png_jmpbuf(png));
    if (ok) {
        png_init_io(png, f);
        png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8, PNG_COLOR_TYPE_RGBA,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int32_t row = 0; row < h; ++row) {
            png_write_row(png, reinterpret_cast<png_const_bytep>(&pixels[static_cast<size_t>(row) * w]));
        }
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return ok;
}

std::string errorLogText() { return readFileBytes(errorLogPath().data); }

}  // namespace testsupport
