// The drawing commands over the one 2-D context.
#include "gfx2d/gfx2d_commands.h"
#include "gfx2d/opengl_rainbows.h"
#include "runtime/engine/engine_state.h"

namespace {

float f(double value) { return static_cast<float>(value); }
uint32_t colourOf(int colour) { return static_cast<uint32_t>(colour); }

}  // namespace

void DrawSprite(int sprite, double x, double y) {
    if (OpenGLRainbows* g = engine.graphics2D) g->drawSprite(sprite, f(x), f(y));
}

void DrawAnimFrame(int sprite, int frame, double x, double y) {
    if (OpenGLRainbows* g = engine.graphics2D) g->drawAnimFrame(sprite, frame, f(x), f(y));
}

void DrawAnimFrameRotatedScaled(int sprite, int frame, double x, double y, double angle, double zoom) {
    if (OpenGLRainbows* g = engine.graphics2D) g->drawAnimFrameRotatedScaled(sprite, frame, f(x), f(y), f(angle), f(zoom));
}

void DrawSpriteScaled(int sprite, double x, double y, double zoomX, double zoomY) {
    if (OpenGLRainbows* g = engine.graphics2D) g->drawSpriteScaled(sprite, f(x), f(y), f(zoomX), f(zoomY));
}

void FillRect(double x, double y, double width, double height, int colour) {
    if (OpenGLRainbows* g = engine.graphics2D) g->fillRect(f(x), f(y), f(width), f(height), colourOf(colour));
}

void DrawLine(double x1, double y1, double x2, double y2, int colour) {
    if (OpenGLRainbows* g = engine.graphics2D) g->drawLine(f(x1), f(y1), f(x2), f(y2), colourOf(colour));
}

void PrintText(const RtString& text, double x, double y, double kerning) {
    if (OpenGLRainbows* g = engine.graphics2D) g->printText(text, f(x), f(y), f(kerning));
}

void SetFont(int font) {
    OpenGLRainbows* g = engine.graphics2D;
    if (g && font >= 0 && font < kFontCount) g->currentFont = font;
}

void SetAlphaMode(double a) {
    if (OpenGLRainbows* g = engine.graphics2D) g->setAlphaMode(a);
}

void SetSmoothing(int flag) {
    if (OpenGLRainbows* g = engine.graphics2D) g->setSmoothing(flag != 0);
}

void BeginPolygon(int sprite, int mode) {
    if (OpenGLRainbows* g = engine.graphics2D) g->beginPolygon(sprite, mode);
}

void AddPolygonVertex(double x, double y, double u, double v, int colour) {
    if (OpenGLRainbows* g = engine.graphics2D) g->addPolygonVertex(f(x), f(y), f(u), f(v), colourOf(colour));
}

void NewPolygonStrip() {
    if (OpenGLRainbows* g = engine.graphics2D) g->newPolygonStrip();
}

void EndPolygon() {
    if (OpenGLRainbows* g = engine.graphics2D) g->endPolygon();
}

void DrawBackground() {
    if (OpenGLRainbows* g = engine.graphics2D) g->drawBackground();
}
