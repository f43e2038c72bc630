// The PNG reader and writer on files written by libpng itself: greyscale,
// palettes with and without transparency, 16-bit and interlaced images, and
// damaged or hostile files.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>

#include "child_process.h"
#include "file_bytes.h"
#include "gfx2d/image_codecs.h"
#include "image_fixtures.h"

namespace {

using imagetest::PngSpec;
using imagetest::rgba;

PngSpec makeSpec(int32_t width, int32_t height, int colourType, int bitDepth, std::vector<uint32_t> samples,
             std::vector<uint32_t> palette = {}) {
    PngSpec s;
    s.width = width;
    s.height = height;
    s.colourType = colourType;
    s.bitDepth = bitDepth;
    s.samples = std::move(samples);
    s.palette = std::move(palette);
    return s;
}

bool decode(const std::string& bytes, DecodedImage& image, const ImageLimits& limits = {}) {
    return decodePng(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), limits, image);
}

TEST(PngReader, EightBitGreyBecomesOpaqueGrey) {
    PngSpec spec = makeSpec(3, 2, PNG_COLOR_TYPE_GRAY, 8, {0, 128, 255, 1, 2, 3});
    DecodedImage image;
    ASSERT_TRUE(decode(imagetest::pngBytes(spec), image));
    EXPECT_EQ(image.hasAlpha, 0);
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.at(1, 0), rgba(128, 128, 128));
    EXPECT_EQ(image.at(2, 0), rgba(255, 255, 255));
    EXPECT_EQ(image.at(2, 1), rgba(3, 3, 3));
}

TEST(PngReader, LowDepthGreyIsScaledUp) {
    PngSpec spec = makeSpec(9, 1, PNG_COLOR_TYPE_GRAY, 1, {1, 0, 1, 0, 0, 0, 0, 0, 1});
    DecodedImage image;
    ASSERT_TRUE(decode(imagetest::pngBytes(spec), image));
    EXPECT_EQ(image.at(0, 0), rgba(255, 255, 255));
    EXPECT_EQ(image.at(1, 0), rgba(0, 0, 0));
    EXPECT_EQ(image.at(8, 0), rgba(255, 255, 255));
    PngSpec four = makeSpec(2, 1, PNG_COLOR_TYPE_GRAY, 4, {15, 5});
    ASSERT_TRUE(decode(imagetest::pngBytes(four), image));
    EXPECT_EQ(image.at(1, 0), rgba(85, 85, 85));
}

TEST(PngReader, GreyWithAlpha) {
    PngSpec spec = makeSpec(2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {10, 0, 200, 99});
    DecodedImage image;
    ASSERT_TRUE(decode(imagetest::pngBytes(spec), image));
    EXPECT_EQ(image.hasAlpha, 1);
    EXPECT_EQ(image.at(0, 0), rgba(10, 10, 10, 0));
    EXPECT_EQ(image.at(1, 0), rgba(200, 200, 200, 99));
}

TEST(PngReader, PaletteImagesWithAndWithoutTransparency) {
    PngSpec spec = makeSpec(4, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 2, 1}, {0xFF0000, 0x00FF00, 0x102030});
    DecodedImage image;
    ASSERT_TRUE(decode(imagetest::pngBytes(spec), image));
    EXPECT_EQ(image.hasAlpha, 0);
    EXPECT_EQ(image.at(0, 0), rgba(255, 0, 0));
    EXPECT_EQ(image.at(2, 0), rgba(0x10, 0x20, 0x30));
    spec.paletteAlpha = {255, 0};
    ASSERT_TRUE(decode(imagetest::pngBytes(spec), image));
    EXPECT_EQ(image.hasAlpha, 1);
    EXPECT_EQ(image.at(1, 0), rgba(0, 255, 0, 0));
    EXPECT_EQ(image.at(2, 0), rgba(0x10, 0x20, 0x30, 255));  // entries past tRNS are opaque
    PngSpec twoBit = makeSpec(5, 1, PNG_COLOR_TYPE_PALETTE, 2, {3, 2, 1, 0, 3}, {0x000000, 0x111111, 0x222222, 0x333333});
    ASSERT_TRUE(decode(imagetest::pngBytes(twoBit), image));
    EXPECT_EQ(image.at(0, 0), rgba(0x33, 0x33, 0x33));
    EXPECT_EQ(image.at(3, 0), rgba(0, 0, 0));
}

TEST(PngReader, SixteenBitRgbKeepsTheHighBytes) {
    PngSpec spec = makeSpec(1, 1, PNG_COLOR_TYPE_RGB, 16, {0xABFF, 0x1200, 0xFF01});
    DecodedImage image;
    ASSERT_TRUE(decode(imagetest::pngBytes(spec), image));
    EXPECT_EQ(image.hasAlpha, 0);
    EXPECT_EQ(image.at(0, 0), rgba(0xAB, 0x12, 0xFF));
}

TEST(PngReader, InterlacedImagesComeOutWhole) {
    PngSpec spec = makeSpec(9, 9, PNG_COLOR_TYPE_RGBA, 8, {});
    DecodedImage expected = imagetest::gradient(9, 9);
    for (uint32_t p : expected.pixels)
        for (int c = 0; c < 4; ++c) spec.samples.push_back((p >> (8 * c)) & 0xFF);
    spec.interlaced = true;
    DecodedImage image;
    ASSERT_TRUE(decode(imagetest::pngBytes(spec), image));
    EXPECT_EQ(image.hasAlpha, 1);
    EXPECT_EQ(image.pixels, expected.pixels);
}

