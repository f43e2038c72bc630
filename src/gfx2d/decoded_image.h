// DecodedImage: an image decoded from a file, ready for upload, with the
// operations that prepare it: the transparent colour, the colours behind
// transparent pixels, and the normal map. Pixels are 32-bit 0xAABBGGRR
// (bytes R, G, B, A in memory), rows from the top.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct DecodedImage {
    uint8_t hasAlpha = 1;  // 0 after BMP, JPEG and PNG without alpha
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;  // width * height

    uint32_t& at(int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * width + x]; }
    uint32_t at(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    bool empty() const { return width <= 0 || height <= 0; }
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
void applyTransparentColour(DecodedImage& image, uint32_t colour);

// Gives every fully transparent pixel the average colour of its opaque
// (alpha above 0) neighbours among the eight around it, so that filtering
// does not bleed the transparent colour into a sprite's edges. Pixels with no
// opaque neighbour keep their colour; alpha stays 0 throughout.
void fillTransparentPixelColours(DecodedImage& image);

// Reads the image as a height map (the mean of red, green and blue) and
// replaces each pixel's colour by its surface normal, x to the right and y
// down the image, z out of it, each mapped from -1..1 to 0..255; the
// neighbours wrap at the sides. Alpha is kept.
void convertToNormalMap(DecodedImage& image);
