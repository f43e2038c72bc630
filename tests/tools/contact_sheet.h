// A contact sheet of the game's pictures for a person to look at: every
// sheet's frames side by side, enlarged, on a water-blue ground, each sheet
// under its file name (set in the start-up font itself). It takes the
// pictures as RGBA pixels from whatever read them: libpng here, the
// runtime's own loaders later.
#pragma once
#include <string>
#include <vector>

#include "png_reader.h"

namespace mediatest {

class ContactSheet {
public:
    ContactSheet(int width, int scale) : width_(width), scale_(scale) {}

    // The label font: a 16 x 16 grid of character cells.
    void setFont(const RgbaImage& font) { font_ = font; }
    // A sheet of frames (a whole picture is one frame of its own size).
    void add(const std::string& label, const RgbaImage& sheet, int frameW, int frameH, int frames);
    // Lays everything out and writes a PNG; false with the reason.
    bool write(const std::string& path, std::string& error) const;

private:
    struct Entry {
        std::string label;
        RgbaImage sheet;
        int frameW, frameH, frames;
    };
    int width_, scale_;
    RgbaImage font_;
    std::vector<Entry> entries_;
};

}  // namespace mediatest
