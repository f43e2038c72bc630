// RunProcess and RunProcessAndExit. Depends on the platform's child
// processes, the shell's window hooks and the engine shutdown.
#include "runtime/services/processes.h"

#include <cstdio>
#include <cstdlib>

#include "platform/processes.h"
#include "runtime/engine/orderly_end.h"
#include "runtime/services/engine_hooks.h"

double RunProcess(const RtString& commandLine, double wait, double show, double* exitCode) {
    (void)show;
    if (exitCode) *exitCode = 0.0;
    if (engineHooks.setWindowedMode) engineHooks.setWindowedMode();
    platform::ChildProcess child;
    const bool started = platform::startCommandLine(commandLine.data, &child);
    if (started) {
        if (wait != 0.0) {
            // The wait ends when the child has ended, whatever code it gives.
            uint32_t code = 0;
            if (platform::waitForProcess(child, &code) && exitCode) *exitCode = static_cast<double>(code);
        } else {
            platform::releaseProcess(child);
        }
    }
    if (engineHooks.activateMainWindow) engineHooks.activateMainWindow();
    return started ? 1.0 : 0.0;
}

void RunProcessAndExit(const RtString& commandLine) {
    shutdownEngine();
    RtString copy(commandLine);
    double ignored = 0.0;
    RunProcess(copy, 0.0, 1.0, &ignored);
    std::fflush(stdout);
    std::exit(0);
}