TEST(PngReader, TextChunksBeforeAndAfterTheImageDataAreSkipped) {
    PngSpec spec = makeSpec(2, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 250, 251, 252});
    spec.withText = true;
    const std::string bytes = imagetest::pngBytes(spec);
    ASSERT_NE(bytes.find("iTXt"), std::string::npos);
    DecodedImage image;
    ASSERT_TRUE(decode(bytes, image));
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{rgba(1, 2, 3), rgba(250, 251, 252)}));
}

TEST(PngWriter, RoundTripIsExactWithAlpha) {
    DecodedImage source = imagetest::gradient(13, 7);
    source.at(5, 5) = rgba(9, 8, 7, 0);
    source.at(6, 5) = rgba(9, 8, 7, 128);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(encodePng(source, bytes));
    DecodedImage back;
    ASSERT_TRUE(decodePng(bytes.data(), bytes.size(), {}, back));
    EXPECT_EQ(back.hasAlpha, 1);
    EXPECT_EQ(back.pixels, source.pixels);
    DecodedImage empty;
    EXPECT_FALSE(encodePng(empty, bytes));
    EXPECT_TRUE(bytes.empty());
}

class PngRefuses : public ::testing::Test {
protected:
    void expectRefused(const std::string& bytes, const std::string& what, const ImageLimits& limits = {}) {
        DecodedImage image = imagetest::solid(1, 1, 5);
        EXPECT_FALSE(decode(bytes, image, limits)) << what;
        EXPECT_TRUE(image.pixels.empty()) << what;
    }
    std::string good = [] {
        DecodedImage source = imagetest::gradient(20, 20);
        std::vector<uint8_t> bytes;
        encodePng(source, bytes);
        return imagetest::asString(bytes);
    }();
};

TEST_F(PngRefuses, CutOffFiles) {
    ASSERT_GT(good.size(), 60u);
    for (size_t n = 0; n + 1 < good.size(); n += 7) expectRefused(good.substr(0, n), "cut at " + std::to_string(n));
}

TEST_F(PngRefuses, HugeDimensionsBeforeAnyAllocation) {
    std::string b = good;
    imagetest::patchPngChunk(b, 16, 1000000);  // IHDR width, CRC fixed
    imagetest::patchPngChunk(b, 20, 1000000);
    expectRefused(b, "a million squared");
    expectRefused(good, "above the side limit", ImageLimits{19, 1 << 20});
    expectRefused(good, "above the pixel limit", ImageLimits{100, 399});
    DecodedImage image;
    EXPECT_TRUE(decode(good, image, ImageLimits{20, 400}));
}

TEST_F(PngRefuses, DamagedChunksAndSignature) {
    std::string b = good;
    b[1] = 'Q';
    expectRefused(b, "signature");
    b = good;
    b[40] = static_cast<char>(b[40] ^ 0x55);  // inside the image data: CRC mismatch
    expectRefused(b, "crc");
}

// Decodes the file in a child: whether it loaded, then the child's peak
// resident size and peak address space in KiB.
std::vector<long> decodeInChild(const std::string& bytes) {
    const std::string out = testsupport::runInChild([&] {
        testsupport::writeFileBytes("/proc/self/clear_refs", "5");  // the resident peak starts here
        DecodedImage image;
        const bool loaded = decode(bytes, image);
        std::printf("Loaded: %d\n%s", loaded ? 1 : 0, testsupport::readFileBytes("/proc/self/status").c_str());
    }).out;
    std::vector<long> numbers;
    for (const std::string key : {"Loaded:", "VmHWM:", "VmPeak:"}) {
        const size_t at = out.find(key);
        numbers.push_back(at == std::string::npos ? -1 : std::atol(out.c_str() + at + key.size()));
    }
    return numbers;
}

TEST_F(PngRefuses, AncillaryChunksClaimingTwoGigabytesCostNothing) {
    const std::vector<long> plain = decodeInChild(good);
    ASSERT_EQ(plain[0], 1);
    for (const char* kind : {"tEXt", "zTXt", "iTXt", "sPLT", "eXIf", "pCAL", "sCAL"}) {
        // After the header a chunk whose length says 0x7F000018 bytes, and a few of them.
        const std::string file = good.substr(0, 33) + std::string("\x7F\0\0\x18", 4) + kind + "Title words";
        const std::vector<long> peaks = decodeInChild(file);
        EXPECT_EQ(peaks[0], 0) << kind;
        EXPECT_LT(peaks[1] - plain[1], 16 * 1024) << kind << ": resident KiB";
        EXPECT_LT(peaks[2] - plain[2], 16 * 1024) << kind << ": address space KiB";
    }
}

TEST_F(PngRefuses, RandomDamageNeverReadsOutside) {
    uint32_t state = 777;
    auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    for (int round = 0; round < 500; ++round) {
        std::string b = good;
        for (int i = 0; i < 3; ++i) b[8 + next() % (b.size() - 8)] = static_cast<char>(next() >> 24);
        DecodedImage image;
        if (decode(b, image)) { EXPECT_EQ(image.pixels.size(), 400u); }
    }
}

}  // namespace
