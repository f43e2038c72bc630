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

}  // namespace

void applyTransparentColour(DecodedImage& image, uint32_t colour) {
    colour &= kColourMask;
    for (uint32_t& p : image.pixels) {
        if ((p & kColourMask) == colour) p &= kColourMask;
    }
}

void fillTransparentPixelColours(DecodedImage& image) {
    if (image.empty()) return;
    // Neighbours are judged by the original alpha, so a pass never feeds
    // on pixels it filled itself.
    const std::vector<uint32_t> source = image.pixels;
    const int32_t w = image.width, h = image.height;
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            uint32_t& target = image.at(x, y);
            if ((target & kAlphaMask) != 0) continue;
            uint32_t red = 0, green = 0, blue = 0, count = 0;
            for (int32_t ny = y - 1; ny <= y + 1; ++ny) {
                for (int32_t nx = x - 1; nx <= x + 1; ++nx) {
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
                    uint32_t n = source[static_cast<size_t>(ny) * w + nx];
                    if ((n & kAlphaMask) == 0) continue;
                    red += channel(n, 0);
                    green += channel(n, 8);
                    blue += channel(n, 16);
                    ++count;
                }
            }
            if (count == 0) continue;
            target = (red / count) | (green / count) << 8 | (blue / count) << 16;
        }
    }
}

void convertToNormalMap(DecodedImage& image) {
    if (image.empty()) return;
    const int32_t w = image.width, h = image.height;
    std::vector<float> height(image.pixels.size());
    for (size_t i = 0; i < height.size(); ++i) {
        uint32_t p = image.pixels[i];
        height[i] = static_cast<float>(channel(p, 0) + channel(p, 8) + channel(p, 16)) / (3.0f * 255.0f);
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
        for (int32_t x = 0; x < w; ++x) {
            float dx = (heightAt(x + 1, y) - heightAt(x - 1, y)) * kNormalMapStrength;
            float dy = (heightAt(x, y + 1) - heightAt(x, y - 1)) * kNormalMapStrength;
            float nx = -dx, ny = -dy, nz = 1.0f;
            float length = std::sqrt(nx * nx + ny * ny + nz * nz);
            uint32_t& p = image.at(x, y);
            p = (p & kAlphaMask) | encode(nx / length) | encode(ny / length) << 8 | encode(nz / length) << 16;
        }
    }
}
