// Drawing sprites, frames, rectangles, lines and polygons into the 2-D queue.
// Rectangles and lines reaching far outside the target are cut to a band
// around it first: drivers rasterise from fixed-point coordinates and drop
// or cut short shapes that reach about a thousand million pixels out.
#include <algorithm>
#include <cmath>

#include "gfx2d/opengl_rainbows.h"

namespace {

// The current opacity as an alpha byte.
uint32_t alphaByte(float alpha) { return static_cast<uint32_t>(std::lround(alpha * 255.0f)) & 0xFF; }

uint32_t withAlpha(uint32_t colour, float alpha) { return (colour & 0x00FFFFFFu) | alphaByte(alpha) << 24; }

// Pixels beyond the target that rectangles and lines may reach; cutting
// there changes nothing that shows.
constexpr double kReach = 65536.0;

// A coordinate brought within the band around a side of `size` pixels (NaN stays NaN).
float withinReach(float value, int32_t size) {
    return std::clamp(value, static_cast<float>(-kReach), static_cast<float>(size + kReach));
}

// Cuts the segment from a to b to the band around a target of width x
// height pixels; false when none of it lies there.
bool cutToReach(double (&a)[2], double (&b)[2], int32_t width, int32_t height) {
    const double low[2] = {-kReach, -kReach}, high[2] = {width + kReach, height + kReach};
    if (a[0] >= low[0] && a[0] <= high[0] && a[1] >= low[1] && a[1] <= high[1] && b[0] >= low[0] &&
        b[0] <= high[0] && b[1] >= low[1] && b[1] <= high[1])
        return true;  // the common case: nothing to cut
    double enter = 0.0, leave = 1.0;
    for (int axis = 0; axis < 2; ++axis) {
        const double d = b[axis] - a[axis];
        if (d == 0.0) {
            if (a[axis] < low[axis] || a[axis] > high[axis]) return false;
            continue;
        }
        double t0 = (low[axis] - a[axis]) / d, t1 = (high[axis] - a[axis]) / d;
        if (t0 > t1) std::swap(t0, t1);
        enter = std::max(enter, t0);
        leave = std::min(leave, t1);
    }
    if (!(enter <= leave)) return false;
    const double from[2] = {a[0], a[1]}, d[2] = {b[0] - a[0], b[1] - a[1]};
    for (int axis = 0; axis < 2; ++axis) {
        a[axis] = from[axis] + enter * d[axis];
        b[axis] = from[axis] + leave * d[axis];
    }
    return true;
}

}  // namespace

BatchState OpenGLRainbows::texturedState(SpriteSlot* s) const {
    return BatchState{s, smoothing != 0, blendMode, GL_TRIANGLES};
}

void OpenGLRainbows::drawFrameQuad(SpriteSlot& s, int32_t frame, float x, float y, float scaleX, float scaleY,
                                   float angle) {
    int32_t left = 0, top = 0, w = s.width, h = s.height;
    if (frame >= 0) {
        if (frame >= s.frameCount) return;
        w = s.frameWidth;
        h = s.frameHeight;
        left = frame % s.frameColumns * w;
        top = frame / s.frameColumns * h;
    }
    const float u0 = static_cast<float>(left) / s.textureWidth, u1 = static_cast<float>(left + w) / s.textureWidth;
    const float v0 = static_cast<float>(top) / s.textureHeight, v1 = static_cast<float>(top + h) / s.textureHeight;
    const float centreX = x + w * 0.5f, centreY = y + h * 0.5f;
    const float halfW = w * scaleX * 0.5f, halfH = h * scaleY * 0.5f;
    float cx[4] = {-halfW, halfW, halfW, -halfW};
    float cy[4] = {-halfH, -halfH, halfH, halfH};
    if (angle != 0.0f) {
        const double radians = angle * 0.017453292519943295;
        const float c = static_cast<float>(std::cos(radians)), sn = static_cast<float>(std::sin(radians));
        for (int i = 0; i < 4; ++i) {
            float rx = cx[i] * c - cy[i] * sn;
            cy[i] = cx[i] * sn + cy[i] * c;
            cx[i] = rx;
        }
    }
    for (int i = 0; i < 4; ++i) {
        cx[i] += centreX;
        cy[i] += centreY;
    }
    const float u[4] = {u0, u1, u1, u0};
    const float v[4] = {v0, v0, v1, v1};
    batch.appendQuad(texturedState(&s), cx, cy, u, v, withAlpha(0xFFFFFF, alpha));
}

void OpenGLRainbows::drawSprite(int32_t sprite, float x, float y) {
    SpriteSlot* s = slot(sprite);
    if (s && s->holdsImage() && window) drawFrameQuad(*s, -1, x, y, 1.0f, 1.0f, 0.0f);
}

