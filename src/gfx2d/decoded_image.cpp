// The preparation of decoded images before upload.
#include "gfx2d/decoded_image.h"

#include <cmath>

namespace {

constexpr uint32_t kColourMask = 0x00FFFFFF;
constexpr uint32_t kAlphaMask = 0xFF000000;
// The normal map's slope per unit of height difference between the two
// neighbours (heights run 0 to 1).
constexpr float kNormalMapStrength = 2.0f;

uint32_t channel(uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

// Sums of the opaque pixels among up to nine, two channels to a word: red
// in the low half and blue in the high half of one, green in the low half
// and the count of opaque pixels in the high half of the other (nine
// channels of 255 sum to under 2^12). Transparent pixels add 0.
uint32_t opaqueMask(uint32_t pixel) { return (pixel & kAlphaMask) != 0 ? ~0u : 0u; }
uint32_t opaqueRedBlue(uint32_t pixel) { return pixel & 0x00FF00FFu & opaqueMask(pixel); }
uint32_t opaqueGreenCount(uint32_t pixel) { return (channel(pixel, 8) | 0x10000u) & opaqueMask(pixel); }

}  // namespace

PixelView DecodedImage::allocate(int32_t newWidth, int32_t newHeight, uint8_t newHasAlpha) {
    hasAlpha = newHasAlpha;
    width = newWidth;
    height = newHeight;
    pixels.assign(static_cast<size_t>(newWidth) * newHeight, 0);
    return view();
}

PixelView DecodedImage::view() {
    if (empty() || pixels.size() != static_cast<size_t>(width) * height) return PixelView{};
    return PixelView{pixels.data(), width, height, static_cast<size_t>(width)};
}

void applyTransparentColour(const PixelView& image, uint32_t colour) {
    if (image.empty()) return;
    colour &= kColourMask;
    for (int32_t y = 0; y < image.height; ++y) {
        uint32_t* row = image.row(y);
        for (int32_t x = 0; x < image.width; ++x) {
            if ((row[x] & kColourMask) == colour) row[x] &= kColourMask;
        }
    }
}

void fillTransparentPixelColours(const PixelView& image) {
    if (image.empty()) return;
    // Done in place: a pass writes only pixels of alpha 0 and leaves their
    // alpha 0, and reads only the colours of pixels whose alpha is not 0,
    // so no pixel it reads has been written by it.
    // For each row, first the sums of the opaque pixels of each column of
    // three (the row, the one above and the one below; a clear row stands
    // beyond the top and the bottom), then a pixel's sums are those of its
    // own column and the two beside it. The sums have a spare column of
    // zeros at each end.
    const int32_t w = image.width, h = image.height;
    const std::vector<uint32_t> clear(static_cast<size_t>(w), 0);
    std::vector<uint32_t> redBlue(static_cast<size_t>(w) + 2, 0), greenCount(static_cast<size_t>(w) + 2, 0);
    for (int32_t y = 0; y < h; ++y) {
        uint32_t* row = image.row(y);
        const uint32_t* above = y > 0 ? image.row(y - 1) : clear.data();
        const uint32_t* below = y + 1 < h ? image.row(y + 1) : clear.data();
        for (int32_t x = 0; x < w; ++x) {
            redBlue[x + 1] = opaqueRedBlue(above[x]) + opaqueRedBlue(row[x]) + opaqueRedBlue(below[x]);
            greenCount[x + 1] = opaqueGreenCount(above[x]) + opaqueGreenCount(row[x]) + opaqueGreenCount(below[x]);
        }
        for (int32_t x = 0; x < w; ++x) {
            if ((row[x] & kAlphaMask) != 0) continue;
            const uint32_t gc = greenCount[x] + greenCount[x + 1] + greenCount[x + 2];
            const uint32_t count = gc >> 16;
            if (count == 0) continue;
            const uint32_t rb = redBlue[x] + redBlue[x + 1] + redBlue[x + 2];
            row[x] = (rb & 0xFFFF) / count | ((gc & 0xFFFF) / count) << 8 | ((rb >> 16) / count) << 16;
        }
    }
}

void convertToNormalMap(const PixelView& image) {
    if (image.empty()) return;
    const int32_t w = image.width, h = image.height;
    std::vector<float> height(static_cast<size_t>(w) * h);
    for (int32_t y = 0; y < h; ++y) {
        const uint32_t* row = image.row(y);
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t p = row[x];
            height[static_cast<size_t>(y) * w + x] =
                static_cast<float>(channel(p, 0) + channel(p, 8) + channel(p, 16)) / (3.0f * 255.0f);
        }
    }
    auto heightAt = [&](int32_t x, int32_t y) {
        x = (x + w) % w;
        y = (y + h) % h;
        return height[static_cast<size_t>(y) * w + x];
    };
    auto encode = [](float n) {
        long v = std::lround((n * 0.5f + 0.5f) * 255.0f);
        return static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v);
    };
    for (int32_t y = 0; y < h; ++y) {
        uint32_t* row = image.row(y);
        for (int32_t x = 0; x < w; ++x) {
            float dx = (heightAt(x + 1, y) - heightAt(x - 1, y)) * kNormalMapStrength;
            float dy = (heightAt(x, y + 1) - heightAt(x, y - 1)) * kNormalMapStrength;
            float nx = -dx, ny = -dy, nz = 1.0f;
            float length = std::sqrt(nx * nx + ny * ny + nz * nz);
            uint32_t& p = row[x];
            p = (p & kAlphaMask) | encode(nx / length) | encode(ny / length) << 8 | encode(nz / length) << 16;
        }
    }
}
