// Shape coverage by pixel-centre tests over each shape's bounding box.
#include "shapes.h"

#include <algorithm>
#include <cmath>

#include "../common/rng.h"

namespace media {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The part of the rectangle that lies on the mask; false when none does.
bool clampRect(const Mask& m, int& x, int& y, int& w, int& h) {
    int x1 = std::min(m.width(), x + std::max(0, w)), y1 = std::min(m.height(), y + std::max(0, h));
    x = std::max(0, x);
    y = std::max(0, y);
    w = x1 - x;
    h = y1 - y;
    return w > 0 && h > 0;
}

template <typename Inside>
void coverBox(Mask& m, double x0, double y0, double x1, double y1, Inside inside) {
    int ix0 = std::max(0, static_cast<int>(std::floor(x0)) - 1);
    int iy0 = std::max(0, static_cast<int>(std::floor(y0)) - 1);
    int ix1 = std::min(m.width() - 1, static_cast<int>(std::ceil(x1)) + 1);
    int iy1 = std::min(m.height() - 1, static_cast<int>(std::ceil(y1)) + 1);
    for (int y = iy0; y <= iy1; ++y)
        for (int x = ix0; x <= ix1; ++x)
            if (inside(x + 0.5, y + 0.5)) m.cover(x, y);
}

// Corner n of a regular outline around (cx, cy), angle 0 pointing up.
Point polar(double cx, double cy, double r, double angleDeg) {
    double a = angleDeg * kPi / 180.0;
    return Point{cx + r * std::sin(a), cy - r * std::cos(a)};
}

}  // namespace

void maskRect(Mask& m, double x, double y, double w, double h) {
    coverBox(m, x, y, x + w, y + h, [&](double px, double py) { return px >= x && px < x + w && py >= y && py < y + h; });
}

void maskDisc(Mask& m, double cx, double cy, double r) {
    coverBox(m, cx - r, cy - r, cx + r, cy + r, [&](double px, double py) {
        double dx = px - cx, dy = py - cy;
        return dx * dx + dy * dy <= r * r;
    });
}

void maskRing(Mask& m, double cx, double cy, double r, double thickness) {
    double inner = std::max(0.0, r - thickness);
    coverBox(m, cx - r, cy - r, cx + r, cy + r, [&](double px, double py) {
        double d2 = (px - cx) * (px - cx) + (py - cy) * (py - cy);
        return d2 <= r * r && d2 > inner * inner;
    });
}

void maskEllipse(Mask& m, double cx, double cy, double rx, double ry, double angle) {
    if (rx <= 0 || ry <= 0) return;
    double a = angle * kPi / 180.0, c = std::cos(a), s = std::sin(a);
    double reach = std::max(rx, ry);
    coverBox(m, cx - reach, cy - reach, cx + reach, cy + reach, [&](double px, double py) {
        double dx = px - cx, dy = py - cy;
        double u = dx * c + dy * s, v = -dx * s + dy * c;
        return (u * u) / (rx * rx) + (v * v) / (ry * ry) <= 1.0;
    });
}

void maskPolygon(Mask& m, const std::vector<Point>& p) {
    if (p.size() < 3) return;
    double x0 = p[0].x, x1 = p[0].x, y0 = p[0].y, y1 = p[0].y;
    for (const Point& q : p) {
        x0 = std::min(x0, q.x);
        x1 = std::max(x1, q.x);
        y0 = std::min(y0, q.y);
        y1 = std::max(y1, q.y);
    }
    coverBox(m, x0, y0, x1, y1, [&](double px, double py) {
        bool in = false;
        for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
            if ((p[i].y > py) != (p[j].y > py)) {
                double xc = p[j].x + (py - p[j].y) * (p[i].x - p[j].x) / (p[i].y - p[j].y);
                if (px < xc) in = !in;
            }
        }
        return in;
    });
}

