// ShellOpen. Depends on the platform's opener, the Escape flag and the
// orderly end.
//
// Departure: when it ends the program it records success first, so an
// earlier, non-fatal error code does not become the exit status of what is
// an orderly end.
#include "runtime/services/shell_open_command.h"

#include "platform/shell_open.h"
#include "runtime/engine/orderly_end.h"
#include "runtime/files/error_log.h"
#include "runtime/services/pause_flags.h"
#include "runtime/services/runtime_error.h"

void ShellOpen(const RtString& target) {
    const bool endAfterwards = escapeQuits != 0;
    if (endAfterwards) shutdownEngine();
    if (!platform::openWithShell(target.data)) {
        static bool told = false;
        if (!told) {
            told = true;
            appendToErrorLog("ShellOpen: the desktop's opener (xdg-open) could not be started\n");
        }
    }
    if (endAfterwards) {
        clearErrorCode();
        terminateProgram();
    }
}
