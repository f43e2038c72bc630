// The runtime's diagnostic file, "ErrorLog.txt" in the temporary folder.
// Each append writes exactly the caller's bytes (callers end their lines with
// "\n"); failures are silent, so it can be used on the way out of an error.
#pragma once
#include "runtime/strings/rt_string.h"

// The temporary folder ($TMPDIR when it names a directory, else /tmp) + "/ErrorLog.txt".
RtString errorLogPath();
// Appends the text; a null pointer is written as "NULL".
void appendToErrorLog(const char* text);
// Deletes the log and starts it again with "Start new log...\n" (engine start-up).
void recreateErrorLog();
