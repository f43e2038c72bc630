// The window's message handling (the window procedure) and the message pump.
// Every message first runs the program's hook "VNT_WIN32_MSG" by name, when
// the program has one. Focus loss pauses the program (not with the debug
// flag), focus gain resumes it; closing the window ends the program in order;
// typed characters go to the input object's queue; a size change reaches the
// 2-D context.
#pragma once
#include <cstdint>

namespace platform {
struct Event;
}

void handleWindowEvent(const platform::Event& event);
// Handles every event waiting; returns how many there were.
int32_t pumpWindowMessages();

// The characters a typed text gives the queue: UTF-8 decoded, code points up
// to 255 as themselves, others as "?", malformed bytes skipped. Returns how
// many were queued.
int32_t queueTypedText(const char* utf8);
