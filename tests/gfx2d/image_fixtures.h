// Test images made by the tests themselves: BMP files written byte by byte
// (every depth and header the reader takes, and broken ones), PNG files
// written with libpng directly (greyscale, palettes, 16-bit), greyscale JPEG
// written with libjpeg directly, and small pixel patterns.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "gfx2d/decoded_image.h"

namespace imagetest {

// 0xAABBGGRR from bytes.
constexpr uint32_t rgba(uint32_t r, uint32_t g, uint32_t b, uint32_t a = 255) {
    return r | g << 8 | b << 16 | a << 24;
}

DecodedImage solid(int32_t width, int32_t height, uint32_t pixel);
// Every pixel different: red = 10 x, green = 10 y, blue = 7 (x + y), opaque.
DecodedImage gradient(int32_t width, int32_t height);

// A BMP of the given depth. Pixels are palette indices for depths 1 to 8
// (the palette as 0x00RRGGBB values in file order), else 0xAABBGGRR colours.
struct BmpSpec {
    int32_t width = 0, height = 0;
    int bitsPerPixel = 24;
    int headerSize = 40;  // 12, 40 or 124
    bool topDown = false;
    bool bitFields = false;             // 16 bits as 5-6-5, 32 bits as 8-8-8 in bytes 2, 1, 0
    std::vector<uint32_t> palette;      // written in full; clrUsed = its size
    std::vector<uint32_t> pixels;       // rows from the top
    std::string runLength;              // when set: run-length data (depths 4 and 8) in place of the rows
};
std::string bmpBytes(const BmpSpec& spec);

// A PNG through libpng: `samples` holds one value per channel per pixel,
// rows from the top, in the given colour type and depth (1 to 16).
struct PngSpec {
    int32_t width = 0, height = 0;
    int colourType = 0;  // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    std::vector<uint32_t> samples;
    std::vector<uint32_t> palette;   // 0x00RRGGBB, for palette images
    std::vector<uint8_t> paletteAlpha;  // tRNS for palette images
    bool interlaced = false;
    bool withText = false;  // a tEXt, a zTXt and an iTXt chunk before the image data, a tEXt after it
};
std::string pngBytes(const PngSpec& spec);

// A JPEG through libjpeg with the coding choices that files in the world
// carry: grey or colour, 4:2:0 or 4:4:4, baseline or progressive, Huffman or
// arithmetic codes, with or without restart markers.
struct JpegSpec {
    int32_t width = 0, height = 0;
    int components = 3;             // 1 (grey) or 3 (RGB)
    std::vector<uint8_t> samples;   // `components` a pixel, rows from the top
    int quality = 95;
    bool progressive = false;
    bool arithmetic = false;
    bool fullChroma = false;        // 4:4:4 instead of the library's 4:2:0
    int restartRows = 0;            // a restart marker every that many rows of blocks
    bool adobeMarker = false;       // an Adobe marker in place of the JFIF one
};
std::string jpegBytes(const JpegSpec& spec);
// A greyscale JPEG, quality 95, baseline or progressive.
std::string greyJpegBytes(int32_t width, int32_t height, const std::vector<uint8_t>& grey, bool progressive = false);

std::string asString(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> asBytes(const std::string& bytes);

// Sets the 32-bit big-endian value at `offset` and fixes the CRC of the PNG
// chunk that holds it.
void patchPngChunk(std::string& png, size_t offset, uint32_t value);

}  // namespace imagetest
