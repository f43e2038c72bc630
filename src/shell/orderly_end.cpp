// Provisional orderly end: runs the shutdown once and exits with the error
// code. The full sequence (debug lines, quit callback, log lines) follows.
#include "shell/orderly_end.h"

#include <cstdio>
#include <cstdlib>

#include "runtime/files/file_channels.h"
#include "runtime/services/runtime_error.h"

namespace {
void (*shutdownSteps[ShutdownStageCount])() = {};
bool terminating = false;
}  // namespace

void setShutdownStep(ShutdownStage stage, void (*release)()) {
    if (stage >= 0 && stage < ShutdownStageCount) shutdownSteps[stage] = release;
}

void shutdownEngine() {
    closeAllFileChannels();
    for (auto& step : shutdownSteps) {
        if (auto release = step) {
            step = nullptr;
            release();
        }
    }
}

void terminateProgram() {
    if (terminating) return;
    terminateProgramAndExit();
}

void terminateProgramAndExit() {
    terminating = true;
    shutdownEngine();
    std::fputs("exit", stdout);
    std::fflush(stdout);
    std::exit(RtErrorCode);
}
