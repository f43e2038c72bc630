// Opening a document or an address with the desktop's own handler: the
// stand-in for the shell's "Open" verb. The opener program ("xdg-open"
// unless set otherwise) starts without a shell with the target as its one
// argument, and nobody waits for it.
#pragma once

namespace platform {

// False when the opener cannot be started (a null target gives false too).
bool openWithShell(const char* target);

// The opener program, looked up on PATH; null puts "xdg-open" back.
void setShellOpener(const char* program);

}  // namespace platform
