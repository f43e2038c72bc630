// Reading the Media folder's PNG files for the tests: the header as written
// (bit depth, colour type) and the pixels as 8-bit RGBA, top row first.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace mediatest {

struct RgbaImage {
    int width = 0, height = 0;
    int bitDepth = 0, colorType = -1;  // from the file's header
    std::vector<uint8_t> pixels;       // width * height * 4

    const uint8_t* at(int x, int y) const { return &pixels[(static_cast<size_t>(y) * width + x) * 4]; }
    uint8_t alpha(int x, int y) const { return at(x, y)[3]; }
    // Frame f of a sheet of fw x fh frames laid left to right, then down.
    bool frameEmpty(int f, int fw, int fh) const;
    int frameOpaquePixels(int f, int fw, int fh) const;
};

// false (with the reason) when the file is missing or not a readable PNG.
bool readPng(const std::string& path, RgbaImage& image, std::string& error);

}  // namespace mediatest
