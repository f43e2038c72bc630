// The display settings record: what the program's settings hook asks of the
// window before the engine starts (the settings hook of project_hooks.h
// fills it; startEngine reads it, and so do the runtime and the 3-D
// commands later). Sizes are pixels; flags are 0 or not 0.
#pragma once
#include <cstdint>

struct DisplaySettings {
    int32_t fullScreen;     // 0: a centred window; otherwise full-screen display mode
    int32_t mouseHidden;    // not 0: the system cursor is hidden over the window
    int32_t frameRate;      // frames per second of the pacing
    int32_t debug;          // not 0: line numbers at the program end, no pause on focus loss
    int32_t multisampling;  // samples per pixel of the window's pixel format, 0 = none
    int32_t height;         // window height
    int32_t width;          // window width
};

extern DisplaySettings displaySettings;
