// The screen commands of the 2-D context that the shell's frame end relies
// on: the frame limit, the viewport and the screen orientation. Without a
// 2-D context they do nothing.
#pragma once
#include <cstdint>

// Frames per second of EndFrame's pacing (0 = no limit) and vertical sync (not 0 = on).
void SetFrameLimit(int32_t framesPerSecond, int32_t verticalSync);
// Ends any 3-D shadow pass, then sets the drawing area in window pixels.
void SetViewport(int32_t x, int32_t y, int32_t width, int32_t height);
// Ends any 3-D shadow pass, then stores the screen orientation 0 to 3.
void SetOrientation(int32_t orientation);
