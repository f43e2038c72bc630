// Debugger lines and the breakpoint command. Depends on the debugger channel
// (platform/debugger.h), the pause flag and the input hooks of the shell.
#include "runtime/services/debug_output.h"

#include <cstdio>
#include <string>

#include "platform/debugger.h"
#include "runtime/services/engine_hooks.h"
#include "runtime/services/pause_flags.h"

int32_t windowActivationRequest = 0;

void debugOutputText(const char* text) {
    if (!platform::isDebuggerPresent()) return;
    std::string line = "TX";
    if (text) line += text;
    platform::outputDebugText(line.c_str());
}

void debugOutput(const RtString& text) {
    // The text may hold NUL bytes; the debugger sees it up to the first one.
    debugOutputText(text.data);
}

void DebugBreakpoint(int32_t id) {
    if (!platform::isDebuggerPresent()) return;
    char line[32] = {};
    // A negative id shows as its eight-digit two's complement.
    std::snprintf(line, sizeof line, "BP%x", static_cast<uint32_t>(id));
    if (engineHooks.releaseMouseDevice) engineHooks.releaseMouseDevice();
    platform::outputDebugText(line);
    pauseFlag = 0;
    if (engineHooks.refreshKeyboard) engineHooks.refreshKeyboard();
    if (engineHooks.pollAllMice) engineHooks.pollAllMice();
    windowActivationRequest = 1;
}
