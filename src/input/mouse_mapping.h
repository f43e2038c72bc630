// From the mouse's window position to the picture's pixels: first from window
// units to the drawing area's pixels (they differ when the window is scaled),
// then through the screen orientation (gfx2d/screen_orientation.h).
#pragma once
#include <cstdint>

struct MouseMapping {
    int32_t windowWidth, windowHeight;  // window units
    int32_t screenWidth, screenHeight;  // pixels of the drawing area
    int32_t orientation;
};

// The picture position of the middle of the mouse's window unit, in
// continuous pixel coordinates (pixel n spans n to n + 1). A zero-sized window
// or screen leaves the position unscaled.
void mapMouseToPicture(const MouseMapping& m, int32_t mouseX, int32_t mouseY, double& x, double& y);

// The pixel under the mouse: the mapped position cut down to whole pixels.
void mousePixel(const MouseMapping& m, int32_t mouseX, int32_t mouseY, int32_t& x, int32_t& y);
// The mouse as numbers: the mapped position less half a pixel, so that at
// scale 1 it equals the pixel under the mouse.
void mousePosition(const MouseMapping& m, int32_t mouseX, int32_t mouseY, double& x, double& y);
