// The screen orientation: 0 upright, 1 and 3 turned a quarter (the picture's
// x axis runs down, respectively up, the window), 2 upside down. Drawing keeps
// its own coordinates; these map between them and window pixels. Any other
// value counts as 0.
#pragma once
#include <cstdint>

struct WindowRect {
    int32_t x, y, width, height;
};

// Where a rectangle of the picture lies in the window of the given size. The
// size is not swapped for orientations 1 and 3: the caller that sets a GL
// viewport swaps it.
WindowRect rotateRectByOrientation(int32_t orientation, const WindowRect& r, int32_t windowWidth,
                                   int32_t windowHeight);

// The picture point under a window point (the inverse of the mapping above,
// in continuous coordinates: a pixel's corner maps to a pixel's corner).
void windowPointToPicture(int32_t orientation, double windowX, double windowY, int32_t windowWidth,
                          int32_t windowHeight, double& pictureX, double& pictureY);
