// The picture being drawn: an RGBA canvas, the coverage mask that shapes
// draw into, and the paint that turns covered pixels into palette colours
// (one colour, or an ordered-dither gradient between palette colours, so
// shading never leaves the palette). Also the whole-frame operations:
// outline, bevel, flips, recolouring, shifting and copying.
#pragma once
#include <vector>

#include "palette.h"

namespace media {

class Canvas {
public:
    Canvas() = default;
    Canvas(int width, int height) : w_(width), h_(height), px_(static_cast<size_t>(width) * height) {}

    int width() const { return w_; }
    int height() const { return h_; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }
    Rgba get(int x, int y) const { return inside(x, y) ? px_[index(x, y)] : kClear; }
    void set(int x, int y, Rgba c) {
        if (inside(x, y)) px_[index(x, y)] = c;
    }
    bool opaque(int x, int y) const { return !get(x, y).transparent(); }
    const std::vector<Rgba>& pixels() const { return px_; }
    bool empty() const;  // every pixel transparent

private:
    size_t index(int x, int y) const { return static_cast<size_t>(y) * w_ + x; }
    int w_ = 0, h_ = 0;
    std::vector<Rgba> px_;
};

class Mask {
public:
    Mask(int width, int height) : w_(width), h_(height), bits_(static_cast<size_t>(width) * height, 0) {}
    int width() const { return w_; }
    int height() const { return h_; }
    void cover(int x, int y) {
        if (x >= 0 && y >= 0 && x < w_ && y < h_) bits_[static_cast<size_t>(y) * w_ + x] = 1;
    }
    bool covered(int x, int y) const {
        return x >= 0 && y >= 0 && x < w_ && y < h_ && bits_[static_cast<size_t>(y) * w_ + x];
    }
    // The covered rows and columns; false when nothing is covered.
    bool bounds(int& x0, int& y0, int& x1, int& y1) const;

private:
    int w_, h_;
    std::vector<uint8_t> bits_;
};

class Paint {
public:
    enum class Direction { Vertical, Horizontal };
    Paint() = default;
    explicit Paint(Rgba solid) : stops_{solid} {}
    Paint(std::vector<Rgba> stops, Direction dir) : stops_(std::move(stops)), dir_(dir) {}

    // The colour at (x, y) of a shape whose covered box is x0..x1, y0..y1.
    Rgba at(int x, int y, int x0, int y0, int x1, int y1) const;
    bool solid() const { return stops_.size() == 1; }
    // A clipped paint ("@" before it in the sources) lands only on pixels
    // that are already opaque: texture and shading inside a drawn shape.
    bool clipped() const { return clipped_; }
    void setClipped(bool clipped) { clipped_ = clipped; }

private:
    std::vector<Rgba> stops_{kClear};
    Direction dir_ = Direction::Vertical;
    bool clipped_ = false;
};

void paintMask(Canvas& canvas, const Mask& mask, const Paint& paint);

// Every transparent pixel beside an opaque one (4 neighbours, or 8 with
// diagonal) takes the paint; the paint's gradient runs over the whole frame.
void outline(Canvas& canvas, const Paint& paint, bool diagonal);
// Opaque pixels with a transparent pixel above or to the left take light,
// then those with one below or to the right take dark; a clear colour skips.
// Beyond the canvas counts as opaque, so shapes that run off the frame (rock
// tiles that join their neighbours) get no rim there.
void bevel(Canvas& canvas, Rgba light, Rgba dark);
void flipX(Canvas& canvas);
void flipY(Canvas& canvas);
// A quarter turn clockwise; the canvas must be square.
void rotate(Canvas& canvas);
void recolor(Canvas& canvas, Rgba from, Rgba to);
// Moves the content; what leaves the canvas is lost, what enters is clear.
void shift(Canvas& canvas, int dx, int dy);
// Draws the source rectangle at (dx, dy), each pixel scale x scale, skipping
// transparent pixels; flipped left-right when flip is set.
void drawCanvas(Canvas& dst, const Canvas& src, int sx, int sy, int sw, int sh, int dx, int dy, int scale,
                bool flip);

}  // namespace media
