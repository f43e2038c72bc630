// The BMP reader and writer: every depth and header it takes, exact pixels,
// and the files it must refuse without reading outside them.
#include <gtest/gtest.h>
#include <png.h>

#include "gfx2d/image_codecs.h"
#include "gfx2d/sprite_slot.h"
#include "image_fixtures.h"

namespace {

using imagetest::BmpSpec;
using imagetest::rgba;

bool decode(const std::string& bytes, DecodedImage& image, const ImageLimits& limits = {}) {
    return decodeBmp(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), limits, image);
}

BmpSpec colourSpec(int bpp, int32_t w = 3, int32_t h = 2) {
    BmpSpec spec;
    spec.width = w;
    spec.height = h;
    spec.bitsPerPixel = bpp;
    spec.pixels = imagetest::gradient(w, h).pixels;
    return spec;
}

TEST(BmpReader, TwentyFourBitRowsComeTopFirst) {
    BmpSpec spec = colourSpec(24, 5, 3);  // 15 bytes a row: padded to 16
    DecodedImage image;
    ASSERT_TRUE(decode(imagetest::bmpBytes(spec), image));
    EXPECT_EQ(image.width, 5);
    EXPECT_EQ(image.height, 3);
    EXPECT_EQ(image.hasAlpha, 0);
    EXPECT_EQ(image.pixels, spec.pixels);
    EXPECT_EQ(image.at(4, 2), rgba(40, 20, 42));
}

TEST(BmpReader, TopDownFilesNeedNoFlip) {
    BmpSpec spec = colourSpec(24, 4, 3);
    spec.topDown = true;
    DecodedImage image;
    ASSERT_TRUE(decode(imagetest::bmpBytes(spec), image));
    EXPECT_EQ(image.pixels, spec.pixels);
}

TEST(BmpReader, PaletteDepthsLookUpTheirColours) {
    const std::vector<uint32_t> palette16 = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xABCDEF,
                                             0x808080, 0xFFFFFF, 0x010203, 0x040506, 0x070809, 0x0A0B0C,
                                             0x0D0E0F, 0x101112, 0x131415, 0x161718};
    for (int bpp : {1, 4, 8}) {
        BmpSpec spec;
        spec.width = 11;  // odd widths cross byte boundaries for 1 and 4 bits
        spec.height = 2;
        spec.bitsPerPixel = bpp;
        uint32_t entries = bpp == 1 ? 2 : 16;
        spec.palette.assign(palette16.begin(), palette16.begin() + entries);
        for (int32_t i = 0; i < spec.width * spec.height; ++i) spec.pixels.push_back(static_cast<uint32_t>(i * 7) % entries);
        DecodedImage image;
        ASSERT_TRUE(decode(imagetest::bmpBytes(spec), image)) << bpp;
        for (size_t i = 0; i < spec.pixels.size(); ++i) {
            uint32_t c = spec.palette[spec.pixels[i]];
            ASSERT_EQ(image.pixels[i], rgba(c >> 16, (c >> 8) & 0xFF, c & 0xFF)) << bpp << " bits, pixel " << i;
        }
    }
}

TEST(BmpReader, SixteenAndThirtyTwoBitsWithAndWithoutBitFields) {
    for (bool fields : {false, true}) {
        for (int bpp : {16, 32}) {
            BmpSpec spec;
            spec.width = 2;
            spec.height = 1;
            spec.bitsPerPixel = bpp;
            spec.bitFields = fields;
            spec.pixels = {rgba(255, 0, 0, 7), rgba(0, 255, 255)};
            DecodedImage image;
            ASSERT_TRUE(decode(imagetest::bmpBytes(spec), image)) << bpp << " " << fields;
            // BMP alpha is never taken: the pixels are opaque.
            EXPECT_EQ(image.at(0, 0), rgba(255, 0, 0)) << bpp << " " << fields;
            EXPECT_EQ(image.at(1, 0), rgba(0, 255, 255)) << bpp << " " << fields;
        }
    }
}

TEST(BmpReader, FiveBitChannelsScaleToFullRange) {
    BmpSpec spec;
    spec.width = 1;
    spec.height = 1;
    spec.bitsPerPixel = 16;
    spec.pixels = {rgba(255, 132, 8)};  // 5-5-5: 31, 16, 1
    DecodedImage image;
    ASSERT_TRUE(decode(imagetest::bmpBytes(spec), image));
    EXPECT_EQ(image.at(0, 0), rgba(255, 132, 8));  // 16 * 255 / 31 rounds to 132, 1 to 8
}

