// The window and OpenGL context service over SDL2's video subsystem.
// SDL is asked only for the drivers that can serve (video_drivers.h). A
// window on a driver that shows nothing is refused unless the user named
// that driver (SDL_VIDEODRIVER): the program would run unseen.
// The video subsystem is started by the first window and stopped with it,
// so the display queries work only while the window exists, or start the
// subsystem for themselves for the length of the call.
#include "platform/gl_window.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <string>
#include <vector>

#include "platform/log_sink.h"
#include "platform/video_drivers.h"

namespace platform {

struct GLWindow {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
};

namespace {

char lastError[256] = "";

void recordError(const char* what) {
    std::snprintf(lastError, sizeof lastError, "%s: %s", what, SDL_GetError());
}

// The video subsystem on one try's drivers: the user's list as SDL reads
// it, a driver of our choice through a hint taken back at once.
bool startVideoOn(const VideoDriverTry& attempt) {
    if (!attempt.named) SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, attempt.drivers.c_str(), SDL_HINT_OVERRIDE);
    const bool started = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (!attempt.named) SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    return started;
}

std::vector<VideoDriverTry> videoDriversOfThisProcess(std::string& skipped) {
    const VideoEnvironment environment{SDL_GetHint(SDL_HINT_VIDEODRIVER), SDL_getenv("DISPLAY"),
                                       SDL_getenv("WAYLAND_DISPLAY"), SDL_getenv("XDG_RUNTIME_DIR"),
                                       displayCardOfUser()};
    return videoDriversToTry(environment, skipped);
}

// Starts the video subsystem for a display query on the first driver that
// can serve; true when it was started here and must be stopped again.
struct VideoForQuery {
    bool started = false;
    bool ok = false;
    VideoForQuery() {
        if (SDL_WasInit(SDL_INIT_VIDEO)) {
            ok = true;
            return;
        }
        std::string skipped;
        for (const VideoDriverTry& attempt : videoDriversOfThisProcess(skipped)) {
            if (startVideoOn(attempt)) {
                ok = started = true;
                return;
            }
        }
    }
    ~VideoForQuery() {
        if (started) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
};

// Drivers that draw into memory only; the user may still name them (tests,
// headless rendering), but SDL must not fall back on them unseen.
constexpr const char* kDriversShowingNothing[] = {"offscreen", "dummy", "evdev"};

bool sameNameIgnoringCase(const char* a, size_t length, const char* b) {
    return std::strlen(b) == length && SDL_strncasecmp(a, b, length) == 0;
}

// A display server left by its last client resets, and turns clients away
// while it does (it still takes their connections): a display query made
// before the window (its connection closed after it) could leave the
// window's own connection refused. When a server listens at the display the
// driver is asked again until two seconds have passed since the first try:
// a bound on time, not on tries, as one try may itself take long (a server
// slow to turn a client away). Only a user whose display server takes
// connections and then refuses them waits; a display no server holds fails
// at the first try.
constexpr Uint32 kDisplayWaitMs = 2000;
constexpr Uint32 kDisplayRetryPauseMs = 50;

enum class VideoStart { Started, Failed, ShowsNothing };

// What a try writes to standard error, caught. The X library writes there
// the reason a server gave for turning a client away (no cookie for the
// display, say), once for every try: a reason means a refusal that asking
// again will not change, while a server that is resetting turns clients
// away without one.
class CaughtStandardError {
public:
    CaughtStandardError() {
        std::fflush(stderr);
        file_ = memfd_create("video-try", MFD_CLOEXEC);
        saved_ = file_ < 0 ? -1 : dup(STDERR_FILENO);
        if (saved_ < 0 || dup2(file_, STDERR_FILENO) < 0) restore();
    }
    ~CaughtStandardError() { restore(); }
    CaughtStandardError(const CaughtStandardError&) = delete;
    CaughtStandardError& operator=(const CaughtStandardError&) = delete;

    // What was written since the start; standard error is the process's own again.
    std::string release() {
        std::fflush(stderr);
        std::string text;
        if (saved_ >= 0) {
            char piece[512];
            ssize_t got;
            for (off_t at = 0; (got = pread(file_, piece, sizeof piece, at)) > 0; at += got) text.append(piece, got);
        }
        restore();
        return text;
    }

private:
    void restore() {
        if (saved_ >= 0) {
            dup2(saved_, STDERR_FILENO);
            close(saved_);
            saved_ = -1;
        }
        if (file_ >= 0) close(file_);
        file_ = -1;
    }

