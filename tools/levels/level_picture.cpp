// The editor's level pictures. Depends on the glyph table (level_text.h).
#include "level_picture.h"

#include "level_text.h"

namespace levels {

namespace {
constexpr uint32_t kUnknownColour = 0x808080;
}  // namespace

std::string levelPictureName(int32_t number) { return std::to_string(number) + ".png"; }

uint32_t cellColour(int32_t code) {
    const Glyph* g = glyphOfCode(code);
    return g ? g->colour : kUnknownColour;
}

std::vector<uint8_t> drawLevelPicture(const LevelData& level) {
    const int32_t width = level.width * kPictureCellPixels;
    const int32_t height = level.height * kPictureCellPixels;
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    uint8_t* pixel = rgba.data();
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x, pixel += 4) {
            const uint32_t colour = cellColour(level.at(x / kPictureCellPixels, y / kPictureCellPixels));
            pixel[0] = static_cast<uint8_t>(colour >> 16);
            pixel[1] = static_cast<uint8_t>(colour >> 8);
            pixel[2] = static_cast<uint8_t>(colour);
            pixel[3] = 0xFF;
        }
    }
    return rgba;
}

}  // namespace levels