TEST(BmpReader, CoreAndLongHeaders) {
    BmpSpec core;
    core.width = 2;
    core.height = 2;
    core.bitsPerPixel = 8;
    core.headerSize = 12;
    core.palette.assign(256, 0);
    core.palette[3] = 0x00FF8000;
    core.pixels = {3, 0, 0, 3};
    DecodedImage image;
    ASSERT_TRUE(decode(imagetest::bmpBytes(core), image));
    EXPECT_EQ(image.at(0, 0), rgba(255, 128, 0));
    EXPECT_EQ(image.at(1, 0), rgba(0, 0, 0));

    BmpSpec v5 = colourSpec(32);
    v5.headerSize = 124;
    v5.bitFields = true;
    ASSERT_TRUE(decode(imagetest::bmpBytes(v5), image));
    EXPECT_EQ(image.pixels, v5.pixels);
}

TEST(BmpWriter, RoundTripKeepsEveryPixelAndMarksTransparentOnes) {
    DecodedImage source = imagetest::gradient(7, 5);  // 21 bytes a row: padded
    source.at(2, 3) = rgba(1, 2, 3, 0);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(encodeBmp(source, bytes));
    EXPECT_EQ(bytes.size(), 14u + 40u + 24u * 5u);
    DecodedImage back;
    ASSERT_TRUE(decodeBmp(bytes.data(), bytes.size(), {}, back));
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 7; ++x)
            if (x != 2 || y != 3) {
                EXPECT_EQ(back.at(x, y), source.at(x, y)) << x << "," << y;
            }
    EXPECT_EQ(back.at(2, 3), kTransparentColour | 0xFF000000u);
    EXPECT_FALSE(encodeBmp(DecodedImage{}, bytes));
}

// --- run-length files ---

// Palette entries as 0x00RRGGBB, and the pixel each becomes.
const std::vector<uint32_t> kRunPalette = {0x101010, 0xFF0000, 0x00FF00, 0x0000FF};
uint32_t runColour(uint32_t index) {
    uint32_t c = kRunPalette.at(index);
    return rgba(c >> 16, (c >> 8) & 0xFF, c & 0xFF);
}

// A run-length BMP of 8 bits (or 4) with kRunPalette (at 4 bits, twelve greys
// after it) and the given data, written as bytes in hexadecimal.
BmpSpec runLengthSpec(int32_t w, int32_t h, const std::string& hex, int bpp = 8) {
    BmpSpec spec;
    spec.width = w;
    spec.height = h;
    spec.bitsPerPixel = bpp;
    spec.palette = kRunPalette;
    if (bpp == 4)
        for (uint32_t i = 4; i < 16; ++i) spec.palette.push_back(i * 0x111111);
    for (size_t i = 0; i + 1 < hex.size(); i += 3) {
        spec.runLength.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return spec;
}

void expectRows(const DecodedImage& image, const std::vector<std::vector<uint32_t>>& indices, const char* what) {
    ASSERT_EQ(image.height, static_cast<int32_t>(indices.size())) << what;
    for (int32_t y = 0; y < image.height; ++y) {
        ASSERT_EQ(image.width, static_cast<int32_t>(indices[y].size())) << what;
        for (int32_t x = 0; x < image.width; ++x)
            EXPECT_EQ(image.at(x, y), runColour(indices[y][x])) << what << " at " << x << "," << y;
    }
}

TEST(BmpRunLength, EightBitRunsAndLiteralsFillRowsFromTheBottom) {
    // Bottom row: 3 x 1, 2 x 2, end of line. Middle: literal 1 2 3 (padded
    // to a word), 2 x 0, end of line. Top: 5 x 3, end of image.
    BmpSpec spec = runLengthSpec(5, 3, "03 01 02 02 00 00 00 03 01 02 03 00 02 00 00 00 05 03 00 01");
    DecodedImage image;
    ASSERT_TRUE(decode(imagetest::bmpBytes(spec), image));
    EXPECT_EQ(image.hasAlpha, 0);
    expectRows(image, {{3, 3, 3, 3, 3}, {1, 2, 3, 0, 0}, {1, 1, 1, 2, 2}}, "8 bits");
}

TEST(BmpRunLength, FourBitRunsAlternateTheirTwoIndices) {
    // Bottom row: 4 of 1-2 alternating, literal 3 4 5; top row: literal
    // 6 7 8 9 10 (three bytes padded to four), 2 of 11-12.
    BmpSpec spec = runLengthSpec(7, 2, "04 12 00 03 34 50 00 00 00 05 67 89 A0 00 02 BC 00 01", 4);
    DecodedImage image;
    ASSERT_TRUE(decode(imagetest::bmpBytes(spec), image));
    const std::vector<std::vector<uint32_t>> indices = {{6, 7, 8, 9, 10, 11, 12}, {1, 2, 1, 2, 3, 4, 5}};
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 7; ++x) {
            uint32_t c = spec.palette[indices[y][x]];
            EXPECT_EQ(image.at(x, y), rgba(c >> 16, (c >> 8) & 0xFF, c & 0xFF)) << x << "," << y;
        }
}

