// The texture-sized buffer that image files for sprites are decoded into.
#include "gfx2d/texture_image.h"

#include "gfx2d/texture_upload.h"

PixelView TextureImage::allocate(int32_t width, int32_t height, uint8_t hasAlpha) {
    discard();
    if (width <= 0 || height <= 0) return PixelView{};
    const int32_t tw = textureSideFor(width), th = textureSideFor(height);
    pixels_.reset(static_cast<uint32_t*>(std::calloc(static_cast<size_t>(tw) * th, sizeof(uint32_t))));
    if (!pixels_) return PixelView{};
    hasAlpha_ = hasAlpha;
    width_ = width;
    height_ = height;
    textureWidth_ = tw;
    textureHeight_ = th;
    return view();
}

void TextureImage::discard() { *this = TextureImage{}; }

PixelView TextureImage::view() {
    if (!pixels_) return PixelView{};
    return PixelView{pixels_.get(), width_, height_, static_cast<size_t>(textureWidth_)};
}
