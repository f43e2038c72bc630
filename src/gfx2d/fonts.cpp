// Fonts: images of 16 x 16 character cells in the last 32 sprite slots,
// drawn as animation frames (the frame of a character is its code). A font
// slot without an image prints with the built-in font.
#include "gfx2d/builtin_font.h"
#include "gfx2d/opengl_rainbows.h"

namespace {

constexpr int32_t kCellsPerSide = 16;

}  // namespace

bool OpenGLRainbows::prepareBuiltInFont() {
    if (builtInFont_.holdsImage()) return true;
    if (!uploadToSlot(builtInFont_, makeBuiltInFontImage(), false)) return false;
    builtInFont_.setFrames(builtInFont_.width / kCellsPerSide, builtInFont_.height / kCellsPerSide);
    return true;
}

bool OpenGLRainbows::loadFontFile(const RtString& file, int32_t font) {
    if (font < 0 || font >= kFontCount) return false;
    const int32_t sprite = kFirstFontSprite + font;
    if (!loadSprite(file, sprite)) return false;
    SpriteSlot& s = sprites[sprite];
    s.setFrames(s.width / kCellsPerSide, s.height / kCellsPerSide);
    if (s.frameCount == kCellsPerSide * kCellsPerSide) return true;
    freeSprite(sprite);  // smaller than 16 x 16 pixels: no cells
    return false;
}

SpriteSlot& OpenGLRainbows::fontSlot(int32_t font) {
    if (font >= 0 && font < kFontCount) {
        SpriteSlot& s = sprites[kFirstFontSprite + font];
        if (s.holdsImage() && s.frameCount > 0) return s;
    }
    return builtInFont_;
}

void OpenGLRainbows::printText(const RtString& text, float x, float y, float kerning) {
    if (!window || !text.data) return;
    SpriteSlot& f = fontSlot(currentFont);
    if (!f.holdsImage()) return;
    const float advance = static_cast<float>(f.frameWidth) + kerning;
    for (uint32_t i = 0; i < text.length; ++i) {
        const int32_t code = static_cast<uint8_t>(text.data[i]);
        if (code < f.frameCount) drawFrameQuad(f, code, x, y, 1.0f, 1.0f, 0.0f);
        x += advance;
    }
}
