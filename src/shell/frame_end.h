// The end of every frame, and the pause loop it runs while the window is
// inactive. Every frame loop of a program calls EndFrame once per frame.
#pragma once
#include <cstdint>

// In order: ends a 3-D shadow pass; moves the frame times on; serves a request
// to bring the window to the front; runs the pause loop while paused; pumps
// the window's messages; polls keyboard and mice; applies the quit keys
// (Escape while escapeQuits is set, left Alt with F4 always: an orderly end
// with status 0); shows the frame at the frame limit; restores the 2-D state.
void finishFrame();
void EndFrame();

// Pumps messages and refreshes the input until the pause flag is clear, with
// short sleeps between rounds; Escape ends the program while escapeQuits is set.
void runPauseLoop();

// A window of the given size (0 keeps a side), full screen when the flag is
// set; then the sound device's window is set again and the frame ends.
void SetScreenMode(int32_t width, int32_t height, int32_t fullScreen);

// The pause loop's rounds since the start (for tests and diagnostics).
extern int64_t pauseLoopRounds;