TEST(BmpRunLength, SkippedPixelsTakeTheFirstPaletteEntry) {
    // 1 at the bottom left, a move of 2 right and 1 up, 2 there, end of
    // line, 3 at the top left, end of image before the row is full.
    BmpSpec spec = runLengthSpec(4, 3, "01 01 00 02 02 01 01 02 00 00 01 03 00 01");
    DecodedImage image;
    ASSERT_TRUE(decode(imagetest::bmpBytes(spec), image));
    expectRows(image, {{3, 0, 0, 0}, {0, 0, 0, 2}, {1, 0, 0, 0}}, "skips");
    // Every row ended, no end-of-image mark: whole.
    ASSERT_TRUE(decode(imagetest::bmpBytes(runLengthSpec(2, 2, "02 01 00 00 02 02 00 00")), image));
    expectRows(image, {{2, 2}, {1, 1}}, "no end mark");
}

// Run-length data as image tools write it: each row coded out to its
// 4-byte-padded width (the pad as index 0) in runs of equal bytes (at 4 bits,
// of equal pairs of pixels), an end of line after every row and an end of
// image last. `indices` are rows from the top.
std::string paddedRowRunLength(const std::vector<uint32_t>& indices, int32_t w, int32_t h, int bpp) {
    const size_t stride = (static_cast<size_t>(w) * bpp + 31) / 32 * 4;
    const size_t longest = bpp == 8 ? 255 : 127;  // bytes in one run
    std::string data;
    for (int32_t fileRow = 0; fileRow < h; ++fileRow) {
        std::vector<uint8_t> row(stride, 0);
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t index = indices[static_cast<size_t>(h - 1 - fileRow) * w + x];
            if (bpp == 8) row[x] = static_cast<uint8_t>(index);
            else row[x / 2] = static_cast<uint8_t>(row[x / 2] | index << (x % 2 == 0 ? 4 : 0));
        }
        for (size_t x = 0, run = 0; x < stride; x += run) {
            for (run = 1; x + run < stride && run < longest && row[x + run] == row[x];) ++run;
            data.push_back(static_cast<char>(bpp == 8 ? run : 2 * run));
            data.push_back(static_cast<char>(row[x]));
        }
        data += std::string("\0\0", 2);
    }
    return data + std::string("\0\1", 2);
}

TEST(BmpRunLength, RowsCodedOutToThePaddedWidthLoadAsThePicture) {
    // 37 pixels a row, padded to 40: the last run of every row passes its end,
    // from inside the row where the row ends in index 0, else by itself.
    const int32_t w = 37, h = 23;
    std::vector<uint32_t> indices;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) indices.push_back(y % 5 == 4 ? y % 4 : static_cast<uint32_t>(x / 4 + y + 1) % 4);
    imagetest::PngSpec png;
    png.width = w;
    png.height = h;
    png.colourType = PNG_COLOR_TYPE_PALETTE;
    png.samples = indices;
    png.palette = kRunPalette;
    const std::string pngFile = imagetest::pngBytes(png);
    DecodedImage fromPng;
    ASSERT_TRUE(decodePng(reinterpret_cast<const uint8_t*>(pngFile.data()), pngFile.size(), {}, fromPng));
    for (int bpp : {8, 4}) {
        const std::string data = paddedRowRunLength(indices, w, h, bpp);
        BmpSpec spec = runLengthSpec(w, h, "", bpp);
        spec.runLength = data;
        DecodedImage image;
        ASSERT_TRUE(decode(imagetest::bmpBytes(spec), image)) << bpp << " bits";
        EXPECT_EQ(image.pixels, fromPng.pixels) << bpp << " bits";
        for (size_t i = 0; i < indices.size(); ++i) ASSERT_EQ(image.pixels[i], runColour(indices[i])) << i;
    }
    // The layout itself: the first file row (the picture's last) ends in index
    // 0, so its last run of 4 starts at x = 36 and runs on over the pad; the
    // next ends in a run of 1 of index 3, and its pad is a run of 3 past the end.
    const std::string data = paddedRowRunLength(indices, w, h, 8);
    EXPECT_EQ(std::string("\x04\x03\x04\x00\x04\x01\x04\x02\x04\x03\x04\x00\x04\x01\x04\x02\x04\x03"
                          "\x04\x00\x00\x00",
                          22),
              data.substr(0, 22));
    EXPECT_EQ(std::string("\x04\x02\x01\x03\x03\x00\x00\x00", 8), data.substr(22 + 16, 8));
    EXPECT_EQ(std::string("\x00\x01", 2), data.substr(data.size() - 2));
}

