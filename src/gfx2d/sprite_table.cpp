// The sprite table: loading images into slots, frame sizes, freeing.
// Depends on the image files, the texture upload and the offscreen screens.
// A file is decoded straight into the buffer of its texture, where the
// transparent colour and the colours behind it are filled in place, and
// goes up from there: no other copy of its pixels is made on our side.
#include "gfx2d/decoded_image.h"
#include "gfx2d/image_files.h"
#include "gfx2d/opengl_rainbows.h"
#include "gfx2d/texture_image.h"
#include "gfx2d/texture_upload.h"

namespace {

// An image file decoded for a slot: the transparent colour applied and the
// colours behind it filled in.
bool decodeForSlot(const RtString& file, TextureImage& image) {
    if (!loadImageFile(image, file.c_str(), kTransparentColour, textureImageLimits())) return false;
    fillTransparentPixelColours(image.view());
    return true;
}

}  // namespace

void OpenGLRainbows::describeUpload(SpriteSlot& s, int32_t width, int32_t height, uint8_t hasAlpha) const {
    s.width = width;
    s.height = height;
    s.textureWidth = textureSideFor(width);
    s.textureHeight = textureSideFor(height);
    s.appliedFilter = smoothing ? 1 : 0;
    s.hasAlpha = hasAlpha;
}

bool OpenGLRainbows::uploadToSlot(SpriteSlot& s, const DecodedImage& image, bool normalMap) {
    if (!window || !createTextureFromImage(image, 0, 0, 0, 0, &s.texture, nullptr, normalMap, smoothing == 0))
        return false;
    describeUpload(s, image.width, image.height, image.hasAlpha);
    return true;
}

bool OpenGLRainbows::uploadToSlot(SpriteSlot& s, TextureImage& image, bool normalMap) {
    if (!window || !createTextureFromTextureImage(image, &s.texture, normalMap, smoothing == 0)) return false;
    describeUpload(s, image.width(), image.height(), image.hasAlpha());
    return true;
}

bool OpenGLRainbows::loadSprite(const RtString& file, int32_t sprite, int32_t frameWidth, int32_t frameHeight,
                                bool normalMap) {
    if (!isSpriteNumber(sprite)) return false;
    TextureImage image;
    const bool decoded = window && decodeForSlot(file, image);
    freeSprite(sprite);
    if (!decoded || !uploadToSlot(sprites[sprite], image, normalMap)) return false;
    if (frameWidth > 0) setFrameSize(sprite, frameWidth, frameHeight);
    return true;
}

bool OpenGLRainbows::setSpriteImage(int32_t sprite, const DecodedImage& image, bool normalMap) {
    if (!isSpriteNumber(sprite)) return false;
    freeSprite(sprite);
    return uploadToSlot(sprites[sprite], image, normalMap);
}

void OpenGLRainbows::setFrameSize(int32_t sprite, int32_t frameWidth, int32_t frameHeight) {
    if (SpriteSlot* s = slot(sprite)) s->setFrames(frameWidth, frameHeight);
}

void OpenGLRainbows::freeSprite(int32_t sprite) {
    SpriteSlot* s = slot(sprite);
    if (!s) return;
    if (s->screen >= 0) releaseScreen(s->screen);
    if (s->texture || s->texture2) {
        batch.flush();  // the queue may still draw from it
        if (window) {
            glDeleteTextures(1, &s->texture);
            glDeleteTextures(1, &s->texture2);
        }
    }
    *s = SpriteSlot{};
}

int32_t OpenGLRainbows::findFreeSprite() const {
    for (int32_t sprite = 0; sprite < kFirstFontSprite; ++sprite) {
        if (!sprites[sprite].holdsImage()) return sprite;
    }
    return -1;
}

bool OpenGLRainbows::loadBackground(const RtString& file) {
    batch.flush();
    glDeleteTextures(1, &background_.texture);
    background_ = SpriteSlot{};
    TextureImage image;
    return window && decodeForSlot(file, image) && uploadToSlot(background_, image, false);
}
