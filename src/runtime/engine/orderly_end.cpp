// The orderly end: terminateProgram and shutdownEngine. Depends on the error
// code, callbacks by name, the error log, the file channels and the display
// settings' debug flag.
//
// Departure: the program ends with the runtime error code as its exit status
// rather than always with 0, and a fatal error's text goes to the error log,
// so a failed run is visible to whoever started it. An error about a file
// names it (the error's subject), and then its text goes to standard error
// as well: a missing or damaged file is what a user can mend. The screen
// needs no redraw request here: the desktop redraws what the closed window
// covered.
#include "runtime/engine/orderly_end.h"

#include <cstdio>
#include <cstdlib>

#include "runtime/engine/display_settings.h"
#include "runtime/files/error_log.h"
#include "runtime/files/file_channels.h"
#include "runtime/services/callbacks.h"
#include "runtime/services/runtime_error.h"

namespace {

void (*shutdownSteps[ShutdownStageCount])() = {};
bool quitCallbackDone = false;
bool terminating = false;

void runSteps(int first, int end) {
    for (int stage = first; stage < end; ++stage) {
        if (auto release = shutdownSteps[stage]) {
            shutdownSteps[stage] = nullptr;
            release();
        }
    }
}

void appendNumberLine(long long value) {
    char line[32];
    std::snprintf(line, sizeof line, "%lld\n", value);
    appendToErrorLog(line);
}

}  // namespace

void setShutdownStep(ShutdownStage stage, void (*release)()) {
    if (stage >= 0 && stage < ShutdownStageCount) shutdownSteps[stage] = release;
}

void resetOrderlyEnd() {
    quitCallbackDone = false;
    terminating = false;
    rearmProjectHookAtClose();
}

int exitStatusForCode(int code) { return code >= 0 && code <= 255 ? code : 1; }

void shutdownEngine() {
    if (!quitCallbackDone) {
        quitCallbackDone = true;
        CallByName(RtString("VNT_ON_QUIT"));
        appendToErrorLog("Shut down VNT\n");
    }
    runSteps(ShutdownStageVideo, ShutdownStageNetwork);
    closeAllFileChannels();
    runSteps(ShutdownStageNetwork, ShutdownStageCount);
}

void terminateProgram() {
    if (terminating) return;
    terminateProgramAndExit();
}

void terminateProgramAndExit() {
    const int code = RtErrorCode;
    if (terminating) {
        std::fflush(stdout);
        std::_Exit(exitStatusForCode(code));
    }
    terminating = true;
    if (displaySettings.debug) {
        appendToErrorLog("-End On Line\n");
        appendNumberLine(static_cast<long long>(errorLine) - 1);
        appendNumberLine(currentLine);
        appendNumberLine(currentPosition);
    }
    if (code != 0) {
        RtString line = GetErrorText();
        const bool namesSubject = runtimeErrorSubject()[0] != '\0';
        if (namesSubject) {
            line += ": ";
            line += runtimeErrorSubject();
        }
        line += "\n";
        appendToErrorLog(line.data);
        if (namesSubject) {
            std::fputs(line.data, stderr);
            std::fflush(stderr);
        }
    }
    shutdownEngine();
    std::fputs("exit", stdout);
    std::fflush(stdout);
    std::exit(exitStatusForCode(code));
}
