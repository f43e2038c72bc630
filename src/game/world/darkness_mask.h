// The darkness of levels with an angler: a black mask on screen 5 with a
// round hole around the diver and each angler, filled with the transparent
// colour so that the play surface shows through.
#pragma once
#include <cstdint>

// The disc of radius r around (cx, cy) as horizontal lines of height 1, by
// the integer midpoint circle method; each line is (left x, y, width). With
// r = 28 the lines cover exactly the rows cy - 28 to cy + 28, and the first
// line runs from cx - 28 up to but not including cx + 28.
template <class Line>
void forEachHoleLine(int32_t cx, int32_t cy, int32_t r, Line&& line) {
    line(cx - r, cy, 2 * r);
    int32_t x = r, y = 0, d = 1 - r, dx = 0, dy = -2 * r;
    while (y < x) {
        if (d >= 0) {
            dy += 2;
            x -= 1;
            d += dy;
        }
        dx += 2;
        y += 1;
        d += dx + 1;
        line(cx - y, cy + x, 2 * y);
        line(cx - y, cy - x, 2 * y);
        line(cx - x, cy + y, 2 * x);
        line(cx - x, cy - y, 2 * x);
    }
}

// Fills the disc with the transparent colour on the current surface.
double DrawHoleCircle(int32_t cx, int32_t cy, int32_t r);
// Screen 5: black over 240 x 160, a hole of radius 28 at the diver's centre
// and at each angler's, then screen 1 selected again.
double DrawDarknessMask();
