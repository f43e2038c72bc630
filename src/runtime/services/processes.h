// Child processes started with a command line.
#pragma once
#include "runtime/strings/rt_string.h"

// Starts the command (first word the program, found on PATH; no shell).
// The exit-code target (when not null) is set to 0.0 first; with wait not
// 0.0 the call blocks until the child ends and stores its exit code there.
// The window goes to windowed mode before the start and the main window is
// made active again afterwards. Returns 1.0 when the child started, else 0.0.
// `show` has no meaning on this platform (there is no window to show).
double RunProcess(const RtString& commandLine, double wait, double show, double* exitCode);
// Shuts the engine down, starts the command without waiting and ends the
// process with exit status 0, whatever the start gave.
[[noreturn]] void RunProcessAndExit(const RtString& commandLine);
