// Canvas, mask, paint and the whole-frame operations.
#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace media {
namespace {

// 4 x 4 ordered-dither thresholds in (0, 1).
constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

double threshold(int x, int y) { return (kBayer[y & 3][x & 3] + 0.5) / 16.0; }

}  // namespace

bool Canvas::empty() const {
    return std::all_of(px_.begin(), px_.end(), [](const Rgba& c) { return c.transparent(); });
}

bool Mask::bounds(int& x0, int& y0, int& x1, int& y1) const {
    x0 = w_;
    y0 = h_;
    x1 = -1;
    y1 = -1;
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x)
            if (bits_[static_cast<size_t>(y) * w_ + x]) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
    return x1 >= 0;
}

Rgba Paint::at(int x, int y, int x0, int y0, int x1, int y1) const {
    if (stops_.size() == 1) return stops_[0];
    int span = dir_ == Direction::Vertical ? y1 - y0 : x1 - x0;
    int pos = dir_ == Direction::Vertical ? y - y0 : x - x0;
    double t = span <= 0 ? 0.0 : static_cast<double>(pos) / span;
    double s = std::clamp(t, 0.0, 1.0) * static_cast<double>(stops_.size() - 1);
    size_t i = static_cast<size_t>(std::floor(s));
    if (i >= stops_.size() - 1) return stops_.back();
    // The dithered band between two stops is kept to the middle half of the
    // way from one to the next: solid colour on either side reads better in
    // small sprites than a checkerboard all the way.
    double frac = std::clamp((s - static_cast<double>(i) - 0.5) * 2.0 + 0.5, 0.0, 1.0);
    return frac > threshold(x, y) ? stops_[i + 1] : stops_[i];
}

void paintMask(Canvas& canvas, const Mask& mask, const Paint& paint) {
    int x0, y0, x1, y1;
    if (!mask.bounds(x0, y0, x1, y1)) return;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            if (mask.covered(x, y) && (!paint.clipped() || canvas.opaque(x, y)))
                canvas.set(x, y, paint.at(x, y, x0, y0, x1, y1));
}

void outline(Canvas& canvas, const Paint& paint, bool diagonal) {
    const int w = canvas.width(), h = canvas.height();
    Mask ring(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (canvas.opaque(x, y)) continue;
            bool edge = canvas.opaque(x - 1, y) || canvas.opaque(x + 1, y) || canvas.opaque(x, y - 1) ||
                        canvas.opaque(x, y + 1);
            if (!edge && diagonal)
                edge = canvas.opaque(x - 1, y - 1) || canvas.opaque(x + 1, y - 1) ||
                       canvas.opaque(x - 1, y + 1) || canvas.opaque(x + 1, y + 1);
            if (edge) ring.cover(x, y);
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (ring.covered(x, y)) canvas.set(x, y, paint.at(x, y, 0, 0, w - 1, h - 1));
}

void bevel(Canvas& canvas, Rgba light, Rgba dark) {
    const Canvas before = canvas;
    auto solid = [&](int x, int y) { return !before.inside(x, y) || before.opaque(x, y); };
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            if (!before.opaque(x, y)) continue;
            bool lit = !solid(x - 1, y) || !solid(x, y - 1);
            bool shaded = !solid(x + 1, y) || !solid(x, y + 1);
            if (lit && !light.transparent()) canvas.set(x, y, light);
            else if (shaded && !dark.transparent()) canvas.set(x, y, dark);
        }
}

void flipX(Canvas& canvas) {
    const Canvas before = canvas;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) canvas.set(x, y, before.get(canvas.width() - 1 - x, y));
}

void flipY(Canvas& canvas) {
    const Canvas before = canvas;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) canvas.set(x, y, before.get(x, canvas.height() - 1 - y));
}

void rotate(Canvas& canvas) {
    const Canvas before = canvas;
    const int n = canvas.width();
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) canvas.set(x, y, before.get(y, n - 1 - x));
}

void recolor(Canvas& canvas, Rgba from, Rgba to) {
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (canvas.get(x, y) == from) canvas.set(x, y, to);
}

void shift(Canvas& canvas, int dx, int dy) {
    const Canvas before = canvas;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) canvas.set(x, y, before.get(x - dx, y - dy));
}

void drawCanvas(Canvas& dst, const Canvas& src, int sx, int sy, int sw, int sh, int dx, int dy, int scale,
                bool flip) {
    for (int y = 0; y < sh; ++y)
        for (int x = 0; x < sw; ++x) {
            Rgba c = src.get(sx + (flip ? sw - 1 - x : x), sy + y);
            if (c.transparent()) continue;
            for (int j = 0; j < scale; ++j)
                for (int i = 0; i < scale; ++i) dst.set(dx + x * scale + i, dy + y * scale + j, c);
        }
}

}  // namespace media
