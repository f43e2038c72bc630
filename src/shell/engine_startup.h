// The engine start-up: every engine object created once, in order, with one
// line per step in the error log, from "Start new log...\n" to
// "Init Finalized\n". The settings hook has filled displaySettings before.
#pragma once
#include <cstdint>

#include "runtime/strings/rt_string.h"

// The exit status of a program whose window or GL context cannot be made.
constexpr int32_t kNoWindowExitStatus = 1;

// Starts the engine; the project name becomes the window title. When the
// window or its context cannot be made the reason goes to the error log and
// to standard error and the program ends in order with kNoWindowExitStatus
// (terminateProgram does not return then; false comes back only while a
// shutdown is already under way). A second call while the engine stands
// changes nothing and tells whether the window exists.
bool startEngine(const RtString& projectName);

// The font images tried for font 0, in order.
extern const char* const kStartupFontFiles[4];
// The first of them found through the file context (on disk, or in the pack
// appended to the executable); null when none is.
const char* findStartupFontFile();
