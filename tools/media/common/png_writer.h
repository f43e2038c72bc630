// PNG output of the pixel-art generator: 8-bit RGBA, no time stamp, no text
// chunks, fixed compression settings, so the same pixels always give the
// same bytes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace media {

// rgba holds width * height * 4 bytes, rows top first. Throws MediaError.
std::string encodePngRgba(int width, int height, const std::vector<uint8_t>& rgba);
void writePngRgba(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba);

}  // namespace media
