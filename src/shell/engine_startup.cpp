// The engine start-up. Depends on the 2-D context (the window), the input
// object, the runtime's timers, random generator, error log and pack resolver.
//
// Departure: the random generator's seed mixes the clock's count into the
// milliseconds since the timer started, which are 0 at that step in every
// run: a program drew the same numbers each time it ran.
#include "shell/engine_startup.h"

#include <cstdio>
#include <string>

#include "gfx2d/gl_headers.h"
#include "gfx2d/opengl_rainbows.h"
#include "gfx3d/scene_commands.h"
#include "input/input_state.h"
#include "net/net_session.h"
#include "platform/clock.h"
#include "platform/system_info.h"
#include "runtime/engine/display_settings.h"
#include "runtime/engine/engine_state.h"
#include "runtime/engine/orderly_end.h"
#include "runtime/files/error_log.h"
#include "runtime/files/pack_archive.h"
#include "runtime/services/isaac.h"
#include "runtime/services/pause_flags.h"
#include "runtime/services/process_strings.h"
#include "runtime/services/runtime_error.h"
#include "runtime/services/timers.h"
#include "shell/engine_hooks_link.h"
#include "shell/shutdown_steps.h"
#include "sound/sound_system.h"

const char* const kStartupFontFiles[4] = {"Media/smalfont.png", "Media/smalfont.bmp", "smalfont.png",
                                          "smalfont.bmp"};

namespace {

void logStep(const std::string& line) { appendToErrorLog(line.c_str()); }

bool failWithoutWindow(const char* reason) {
    std::string line = std::string("Window failed: ") + reason + "\n";
    appendToErrorLog(line.c_str());
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    setRuntimeError(kNoWindowExitStatus);
    terminateProgram();
    return false;
}

}  // namespace

const char* findStartupFontFile() {
    char resolved[files::kPathBufferSize];
    for (const char* candidate : kStartupFontFiles) {
        if (resolvePackedFile(filePackArchive(), candidate, resolved, 1)) return candidate;
    }
    return nullptr;
}

bool startEngine(const RtString& projectName) {
    if (engine.graphics2D) return engine.graphics2D->window != nullptr;  // each object is made once
    recreateErrorLog();  // "Start new log...\n"
    pauseAllowed = 1;

    initPerformanceTimer();
    logStep("Timer started\n");

    registerShellReleaseSteps();
    auto* graphics = new OpenGLRainbows;
    engine.graphics2D = graphics;
    if (!graphics->createRenderWindow(displaySettings.width, displaySettings.height, 0,
                                      displaySettings.multisampling, displaySettings.frameRate)) {
        return failWithoutWindow(graphics->failureReason());
    }
    windowTitleString() = projectName;
    graphics->setTitle(windowTitleString());
    logStep("Window created: " + std::to_string(graphics->screenWidth) + "x" +
            std::to_string(graphics->screenHeight) + ", " +
            reinterpret_cast<const char*>(glGetString(GL_VERSION)) + "\n");

    // activeMillis(), the first timer reading, is 0 in every run; the clock's
    // count is not (see the banner).
    const uint64_t count = static_cast<uint64_t>(platform::clockPort().counter());
    SeedRandom(static_cast<int32_t>(activeMillis()) ^ static_cast<int32_t>(count ^ (count >> 32)));
    logStep("Random seeded\n");

    createNetSession();
    logStep("Network object created\n");
    startRenderer3D(graphics);

    auto* input = new InputState;
    engine.input = input;
    logStep("Input created\n");

    graphics->setDisplayMode(displaySettings.width, displaySettings.height, displaySettings.fullScreen);
    logStep(graphics->fullScreen ? "Display mode: full screen\n" : "Display mode: windowed\n");

    input->start(graphics->window);
    logStep("Input started\n");

    std::string folder = platform::executableFolder();
    platform::changeWorkingFolder(folder);
    logStep("Working folder: " + folder + "\n");

    openPackArchivesOnExecutable();
    logStep("Pack archives opened\n");

    frameTimeNow = frameTimePrevious = activeTimeOffset = elapsedMillis();
    logStep("Frame clock started\n");

    graphics->clear(0);
    graphics->flip();
    graphics->reset2DGLState();
    logStep("Screen cleared\n");

    const char* fontFile = findStartupFontFile();
    bool fontLoaded = fontFile && graphics->loadFontFile(RtString(fontFile), 0);
    logStep(std::string("Font 0: ") + (fontLoaded ? fontFile : "built-in") + "\n");

    input->setMouseMode(displaySettings.mouseHidden ? 0 : 1);
    logStep(displaySettings.mouseHidden ? "Mouse mode: cursor hidden\n" : "Mouse mode: arrow cursor\n");

    linkEngineHooks();

    bool sound = createSoundSystem(graphics->window);
    logStep(sound ? "Sound device created\n" : "Sound device not available\n");

    logStep("Init Finalized\n");
    return true;
}
