// Opening a document or an address with the desktop's handler.
#pragma once
#include "runtime/strings/rt_string.h"

// While escapeQuits is set the engine shuts down first and the program ends
// (exit status 0) after the handler has been started; otherwise the program
// runs on. Whether the handler started is not reported.
void ShellOpen(const RtString& target);
