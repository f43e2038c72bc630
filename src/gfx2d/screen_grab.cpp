// Pixels in and out of sprites: grabbing the current target, reading a
// sprite's pixels, saving a sprite as an image file.
#include <algorithm>

#include "gfx2d/decoded_image.h"
#include "gfx2d/image_files.h"
#include "gfx2d/opengl_rainbows.h"
#include "gfx2d/texture_upload.h"

bool OpenGLRainbows::grabScreenToSprite(int32_t sprite, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (!window || !isSpriteNumber(sprite) || width <= 0 || height <= 0) return false;
    const int32_t limit = maxTextureSide();
    if (textureSideFor(width) > limit || textureSideFor(height) > limit) return false;
    batch.flush();
    int32_t targetWidth = 0, targetHeight = 0;
    currentTargetSize(targetWidth, targetHeight);

    DecodedImage image;
    image.hasAlpha = currentScreen >= 0 ? 1 : 0;
    image.width = width;
    image.height = height;
    image.pixels.assign(static_cast<size_t>(width) * height, 0);
    // Only the part inside the target is read; the rest stays transparent black.
    const int32_t left = std::max(0, x), top = std::max(0, y);
    const int32_t right = static_cast<int32_t>(std::min<int64_t>(targetWidth, int64_t{x} + width));
    const int32_t bottom = static_cast<int32_t>(std::min<int64_t>(targetHeight, int64_t{y} + height));
    if (right > left && bottom > top) {
        const int32_t w = right - left, h = bottom - top;
        std::vector<uint32_t> rows(static_cast<size_t>(w) * h);
        glReadBuffer(currentScreen >= 0 ? GL_COLOR_ATTACHMENT0_EXT : GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glPixelStorei(GL_PACK_ROW_LENGTH, 0);
        // The window's rows run bottom-up, an offscreen screen's top-down.
        const bool fromWindow = currentScreen < 0;
        glReadPixels(left, fromWindow ? targetHeight - bottom : top, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
        for (int32_t row = 0; row < h; ++row) {
            const uint32_t* from = &rows[static_cast<size_t>(fromWindow ? h - 1 - row : row) * w];
            uint32_t* to = &image.at(left - x, top - y + row);
            for (int32_t i = 0; i < w; ++i) to[i] = fromWindow ? from[i] | 0xFF000000u : from[i];
        }
    }
    return setSpriteImage(sprite, image);
}

bool OpenGLRainbows::spritePixels(int32_t sprite, DecodedImage& image) {
    image = DecodedImage{};
    SpriteSlot* s = slot(sprite);
    if (!window || !s || !s->holdsImage()) return false;
    batch.flush();  // drawing still queued for a screen on this sprite
    if (!readTexturePixels(s->texture, s->textureWidth, s->textureHeight, s->width, s->height, image.pixels))
        return false;
    image.width = s->width;
    image.height = s->height;
    image.hasAlpha = s->hasAlpha;
    return true;
}

bool OpenGLRainbows::saveSprite(const RtString& file, int32_t sprite) {
    DecodedImage image;
    return spritePixels(sprite, image) && saveImageFile(image, file.c_str());
}
