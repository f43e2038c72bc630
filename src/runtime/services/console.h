// The console streams: standard output, standard error, one line of standard
// input and a console of the process's own.
#pragma once
#include "runtime/strings/rt_string.h"

// The text up to its first NUL byte, flushed at once; no line end is added.
void PrintToStdout(const RtString& text);
void printToStderr(const RtString& text);
// One line of at most 4,094 characters without its "\n"; a longer line comes
// in pieces on successive calls; "" at the end of input or on a read error.
RtString InputLine();
// Connects standard input and output to a console of their own, so that
// InputLine and PrintToStdout use it; standard error stays as it was.
void OpenDebugConsole();
