// The process's console on its controlling terminal.
#include "platform/console.h"

#include <cstdio>
#include <fcntl.h>
#include <stdio_ext.h>
#include <unistd.h>

namespace platform {

bool openConsole() {
    int terminal = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (terminal < 0) return false;
    std::fflush(stdout);
    __fpurge(stdin);  // what was buffered came from the old input
    bool ok = ::dup2(terminal, STDIN_FILENO) >= 0 && ::dup2(terminal, STDOUT_FILENO) >= 0;
    ::close(terminal);
    std::clearerr(stdin);
    std::clearerr(stdout);
    return ok;
}

}  // namespace platform
