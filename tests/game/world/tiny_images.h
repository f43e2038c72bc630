// Tiny pictures for the drawing tests, written as 24-bit BMP files (the
// image loader knows a file by its bytes, so a ".png" name may hold them).
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace worldtest {

// A width x height picture; colourAt(x, y) gives 0x00BBGGRR with (0, 0) at
// the top left.
void writeBmp(const std::string& path, int32_t width, int32_t height,
              const std::function<uint32_t(int32_t x, int32_t y)>& colourAt);

// A distinct opaque colour for frame or tile n (never the transparent colour).
constexpr uint32_t frameColour(int32_t n) {
    return static_cast<uint32_t>(0x100000 | ((n * 7 + 11) & 0xFF) << 8 | ((n * 3 + 40) & 0xFF));
}
// The same as read back from the frame: 0xAABBGGRR with alpha 255.
constexpr uint32_t opaque(uint32_t colour) { return colour | 0xFF000000u; }

}  // namespace worldtest