TEST(BmpRunLength, RunsAndMovesPastTheEdgesAreCutThere) {
    const struct {
        int bpp;
        const char* hex;
        std::vector<std::vector<uint32_t>> rows;  // from the top
        const char* what;
    } cases[] = {
        {8, "05 01 00 01", {{0, 0, 0, 0}, {1, 1, 1, 1}}, "a run past the row"},
        {8, "02 01 03 02 00 00 04 03 00 01", {{3, 3, 3, 3}, {1, 1, 2, 2}}, "a second run past the row"},
        {8, "00 05 01 02 03 01 02 00 00 00 04 03 00 01", {{3, 3, 3, 3}, {1, 2, 3, 1}}, "a literal past the row"},
        {8, "00 05 01 02 03 01 07 00 00 01", {{0, 0, 0, 0}, {1, 2, 3, 1}}, "no colour is looked up past the row"},
        {8, "00 02 05 00 02 01 00 00 04 02 00 01", {{2, 2, 2, 2}, {0, 0, 0, 0}}, "a move past the row"},
        {8, "01 01 00 02 00 03 04 02 00 01", {{0, 0, 0, 0}, {1, 0, 0, 0}}, "a move past the image"},
        {8, "04 01 00 00 04 02 00 00 04 03 00 00 00 01", {{2, 2, 2, 2}, {1, 1, 1, 1}}, "a row past the last"},
        {8, "04 01 00 00 04 02 00 00 00 03 01 02 03 00", {{2, 2, 2, 2}, {1, 1, 1, 1}}, "a literal past the last row"},
        {4, "05 12 00 00 06 33 00 01", {{3, 3, 3, 3}, {1, 2, 1, 2}}, "a four-bit run past the row"},
        {4, "00 05 12 31 20 00 00 00 04 33 00 01", {{3, 3, 3, 3}, {1, 2, 3, 1}}, "a four-bit literal past the row"},
    };
    for (const auto& c : cases) {
        DecodedImage image;
        ASSERT_TRUE(decode(imagetest::bmpBytes(runLengthSpec(4, 2, c.hex, c.bpp)), image)) << c.what;
        expectRows(image, c.rows, c.what);
    }
}

// --- refused files ---

class BmpRefuses : public ::testing::Test {
protected:
    void expectRefused(const std::string& bytes, const char* what, const ImageLimits& limits = {}) {
        DecodedImage image = imagetest::solid(1, 1, 5);
        EXPECT_FALSE(decode(bytes, image, limits)) << what;
        EXPECT_TRUE(image.empty()) << what;
        EXPECT_TRUE(image.pixels.empty()) << what;
    }
    static void set32(std::string& b, size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
    }
    std::string good = imagetest::bmpBytes(colourSpec(24, 6, 4));
};

TEST_F(BmpRefuses, CutOffData) {
    for (size_t n : {size_t{0}, size_t{1}, size_t{13}, size_t{20}, size_t{53}, good.size() - 1})
        expectRefused(good.substr(0, n), ("cut at " + std::to_string(n)).c_str());
    DecodedImage image;
    EXPECT_FALSE(decodeBmp(nullptr, 100, {}, image)) << "no data";
}

TEST_F(BmpRefuses, WrongSizesAndHugeDimensions) {
    std::string b = good;
    set32(b, 18, 0);
    expectRefused(b, "zero width");
    b = good;
    set32(b, 18, 0xFFFFFFFA);
    expectRefused(b, "negative width");
    b = good;
    set32(b, 22, 0);
    expectRefused(b, "zero height");
    b = good;
    set32(b, 22, 0x80000000u);
    expectRefused(b, "most negative height");
    b = good;
    set32(b, 18, 100000);
    set32(b, 22, 100000);
    expectRefused(b, "huge");
    expectRefused(good, "wider than the limit", ImageLimits{5, 1 << 20});
    expectRefused(good, "more pixels than the limit", ImageLimits{100, 23});
    b = good;
    set32(b, 10, 0xFFFFFFF0u);
    expectRefused(b, "pixel offset past the end");
}

