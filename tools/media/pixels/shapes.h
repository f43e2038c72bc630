// Shapes that cover pixels of a mask. A pixel is covered when its centre
// (x + 0.5, y + 0.5) lies inside the shape, so a disc centred on a pixel
// corner with a whole radius is symmetric. Angles are degrees, 0 pointing up
// and growing clockwise on screen.
#pragma once
#include <cstdint>
#include <vector>

#include "canvas.h"

namespace media {

struct Point {
    double x, y;
};

void maskRect(Mask& m, double x, double y, double w, double h);
void maskDisc(Mask& m, double cx, double cy, double r);
void maskRing(Mask& m, double cx, double cy, double r, double thickness);
void maskEllipse(Mask& m, double cx, double cy, double rx, double ry, double angle);
void maskPolygon(Mask& m, const std::vector<Point>& corners);
void maskStar(Mask& m, double cx, double cy, double outer, double inner, int points, double angle);
void maskLine(Mask& m, double x1, double y1, double x2, double y2, double width);
// A disc whose edge wanders by up to rough * r, shaped by the seed.
void maskBlob(Mask& m, double cx, double cy, double r, double rough, uint64_t seed);
// Light lines of a caustic net over the rectangle, repeating every periodX
// and periodY pixels so the picture tiles without a seam.
void maskCaustic(Mask& m, int x, int y, int w, int h, int periodX, int periodY, double threshold, uint64_t seed);
// count dots of radius r (r below 1: single pixels) scattered over the rectangle.
void maskScatter(Mask& m, int x, int y, int w, int h, int count, double r, uint64_t seed);
// Each pixel of the rectangle with the given probability. Both patterns
// cover only the part of their rectangle that lies on the mask.
void maskSpeckle(Mask& m, int x, int y, int w, int h, double density, uint64_t seed);

}  // namespace media
