// The process-wide strings: the command line (whole, unparsed), the project
// name set by the program's settings hook and the text of the window title.
// Each is made on first use and released when the process exits.
#pragma once
#include "runtime/strings/rt_string.h"

RtString& commandLineString();
RtString& projectNameString();
RtString& windowTitleString();

// A copy of the command line.
RtString GetCommandLineString();
// Replaces the command line; the old text is released only after the new one
// exists, so the text may come from the old string itself.
void setCommandLineString(const char* text);