TEST_F(BmpRefuses, BadHeadersAndCompression) {
    std::string b = good;
    b[0] = 'X';
    expectRefused(b, "no signature");
    b = good;
    set32(b, 14, 64);
    expectRefused(b, "unknown header size");
    b = good;
    b[28] = 2;
    expectRefused(b, "two bits per pixel");
    b = good;
    set32(b, 30, 1);
    expectRefused(b, "run-length compressed");
    b = good;
    set32(b, 30, 3);
    expectRefused(b, "bit fields on 24 bits");
}

TEST_F(BmpRefuses, RunLengthDataThatEndsEarlyOrNamesNoColour) {
    const struct {
        int bpp;
        const char* hex;
        const char* what;
    } cases[] = {
        {8, "04 01 00 00", "rows missing at the end of the data"},
        {8, "04 01 00 02 05 00", "a move along the row as the data ends"},
        {8, "04 01 00 00 02 02", "a row cut short"},
        {8, "00 04 01 02", "a literal cut off"},
        {8, "00 02 01", "a move cut off"},
        {8, "04", "half a pair"},
        {8, "01 07 00 01", "an index past the palette"},
        {8, "00 03 01 07 01 00 00 01", "a literal index past the palette"},
        {4, "00 03 12", "a four-bit literal cut off"},
        {4, "00 02 00 03 00 09 12 34", "a literal past the image cut off"},
    };
    for (const auto& c : cases) expectRefused(imagetest::bmpBytes(runLengthSpec(4, 2, c.hex, c.bpp)), c.what);
    std::string b = imagetest::bmpBytes(runLengthSpec(4, 2, "04 01 00 01"));
    set32(b, 30, 2);
    expectRefused(b, "four-bit runs on eight bits");
    b = imagetest::bmpBytes(runLengthSpec(4, 2, "04 01 00 01", 4));
    set32(b, 30, 1);
    expectRefused(b, "eight-bit runs on four bits");
}

TEST_F(BmpRefuses, RandomDamageToRunLengthDataNeverWritesOutside) {
    const std::string sound =
        imagetest::bmpBytes(runLengthSpec(5, 3, "03 01 02 02 00 00 00 03 01 02 03 00 02 00 00 00 05 03 00 01"));
    uint32_t state = 777;
    auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    for (int round = 0; round < 3000; ++round) {
        std::string b = sound;
        for (int i = 0, flips = 1 + next() % 3; i < flips; ++i) {
            const size_t at = 54 + 16 + next() % (b.size() - 54 - 16);  // in the run data
            b[at] = static_cast<char>(next() % 4 == 0 ? next() >> 24 : next() % 8);
        }
        DecodedImage image;
        if (decode(b, image)) { EXPECT_EQ(image.pixels.size(), 15u); }
    }
}

TEST_F(BmpRefuses, BadPalettes) {
    BmpSpec spec;
    spec.width = 2;
    spec.height = 1;
    spec.bitsPerPixel = 4;
    spec.palette = {0x112233, 0x445566};
    spec.pixels = {0, 1};
    DecodedImage image;
    ASSERT_TRUE(decode(imagetest::bmpBytes(spec), image));
    spec.pixels = {0, 2};
    expectRefused(imagetest::bmpBytes(spec), "index past the palette");
    spec.pixels = {0, 1};
    std::string b = imagetest::bmpBytes(spec);
    set32(b, 46, 17);
    expectRefused(b, "more entries than four bits address");
    set32(b, 46, 16);
    b.resize(14 + 40 + 20);
    expectRefused(b, "palette past the end of the file");
}

TEST_F(BmpRefuses, RandomDamageNeverReadsOutside) {
    // Under the address sanitizer any read outside the data fails the test.
    uint32_t state = 12345;
    auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    for (int round = 0; round < 2000; ++round) {
        std::string b = good;
        int flips = 1 + next() % 4;
        for (int i = 0; i < flips; ++i) b[next() % 60] = static_cast<char>(next() >> 24);
        if (next() % 3 == 0) b.resize(next() % b.size());
        DecodedImage image;
        if (decode(b, image)) { EXPECT_EQ(image.pixels.size(), static_cast<size_t>(image.width) * image.height); }
    }
}

}  // namespace
