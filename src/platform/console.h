// A console of the process's own: the stand-in for creating a console
// window. A process here has no console to create; what comes closest is the
// controlling terminal, so standard input and standard output are connected
// to it (standard error stays as it was).
#pragma once

namespace platform {

// False, with nothing changed, when the process has no controlling terminal.
bool openConsole();

}  // namespace platform