void maskStar(Mask& m, double cx, double cy, double outer, double inner, int points, double angle) {
    if (points < 2) return;
    std::vector<Point> corners;
    for (int i = 0; i < points * 2; ++i)
        corners.push_back(polar(cx, cy, i % 2 ? inner : outer, angle + 180.0 * i / points));
    maskPolygon(m, corners);
}

void maskLine(Mask& m, double x1, double y1, double x2, double y2, double width) {
    double half = std::max(width, 1.0) / 2.0;
    double dx = x2 - x1, dy = y2 - y1, len2 = dx * dx + dy * dy;
    coverBox(m, std::min(x1, x2) - half, std::min(y1, y2) - half, std::max(x1, x2) + half,
             std::max(y1, y2) + half, [&](double px, double py) {
                 double t = len2 > 0 ? ((px - x1) * dx + (py - y1) * dy) / len2 : 0.0;
                 t = std::clamp(t, 0.0, 1.0);
                 double ex = x1 + t * dx - px, ey = y1 + t * dy - py;
                 return ex * ex + ey * ey <= half * half + 1e-9;
             });
}

void maskBlob(Mask& m, double cx, double cy, double r, double rough, uint64_t seed) {
    Rng rng(seed);
    double amp[4], phase[4];
    for (int k = 0; k < 4; ++k) {
        amp[k] = rough * (0.4 + 0.6 * rng.uniform()) / (k + 1);
        phase[k] = rng.uniform() * 2 * kPi;
    }
    double reach = r * (1 + rough * 2.1);
    coverBox(m, cx - reach, cy - reach, cx + reach, cy + reach, [&](double px, double py) {
        double dx = px - cx, dy = py - cy;
        double theta = std::atan2(dy, dx);
        double edge = 1.0;
        for (int k = 0; k < 4; ++k) edge += amp[k] * std::sin((k + 2) * theta + phase[k]);
        return std::sqrt(dx * dx + dy * dy) <= r * edge;
    });
}

void maskCaustic(Mask& m, int x, int y, int w, int h, int periodX, int periodY, double threshold, uint64_t seed) {
    if (periodX <= 0 || periodY <= 0 || !clampRect(m, x, y, w, h)) return;
    Rng rng(seed);
    // Two fields, each a sum of waves with whole numbers of cycles per period;
    // the net is where the two fields are nearly equal.
    struct Wave { int kx, ky; double phase; };
    Wave waves[2][3];
    for (auto& field : waves)
        for (Wave& wv : field) {
            do {
                wv.kx = static_cast<int>(rng.below(7)) - 3;
                wv.ky = static_cast<int>(rng.below(5)) - 2;
            } while (wv.kx == 0 && wv.ky == 0);
            wv.phase = rng.uniform() * 2 * kPi;
        }
    for (int py = y; py < y + h; ++py)
        for (int px = x; px < x + w; ++px) {
            double v[2] = {0, 0};
            for (int f = 0; f < 2; ++f)
                for (const Wave& wv : waves[f])
                    v[f] += std::sin(2 * kPi * (wv.kx * static_cast<double>(px) / periodX +
                                                wv.ky * static_cast<double>(py) / periodY) + wv.phase);
            if (std::fabs(v[0] - v[1]) < threshold) m.cover(px, py);
        }
}

void maskScatter(Mask& m, int x, int y, int w, int h, int count, double r, uint64_t seed) {
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        double px = x + rng.uniform() * w, py = y + rng.uniform() * h;
        if (r < 1) m.cover(static_cast<int>(px), static_cast<int>(py));
        else maskDisc(m, std::floor(px) + 0.5, std::floor(py) + 0.5, r);
    }
}

void maskSpeckle(Mask& m, int x, int y, int w, int h, double density, uint64_t seed) {
    if (!clampRect(m, x, y, w, h)) return;
    Rng rng(seed);
    for (int py = y; py < y + h; ++py)
        for (int px = x; px < x + w; ++px)
            if (rng.uniform() < density) m.cover(px, py);
}

}  // namespace media
