// The display's modes, for programs that offer a choice of screen modes.
#pragma once
#include <cstdint>

// How many modes the first display offers (0 without a display).
int32_t CountDisplayModes();
// Mode n (from 0): width, height, bits per pixel and refresh rate (0 when
// unknown) into each out-parameter that is not null; 1 when mode n exists,
// else 0 with every out-parameter 0.
int32_t GetDisplayMode(int32_t index, int32_t* width, int32_t* height, int32_t* bitsPerPixel,
                       int32_t* refreshRate);
// The desktop's size, 0 x 0 without a display.
void GetDesktopSize(int32_t* width, int32_t* height);
