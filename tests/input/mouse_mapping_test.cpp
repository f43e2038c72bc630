// From the mouse's window units to the picture's pixels.
#include <gtest/gtest.h>

#include "input/mouse_mapping.h"

namespace {

TEST(MouseMapping, UnscaledUprightIsThePixelItself) {
    MouseMapping m{640, 480, 640, 480, 0};
    int32_t x = -1, y = -1;
    mousePixel(m, 0, 0, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    mousePixel(m, 639, 479, x, y);
    EXPECT_EQ(x, 639);
    EXPECT_EQ(y, 479);
    double fx = 0, fy = 0;
    mousePosition(m, 100, 200, fx, fy);
    EXPECT_DOUBLE_EQ(fx, 100.0);
    EXPECT_DOUBLE_EQ(fy, 200.0);
}

TEST(MouseMapping, AScaledWindowMapsToTheDrawingAreasPixels) {
    MouseMapping m{1280, 960, 640, 480, 0};  // the window shows the picture at double size
    int32_t x = 0, y = 0;
    mousePixel(m, 1279, 959, x, y);
    EXPECT_EQ(x, 639);
    EXPECT_EQ(y, 479);
    mousePixel(m, 201, 100, x, y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 50);
    MouseMapping half{320, 240, 640, 480, 0};  // a high-density display: two pixels per unit
    double fx = 0, fy = 0;
    mousePosition(half, 10, 20, fx, fy);
    EXPECT_DOUBLE_EQ(fx, 20.5);
    EXPECT_DOUBLE_EQ(fy, 40.5);
}

TEST(MouseMapping, OrientationsTurnThePosition) {
    int32_t x = 0, y = 0;
    mousePixel({640, 480, 640, 480, 2}, 0, 0, x, y);
    EXPECT_EQ(x, 639);
    EXPECT_EQ(y, 479);
    mousePixel({640, 480, 640, 480, 1}, 639, 0, x, y);  // top right of the window
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    mousePixel({640, 480, 640, 480, 1}, 600, 30, x, y);
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 39);
    mousePixel({640, 480, 640, 480, 3}, 0, 479, x, y);  // bottom left of the window
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    mousePixel({640, 480, 640, 480, 3}, 25, 400, x, y);
    EXPECT_EQ(x, 79);
    EXPECT_EQ(y, 25);
}

TEST(MouseMapping, NoWindowSizeLeavesThePositionUnscaled) {
    int32_t x = 0, y = 0;
    mousePixel({0, 0, 0, 0, 0}, 17, 23, x, y);
    EXPECT_EQ(x, 17);
    EXPECT_EQ(y, 23);
    mousePixel({640, 480, 0, 0, 0}, -3, 5, x, y);  // a position left of the window stays left of it
    EXPECT_EQ(x, -3);
    EXPECT_EQ(y, 5);
}

}  // namespace