    int file_ = -1;
    int saved_ = -1;
};

// The first line of a text, without its line end.
std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

VideoStart startVideoOnce(const VideoDriverTry& attempt) {
    if (!startVideoOn(attempt)) return VideoStart::Failed;
    if (!showsNothingUnasked(SDL_GetCurrentVideoDriver(), attempt.drivers.c_str())) return VideoStart::Started;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return VideoStart::ShowsNothing;
}

// Where a server listens, the tries' own complaints are caught: a reason
// the server gave ends the asking at once and comes back in `refusal`.
VideoStart startVideo(const VideoDriverTry& attempt, std::string& refusal) {
    const Uint32 firstTry = SDL_GetTicks();
    for (;;) {
        if (!attempt.serverListens) return startVideoOnce(attempt);
        CaughtStandardError caught;
        const VideoStart result = startVideoOnce(attempt);
        const std::string said = caught.release();
        if (result == VideoStart::Started) {
            std::fputs(said.c_str(), stderr);  // not ours to hide
            return result;
        }
        refusal = firstLine(said);
        if (!refusal.empty() || SDL_GetTicks() - firstTry >= kDisplayWaitMs) return result;
        SDL_Delay(kDisplayRetryPauseMs);
    }
}

// Starts the video subsystem on the first try that serves; otherwise
// records why in one line, and logs each driver that failed.
bool startVideoForWindow() {
    std::string skipped;
    const std::vector<VideoDriverTry> tries = videoDriversOfThisProcess(skipped);
    if (!skipped.empty()) logText(skipped.c_str());
    std::string displays;
    for (const VideoDriverTry& attempt : tries) {
        std::string refusal;
        const VideoStart result = startVideo(attempt, refusal);
        if (result == VideoStart::Started) return true;
        if (attempt.named && refusal.empty()) {
            if (result == VideoStart::ShowsNothing) std::snprintf(lastError, sizeof lastError, "no display");
            else recordError("the video system cannot start");
            return false;
        }
        const std::string why = !refusal.empty()       ? "its server refused the window: " + refusal
                                : attempt.serverListens ? "its server turned the window away, asked again for two seconds"
                                                        : "the driver cannot reach it";
        logText(("Video driver " + attempt.drivers + " for display " + attempt.display + ": " + why + "\n").c_str());
        displays += (displays.empty() ? "" : " or ") + attempt.display + (refusal.empty() ? "" : " (" + refusal + ")");
    }
    if (displays.empty()) std::snprintf(lastError, sizeof lastError, "no display");
    else std::snprintf(lastError, sizeof lastError, "cannot open display %s", displays.c_str());
    return false;
}

int displayOf(SDL_Window* w) {
    int index = w ? SDL_GetWindowDisplayIndex(w) : 0;
    return index < 0 ? 0 : index;
}

}  // namespace

const char* windowSystemError() { return lastError; }

bool showsNothingUnasked(const char* driver, const char* requested) {
    if (driver == nullptr) return false;
    const size_t driverLength = std::strlen(driver);
    bool showsNothing = false;
    for (const char* name : kDriversShowingNothing) showsNothing |= sameNameIgnoringCase(driver, driverLength, name);
    if (!showsNothing) return false;
    for (const char* item = requested; item != nullptr && *item != 0;) {
        const char* comma = std::strchr(item, ',');
        const size_t length = comma ? static_cast<size_t>(comma - item) : std::strlen(item);
        if (sameNameIgnoringCase(item, length, driver)) return false;
        item = comma ? comma + 1 : nullptr;
    }
    return true;
}

GLWindow* createGLWindow(const WindowRequest& request) {
    lastError[0] = 0;
    if (!startVideoForWindow()) return nullptr;
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    if (request.multisampling > 0) {
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 1);
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, request.multisampling);
    }
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
    if (request.fullScreen) flags |= SDL_WINDOW_FULLSCREEN;
    auto* w = new GLWindow;
    w->window = SDL_CreateWindow(request.title ? request.title : "", SDL_WINDOWPOS_CENTERED,
                                 SDL_WINDOWPOS_CENTERED, request.width, request.height, flags);
    if (!w->window && request.multisampling > 0) {
        // No multisample pixel format: settle for a plain one.
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 0);
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 0);
        w->window = SDL_CreateWindow(request.title ? request.title : "", SDL_WINDOWPOS_CENTERED,
                                     SDL_WINDOWPOS_CENTERED, request.width, request.height, flags);
    }
    if (!w->window) {
        recordError("the window cannot be created");
        delete w;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    w->context = SDL_GL_CreateContext(w->window);
    if (!w->context) {
        recordError("the OpenGL context cannot be created");
        SDL_DestroyWindow(w->window);
        delete w;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    SDL_GL_MakeCurrent(w->window, w->context);
    return w;
}

void destroyGLWindow(GLWindow* w) {
    if (!w) return;
    if (w->context) SDL_GL_DeleteContext(w->context);
    if (w->window) SDL_DestroyWindow(w->window);
    delete w;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void setWindowTitle(GLWindow* w, const char* title) {
    if (w) SDL_SetWindowTitle(w->window, title ? title : "");
}

void setWindowedMode(GLWindow* w, int32_t width, int32_t height) {
    if (!w) return;
    SDL_SetWindowFullscreen(w->window, 0);
    if (width > 0 && height > 0) SDL_SetWindowSize(w->window, width, height);
    SDL_Rect area;
    int ww = 0, wh = 0;
    SDL_GetWindowSize(w->window, &ww, &wh);
    if (SDL_GetDisplayUsableBounds(displayOf(w->window), &area) == 0) {
        SDL_SetWindowPosition(w->window, area.x + (area.w - ww) / 2, area.y + (area.h - wh) / 2);
    } else {
        SDL_SetWindowPosition(w->window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    showAndRaise(w);
}

bool setFullScreenMode(GLWindow* w, int32_t width, int32_t height) {
    if (!w) return false;
    SDL_DisplayMode wanted{SDL_PIXELFORMAT_UNKNOWN, width, height, 0, nullptr};
    SDL_DisplayMode closest;
    const bool found = SDL_GetClosestDisplayMode(displayOf(w->window), &wanted, &closest) != nullptr;
    // A mode of another size would show the picture, drawn at the size asked,
    // in a corner of a bigger screen (or cut off on a smaller one).
    if (width > 0 && height > 0 && (!found || closest.w != width || closest.h != height)) {
        std::snprintf(lastError, sizeof lastError, "full screen refused: the display has no %dx%d mode", width,
                      height);
        return false;
    }
    if (found) SDL_SetWindowDisplayMode(w->window, &closest);
    if (width > 0 && height > 0) SDL_SetWindowSize(w->window, width, height);
    if (SDL_SetWindowFullscreen(w->window, SDL_WINDOW_FULLSCREEN) != 0) {
        recordError("full screen refused");
        return false;
    }
    showAndRaise(w);
    return true;
}

void leaveFullScreenAndHide(GLWindow* w) {
    if (!w) return;
    SDL_SetWindowFullscreen(w->window, 0);
    SDL_HideWindow(w->window);
    SDL_PumpEvents();
}

void showAndRaise(GLWindow* w) {
    if (!w) return;
    SDL_ShowWindow(w->window);
    SDL_RaiseWindow(w->window);
}

bool isFullScreen(const GLWindow* w) {
    return w && (SDL_GetWindowFlags(w->window) & SDL_WINDOW_FULLSCREEN) != 0;
}

void swapWindowBuffers(GLWindow* w) {
    if (w) SDL_GL_SwapWindow(w->window);
}

bool setSwapInterval(int32_t interval) { return SDL_GL_SetSwapInterval(interval) == 0; }

void windowSize(const GLWindow* w, int32_t& width, int32_t& height) {
    width = height = 0;
    if (w) SDL_GetWindowSize(w->window, &width, &height);
}

void drawableSize(const GLWindow* w, int32_t& width, int32_t& height) {
    width = height = 0;
    if (w) SDL_GL_GetDrawableSize(w->window, &width, &height);
}

void* glEntryPoint(const char* name) {
    if (!name || !hasCurrentGLContext()) return nullptr;
    return SDL_GL_GetProcAddress(name);
}

bool hasCurrentGLContext() { return SDL_WasInit(SDL_INIT_VIDEO) && SDL_GL_GetCurrentContext() != nullptr; }

bool desktopSize(int32_t& width, int32_t& height) {
    width = height = 0;
    VideoForQuery video;
    SDL_DisplayMode mode;
    if (!video.ok || SDL_GetDesktopDisplayMode(0, &mode) != 0) return false;
    width = mode.w;
    height = mode.h;
    return true;
}

// The display's modes with a size; some drivers list a 0 x 0 mode, and
// without any sized mode the desktop's mode stands alone.
static std::vector<DisplayModeInfo> sizedDisplayModes() {
    std::vector<DisplayModeInfo> modes;
    VideoForQuery video;
    if (!video.ok) return modes;
    auto add = [&modes](const SDL_DisplayMode& mode) {
        if (mode.w <= 0 || mode.h <= 0) return;
        int32_t bits = static_cast<int32_t>(SDL_BITSPERPIXEL(mode.format));
        modes.push_back({mode.w, mode.h, bits == 24 ? 32 : bits, mode.refresh_rate});  // 24: padded to 32
    };
    SDL_DisplayMode mode;
    int n = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < n; ++i) {
        if (SDL_GetDisplayMode(0, i, &mode) == 0) add(mode);
    }
    if (modes.empty() && SDL_GetDesktopDisplayMode(0, &mode) == 0) add(mode);
    return modes;
}

int32_t displayModeCount() { return static_cast<int32_t>(sizedDisplayModes().size()); }

bool displayModeAt(int32_t index, DisplayModeInfo& out) {
    out = {};
    std::vector<DisplayModeInfo> modes = sizedDisplayModes();
    if (index < 0 || static_cast<size_t>(index) >= modes.size()) return false;
    out = modes[static_cast<size_t>(index)];
    return true;
}

int32_t displayDpi() {
    VideoForQuery video;
    float horizontal = 0;
    if (!video.ok || SDL_GetDisplayDPI(0, nullptr, &horizontal, nullptr) != 0 || horizontal < 1) return 96;
    return static_cast<int32_t>(horizontal + 0.5f);
}

void showSystemCursor(bool shown) {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
}

}  // namespace platform
