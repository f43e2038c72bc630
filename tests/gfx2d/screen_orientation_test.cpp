// The orientation mappings of the picture into the window and back.
#include <gtest/gtest.h>

#include "gfx2d/screen_orientation.h"

namespace {

void expectRect(const WindowRect& r, int32_t x, int32_t y, int32_t w, int32_t h) {
    EXPECT_EQ(r.x, x);
    EXPECT_EQ(r.y, y);
    EXPECT_EQ(r.width, w);
    EXPECT_EQ(r.height, h);
}

TEST(ScreenOrientation, RectanglesInTheWindow) {
    WindowRect r{10, 20, 30, 40};
    expectRect(rotateRectByOrientation(0, r, 640, 480), 10, 20, 30, 40);
    expectRect(rotateRectByOrientation(1, r, 640, 480), 640 - 20 - 40, 10, 30, 40);
    expectRect(rotateRectByOrientation(2, r, 640, 480), 640 - 10 - 30, 480 - 20 - 40, 30, 40);
    expectRect(rotateRectByOrientation(3, r, 640, 480), 20, 480 - 10 - 30, 30, 40);
    expectRect(rotateRectByOrientation(7, r, 640, 480), 10, 20, 30, 40);
    expectRect(rotateRectByOrientation(-1, r, 640, 480), 10, 20, 30, 40);
}

TEST(ScreenOrientation, PointsComeBackToThePixelTheyCameFrom) {
    const int32_t w = 64, h = 48;
    for (int32_t o = 0; o < 4; ++o) {
        for (int32_t y = 0; y < 48; y += 7) {
            for (int32_t x = 0; x < 64; x += 9) {
                WindowRect r = rotateRectByOrientation(o, {x, y, 1, 1}, w, h);
                double px = 0, py = 0;
                windowPointToPicture(o, r.x + 0.5, r.y + 0.5, w, h, px, py);
                EXPECT_DOUBLE_EQ(px, x + 0.5) << "orientation " << o;
                EXPECT_DOUBLE_EQ(py, y + 0.5) << "orientation " << o;
            }
        }
    }
}

TEST(ScreenOrientation, CornersOfTheWindow) {
    double x = 0, y = 0;
    windowPointToPicture(2, 0, 0, 640, 480, x, y);
    EXPECT_DOUBLE_EQ(x, 640);
    EXPECT_DOUBLE_EQ(y, 480);
    windowPointToPicture(1, 640, 0, 640, 480, x, y);  // the picture's top left shows at the top right
    EXPECT_DOUBLE_EQ(x, 0);
    EXPECT_DOUBLE_EQ(y, 0);
    windowPointToPicture(3, 0, 480, 640, 480, x, y);  // ... and at the bottom left
    EXPECT_DOUBLE_EQ(x, 0);
    EXPECT_DOUBLE_EQ(y, 0);
}

}  // namespace