void OpenGLRainbows::drawAnimFrame(int32_t sprite, int32_t frame, float x, float y) {
    SpriteSlot* s = slot(sprite);
    if (s && s->holdsImage() && frame >= 0 && window) drawFrameQuad(*s, frame, x, y, 1.0f, 1.0f, 0.0f);
}

void OpenGLRainbows::drawAnimFrameRotatedScaled(int32_t sprite, int32_t frame, float x, float y, float angle,
                                                float zoom) {
    SpriteSlot* s = slot(sprite);
    if (s && s->holdsImage() && frame >= 0 && window) drawFrameQuad(*s, frame, x, y, zoom, zoom, angle);
}

void OpenGLRainbows::drawSpriteScaled(int32_t sprite, float x, float y, float zoomX, float zoomY) {
    SpriteSlot* s = slot(sprite);
    if (s && s->holdsImage() && window) drawFrameQuad(*s, -1, x, y, zoomX, zoomY, 0.0f);
}

void OpenGLRainbows::drawBackground() {
    if (!background_.holdsImage() || !window) return;
    // Scaled about the image's centre, which goes to the centre of the viewport.
    const float w = static_cast<float>(viewportWidth), h = static_cast<float>(viewportHeight);
    drawFrameQuad(background_, -1, (w - background_.width) * 0.5f, (h - background_.height) * 0.5f,
                  w / background_.width, h / background_.height, 0.0f);
}

void OpenGLRainbows::fillRect(float x, float y, float width, float height, uint32_t colour) {
    if (!window) return;
    BatchState state{nullptr, true, blendMode, GL_TRIANGLES};
    uint32_t rgba = withAlpha(colour, alpha);
    if (currentScreen >= 0 && (colour & 0x00FFFFFFu) == kTransparentColour) {
        state.blend = BlendMode::Replace;  // cuts a hole: the pixels become transparent
        rgba = kTransparentColour;
    }
    const float left = withinReach(x, viewportWidth), right = withinReach(x + width, viewportWidth);
    const float top = withinReach(y, viewportHeight), bottom = withinReach(y + height, viewportHeight);
    const float cx[4] = {left, right, right, left};
    const float cy[4] = {top, top, bottom, bottom};
    const float zero[4] = {0, 0, 0, 0};
    batch.appendQuad(state, cx, cy, zero, zero, rgba);
}

void OpenGLRainbows::drawLine(float x1, float y1, float x2, float y2, uint32_t colour) {
    if (!window) return;
    // Pixel centres: a line from pixel (10, 5) to (20, 5) covers 10 to 19.
    double a[2] = {x1 + 0.5, y1 + 0.5}, b[2] = {x2 + 0.5, y2 + 0.5};
    if (std::isfinite(x1) && std::isfinite(y1) && std::isfinite(x2) && std::isfinite(y2) &&
        !cutToReach(a, b, viewportWidth, viewportHeight))
        return;
    BatchVertex* v = batch.append(BatchState{nullptr, true, blendMode, GL_LINES}, 2);
    uint32_t rgba = withAlpha(colour, alpha);
    v[0] = {static_cast<float>(a[0]), static_cast<float>(a[1]), 0.0f, 0.0f, rgba};
    v[1] = {static_cast<float>(b[0]), static_cast<float>(b[1]), 0.0f, 0.0f, rgba};
}

void OpenGLRainbows::setAlphaMode(double a) {
    if (std::isnan(a) || a == 0.0) {
        blendMode = BlendMode::Off;
        alpha = 1.0f;
        return;
    }
    blendMode = a < 0.0 ? BlendMode::Normal : BlendMode::Additive;
    double opacity = std::fabs(a);
    alpha = static_cast<float>(opacity > 1.0 ? 1.0 : opacity);
}

void OpenGLRainbows::setSmoothing(bool on) { smoothing = on ? 1 : 0; }

void OpenGLRainbows::beginPolygon(int32_t sprite, int32_t mode) { polygon_.begin(sprite, mode); }

void OpenGLRainbows::addPolygonVertex(float x, float y, float u, float v, uint32_t colour) {
    if (!polygon_.open()) return;
    SpriteSlot* s = slot(polygon_.sprite());
    if (s && s->holdsImage()) {
        u /= static_cast<float>(s->textureWidth);
        v /= static_cast<float>(s->textureHeight);
    }
    polygon_.add(x, y, u, v, colour);
}

void OpenGLRainbows::newPolygonStrip() { polygon_.newStrip(); }

void OpenGLRainbows::endPolygon() {
    if (!polygon_.open()) return;
    SpriteSlot* s = slot(polygon_.sprite());
    if (!window) {
        polygon_.cancel();
        return;
    }
    polygon_.end(batch, texturedState(s && s->holdsImage() ? s : nullptr), alphaByte(alpha));
}
