// Bitmap fonts of the art sources: glyphs written as rows of '#' (ink) and
// '.' (none), each glyph as wide as its rows, all as high as the font. Text
// is set left to right with the font's spacing between glyphs; a font
// without small letters draws them with the capitals.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "canvas.h"

namespace media {

struct Glyph {
    int width = 0;
    std::vector<std::string> rows;
    bool ink(int x, int y) const {
        return y >= 0 && y < static_cast<int>(rows.size()) && x >= 0 && x < static_cast<int>(rows[y].size()) &&
               rows[y][x] != '.' && rows[y][x] != ' ';
    }
};

class PixelFont {
public:
    PixelFont() = default;
    PixelFont(std::string name, int height, int spacing) : name_(std::move(name)), height_(height), spacing_(spacing) {}

    const std::string& name() const { return name_; }
    int height() const { return height_; }
    int spacing() const { return spacing_; }
    // False when the code already has a glyph.
    bool add(int code, Glyph glyph);
    // The glyph for a character code, or null (small letters fall back to capitals).
    const Glyph* find(int code) const;
    size_t glyphCount() const { return glyphs_.size(); }

    // Width in pixels of the text at the scale; -1 when a character has no glyph
    // (missing receives it).
    int measure(const std::string& text, int scaleX, int& missing) const;
    // Covers the text's ink with its top left at (x, y).
    void cover(Mask& mask, const std::string& text, int x, int y, int scaleX, int scaleY) const;
    void coverGlyph(Mask& mask, const Glyph& glyph, int x, int y, int scaleX, int scaleY) const;

private:
    std::string name_;
    int height_ = 0;
    int spacing_ = 1;
    std::map<int, Glyph> glyphs_;
};

}  // namespace media
