// The pause flag with its pause-allowed flag, and the flag that lets Escape
// end the program. The frame end runs the pause loop while pauseFlag is 1
// and ends the program on Escape while escapeQuits is not 0.
#pragma once
#include <cstdint>

extern int32_t pauseFlag;     // 0 or 1, initially 0
extern int32_t pauseAllowed;  // initially 1; the engine start-up sets it to 1 again
extern int32_t escapeQuits;   // initially 1; the game clears it

// A request counts only while pausing is allowed (else it is taken as 0).
// Pausing sets the flag, then calls "VNT_ON_PAUSE"; resuming clears it, then
// calls "VNT_ON_RESUME"; a request that changes nothing calls nothing.
void setPaused(int32_t request);
// Clearing it while paused resumes (with "VNT_ON_RESUME").
void SetPauseAllowed(int32_t allowed);
void SetEscapeQuits(int32_t flag);
int32_t GetEscapeQuits();
