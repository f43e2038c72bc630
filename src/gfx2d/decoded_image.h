// DecodedImage: an image decoded from a file, ready for upload, with the
// operations that prepare it: the transparent colour, the colours behind
// transparent pixels, and the normal map. Pixels are 32-bit 0xAABBGGRR
// (bytes R, G, B, A in memory), rows from the top.
// The decoders write through DecodeTarget, so that an image can also be
// decoded straight into the buffer that goes up as its texture
// (texture_image.h); the preparations work on a PixelView for the same reason.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Rows of pixels in a larger buffer: width x height pixels, row y starting
// `pitch` pixels after row y - 1.
struct PixelView {
    uint32_t* first = nullptr;  // row 0; null for an empty view
    int32_t width = 0;
    int32_t height = 0;
    size_t pitch = 0;

    uint32_t* row(int32_t y) const { return first + static_cast<size_t>(y) * pitch; }
    bool empty() const { return !first || width <= 0 || height <= 0; }
};

// Where a decoder writes an image. Once it knows the size it calls
// `allocate`, then writes every pixel of the rows it was given; when it
// fails it calls `discard`, which leaves the target empty.
class DecodeTarget {
public:
    // Room for width x height pixels; an empty view when there is none.
    virtual PixelView allocate(int32_t width, int32_t height, uint8_t hasAlpha) = 0;
    virtual void discard() = 0;
    // The rows allocated last (empty after discard).
    virtual PixelView view() = 0;

protected:
    ~DecodeTarget() = default;
};

struct DecodedImage final : DecodeTarget {
    uint8_t hasAlpha = 1;  // 0 after BMP, JPEG and PNG without alpha
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;  // width * height

    uint32_t& at(int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * width + x]; }
    uint32_t at(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    bool empty() const { return width <= 0 || height <= 0; }

    PixelView allocate(int32_t newWidth, int32_t newHeight, uint8_t newHasAlpha) override;
    void discard() override { *this = DecodedImage{}; }
    PixelView view() override;
};

// What any decoder accepts: sides from 1 to maxSide, and no more pixels in
// all than maxPixels (256 MiB of pixels).
struct ImageLimits {
    int32_t maxSide = 16384;
    int64_t maxPixels = int64_t{1} << 26;

    bool accepts(int64_t width, int64_t height) const {
        return width >= 1 && height >= 1 && width <= maxSide && height <= maxSide && width * height <= maxPixels;
    }
};

// Every pixel whose colour (alpha ignored) is `colour` (0x00BBGGRR) becomes
// fully transparent.
void applyTransparentColour(const PixelView& image, uint32_t colour);

// Gives every fully transparent pixel the average colour of its opaque
// (alpha above 0) neighbours among the eight around it, so that filtering
// does not bleed the transparent colour into a sprite's edges. Pixels with no
// opaque neighbour keep their colour; alpha stays 0 throughout.
void fillTransparentPixelColours(const PixelView& image);

// Reads the image as a height map (the mean of red, green and blue) and
// replaces each pixel's colour by its surface normal, x to the right and y
// down the image, z out of it, each mapped from -1..1 to 0..255; the
// neighbours wrap at the sides. Alpha is kept.
void convertToNormalMap(const PixelView& image);

inline void applyTransparentColour(DecodedImage& image, uint32_t colour) {
    applyTransparentColour(image.view(), colour);
}
inline void fillTransparentPixelColours(DecodedImage& image) { fillTransparentPixelColours(image.view()); }
inline void convertToNormalMap(DecodedImage& image) { convertToNormalMap(image.view()); }
