// TextureImage: an image laid out as the texture it becomes, so that a file
// loaded for a sprite is decoded straight into the buffer that is uploaded
// and the pixels are held once on our side of the driver. The image's
// width x height pixels stand in the top left corner of textureWidth x
// textureHeight pixels (sides as textureSideFor gives them); the rest is
// transparent black. Depends on texture_upload.h for the texture sides.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "gfx2d/decoded_image.h"

class TextureImage final : public DecodeTarget {
public:
    PixelView allocate(int32_t width, int32_t height, uint8_t hasAlpha) override;
    void discard() override;
    PixelView view() override;

    bool empty() const { return !pixels_; }
    uint8_t hasAlpha() const { return hasAlpha_; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    int32_t textureWidth() const { return textureWidth_; }
    int32_t textureHeight() const { return textureHeight_; }
    // textureWidth x textureHeight pixels, rows from the top; null when empty.
    const uint32_t* texturePixels() const { return pixels_.get(); }

private:
    struct Free {
        void operator()(uint32_t* p) const { std::free(p); }
    };
    uint8_t hasAlpha_ = 1;
    int32_t width_ = 0, height_ = 0;
    int32_t textureWidth_ = 0, textureHeight_ = 0;
    // From calloc: the zeroed pages of a large buffer cost nothing until
    // written, and the padding is never written.
    std::unique_ptr<uint32_t[], Free> pixels_;
};
