// The orientation mappings; they must stay the inverse of each other.
#include "gfx2d/screen_orientation.h"

WindowRect rotateRectByOrientation(int32_t orientation, const WindowRect& r, int32_t windowWidth,
                                   int32_t windowHeight) {
    switch (orientation) {
    case 1: return {windowWidth - r.y - r.height, r.x, r.width, r.height};
    case 2: return {windowWidth - r.x - r.width, windowHeight - r.y - r.height, r.width, r.height};
    case 3: return {r.y, windowHeight - r.x - r.width, r.width, r.height};
    default: return r;
    }
}

void windowPointToPicture(int32_t orientation, double windowX, double windowY, int32_t windowWidth,
                          int32_t windowHeight, double& pictureX, double& pictureY) {
    switch (orientation) {
    case 1:
        pictureX = windowY;
        pictureY = windowWidth - windowX;
        break;
    case 2:
        pictureX = windowWidth - windowX;
        pictureY = windowHeight - windowY;
        break;
    case 3:
        pictureX = windowHeight - windowY;
        pictureY = windowX;
        break;
    default:
        pictureX = windowX;
        pictureY = windowY;
        break;
    }
}
