// Glyph lookup, measuring and setting text into a mask.
#include "pixel_font.h"

#include <cctype>

namespace media {

bool PixelFont::add(int code, Glyph glyph) {
    return glyphs_.emplace(code, std::move(glyph)).second;
}

const Glyph* PixelFont::find(int code) const {
    auto it = glyphs_.find(code);
    if (it != glyphs_.end()) return &it->second;
    if (code >= 'a' && code <= 'z') {
        it = glyphs_.find(code - 'a' + 'A');
        if (it != glyphs_.end()) return &it->second;
    }
    return nullptr;
}

int PixelFont::measure(const std::string& text, int scaleX, int& missing) const {
    int width = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const Glyph* g = find(static_cast<unsigned char>(text[i]));
        if (!g) {
            missing = static_cast<unsigned char>(text[i]);
            return -1;
        }
        width += g->width * scaleX;
        if (i + 1 < text.size()) width += spacing_ * scaleX;
    }
    return width;
}

void PixelFont::coverGlyph(Mask& mask, const Glyph& glyph, int x, int y, int scaleX, int scaleY) const {
    for (int gy = 0; gy < height_; ++gy)
        for (int gx = 0; gx < glyph.width; ++gx)
            if (glyph.ink(gx, gy))
                for (int j = 0; j < scaleY; ++j)
                    for (int i = 0; i < scaleX; ++i) mask.cover(x + gx * scaleX + i, y + gy * scaleY + j);
}

void PixelFont::cover(Mask& mask, const std::string& text, int x, int y, int scaleX, int scaleY) const {
    int penX = x;
    for (char c : text) {
        const Glyph* g = find(static_cast<unsigned char>(c));
        if (!g) continue;  // callers measure first and report missing glyphs
        coverGlyph(mask, *g, penX, y, scaleX, scaleY);
        penX += (g->width + spacing_) * scaleX;
    }
}

}  // namespace media
