#include "shell/display_modes.h"

#include "platform/gl_window.h"

int32_t CountDisplayModes() { return platform::displayModeCount(); }

int32_t GetDisplayMode(int32_t index, int32_t* width, int32_t* height, int32_t* bitsPerPixel,
                       int32_t* refreshRate) {
    platform::DisplayModeInfo mode;
    bool found = platform::displayModeAt(index, mode);
    if (width) *width = mode.width;
    if (height) *height = mode.height;
    if (bitsPerPixel) *bitsPerPixel = mode.bitsPerPixel;
    if (refreshRate) *refreshRate = mode.refreshRate;
    return found ? 1 : 0;
}

void GetDesktopSize(int32_t* width, int32_t* height) {
    int32_t w = 0, h = 0;
    platform::desktopSize(w, h);
    if (width) *width = w;
    if (height) *height = h;
}
