// Debugger lines of the runtime and the breakpoint command.
// Every runtime line to a debugger carries the prefix "TX"; the breakpoint
// line does not. Nothing is sent while no debugger is attached.
#pragma once
#include <cstdint>

#include "runtime/strings/rt_string.h"

// Set by DebugBreakpoint; the next frame end brings the main window to the
// front and clears it.
extern int32_t windowActivationRequest;

// "TX" + the text, when a debugger is attached. No line end is added.
void debugOutput(const RtString& text);
void debugOutputText(const char* text);

// With a debugger attached: releases the mouse device, sends "BP" + the id
// in lower-case hexadecimal, clears the pause flag, refreshes the keyboard,
// drains every mouse and asks the frame end to bring the window forward.
// Without one it does nothing.
void DebugBreakpoint(int32_t id);
