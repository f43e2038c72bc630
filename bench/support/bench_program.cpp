// The benchmarks' program hooks and their headless start and end. Compiled
// into each benchmark that starts the engine (an object library), so that
// the hooks stand before the runtime on the link line.
#include "bench_program.h"

#include <cstdio>
#include <cstdlib>

#include "runtime/services/process_strings.h"
#include "runtime/services/runtime_error.h"
#include "shell/display_settings.h"
#include "shell/engine_startup.h"
#include "shell/orderly_end.h"
#include "shell/project_hooks.h"

namespace {
// What the running benchmark asked for; the settings hook reads them.
const char* programName = "Bench";
int32_t programFrameRate = 0;
}  // namespace

double ApplyProjectSettings() {
    // A window of 640 x 480 with the cursor hidden, no multisampling.
    displaySettings = DisplaySettings{0, 1, programFrameRate, 0, 0, 480, 640};
    projectNameString() = RtString(programName);
    return 0.0;
}
double GameMain() { return 0.0; }
RtString GetBuildDateTime() { return RtString(__DATE__ "-" __TIME__); }
RtString GetProjectId() { return RtString("00000000"); }
RtString GetProjectVersion() { return RtString("000.001"); }
void EmptyProjectHook() {}

namespace bench {

void useHeadlessDrivers() {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
}

bool startHeadlessEngine(const char* projectName, int32_t frameRate) {
    useHeadlessDrivers();
    programName = projectName;
    programFrameRate = frameRate;
    ApplyProjectSettings();
    return startEngine(projectNameString());
}

void endProgram() {
    std::fflush(stdout);
    setRuntimeError(0);
    terminateProgramAndExit();
}

}  // namespace bench
