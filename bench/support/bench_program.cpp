// The benchmarks' program hooks and their headless start and end.
#include "bench_program.h"

#include <cstdio>
#include <cstdlib>

#include "runtime/engine/display_settings.h"
#include "runtime/engine/orderly_end.h"
#include "runtime/engine/project_hooks.h"
#include "runtime/services/process_strings.h"
#include "runtime/services/runtime_error.h"
#include "shell/engine_startup.h"

namespace {
// What the running benchmark asked for; the settings hook reads them.
const char* programName = "Bench";
int32_t programFrameRate = 0;

double applyProjectSettings() {
    // A window of 640 x 480 with the cursor hidden, no multisampling.
    displaySettings = DisplaySettings{0, 1, programFrameRate, 0, 0, 480, 640};
    projectNameString() = RtString(programName);
    return 0.0;
}
double gameMain() { return 0.0; }
RtString buildDateTime() { return RtString(__DATE__ "-" __TIME__); }
RtString projectId() { return RtString("00000000"); }
RtString projectVersion() { return RtString("000.001"); }
void emptyProjectHook() {}

const ProjectHooks benchProjectHooks = {
    applyProjectSettings, gameMain, buildDateTime, projectId, projectVersion, emptyProjectHook};
}  // namespace

namespace bench {

void useHeadlessDrivers() {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
}

bool startHeadlessEngine(const char* projectName, int32_t frameRate) {
    useHeadlessDrivers();
    programName = projectName;
    programFrameRate = frameRate;
    projectHooks = benchProjectHooks;
    projectHooks.applyProjectSettings();
    return startEngine(projectNameString());
}

void endProgram() {
    std::fflush(stdout);
    setRuntimeError(0);
    terminateProgramAndExit();
}

}  // namespace bench
