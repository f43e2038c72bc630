#include "input/mouse_mapping.h"

#include <cmath>

#include "gfx2d/screen_orientation.h"

void mapMouseToPicture(const MouseMapping& m, int32_t mouseX, int32_t mouseY, double& x, double& y) {
    bool scaled = m.windowWidth > 0 && m.windowHeight > 0 && m.screenWidth > 0 && m.screenHeight > 0;
    double sx = scaled ? static_cast<double>(m.screenWidth) / m.windowWidth : 1.0;
    double sy = scaled ? static_cast<double>(m.screenHeight) / m.windowHeight : 1.0;
    windowPointToPicture(m.orientation, (mouseX + 0.5) * sx, (mouseY + 0.5) * sy, m.screenWidth,
                         m.screenHeight, x, y);
}

void mousePixel(const MouseMapping& m, int32_t mouseX, int32_t mouseY, int32_t& x, int32_t& y) {
    double fx = 0, fy = 0;
    mapMouseToPicture(m, mouseX, mouseY, fx, fy);
    x = static_cast<int32_t>(std::floor(fx));
    y = static_cast<int32_t>(std::floor(fy));
}

void mousePosition(const MouseMapping& m, int32_t mouseX, int32_t mouseY, double& x, double& y) {
    mapMouseToPicture(m, mouseX, mouseY, x, y);
    x -= 0.5;
    y -= 0.5;
}
