// The shell's "Open" verb through an opener program.
#include "platform/shell_open.h"

#include <string>

#include "platform/processes.h"

namespace platform {

namespace {
std::string opener = "xdg-open";
}

bool openWithShell(const char* target) {
    if (!target) return false;
    ChildProcess child;
    if (!startProgram({opener, target}, &child)) return false;
    releaseProcess(child);
    return true;
}

void setShellOpener(const char* program) { opener = program ? program : "xdg-open"; }

}  // namespace platform
