// The JPEG reader and writer: colour and greyscale files, the quality the
// writer uses, and damaged files, which fail instead of ending the process.
#include <gtest/gtest.h>

#include <cstdlib>

#include "gfx2d/image_codecs.h"
#include "image_fixtures.h"

namespace {

using imagetest::rgba;

bool decode(const std::string& bytes, DecodedImage& image, const ImageLimits& limits = {}) {
    return decodeJpeg(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), limits, image);
}

int channelDistance(uint32_t a, uint32_t b) {
    int most = 0;
    for (int shift = 0; shift < 24; shift += 8)
        most = std::max(most, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    return most;
}

std::string encoded(const DecodedImage& image, int quality = 80) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(encodeJpeg(image, quality, bytes));
    return imagetest::asString(bytes);
}

TEST(JpegCodec, FlatColoursSurviveTheRoundTrip) {
    DecodedImage source = imagetest::solid(16, 16, rgba(200, 40, 90, 17));
    DecodedImage back;
    ASSERT_TRUE(decode(encoded(source), back));
    EXPECT_EQ(back.hasAlpha, 0);
    EXPECT_EQ(back.width, 16);
    EXPECT_EQ(back.height, 16);
    for (uint32_t p : back.pixels) {
        EXPECT_EQ(p >> 24, 255u);
        EXPECT_LE(channelDistance(p, source.pixels[0]), 3);
    }
}

TEST(JpegCodec, TheWriterUsesQualityEighty) {
    // At quality 80 the first luminance quantiser (16 in the standard table)
    // is scaled by 40 %: 6.
    std::string bytes = encoded(imagetest::gradient(8, 8));
    size_t dqt = bytes.find("\xFF\xDB");
    ASSERT_NE(dqt, std::string::npos);
    EXPECT_EQ(static_cast<uint8_t>(bytes[dqt + 4]), 0u);  // 8-bit table 0
    EXPECT_EQ(static_cast<uint8_t>(bytes[dqt + 5]), 6u);
}

TEST(JpegCodec, GreyscaleFilesComeOutGrey) {
    std::vector<uint8_t> grey(8 * 8, 0);
    for (size_t i = 0; i < grey.size(); ++i) grey[i] = i < 32 ? 30 : 220;
    DecodedImage image;
    ASSERT_TRUE(decode(imagetest::greyJpegBytes(8, 8, grey), image));
    EXPECT_EQ(image.width, 8);
    EXPECT_EQ(image.height, 8);
    uint32_t top = image.at(3, 0), bottom = image.at(3, 7);
    EXPECT_LE(channelDistance(top, rgba(30, 30, 30)), 4);
    EXPECT_LE(channelDistance(bottom, rgba(220, 220, 220)), 4);
    EXPECT_EQ(top & 0xFF, (top >> 8) & 0xFF);
    EXPECT_EQ(top & 0xFF, (top >> 16) & 0xFF);
}

TEST(JpegCodec, CutOffAndDamagedFilesFail) {
    std::string good = encoded(imagetest::gradient(40, 30));
    DecodedImage image = imagetest::solid(1, 1, 1);
    for (size_t n : {size_t{0}, size_t{2}, size_t{20}, good.size() / 2, good.size() - 2}) {
        EXPECT_FALSE(decode(good.substr(0, n), image)) << n;
        EXPECT_TRUE(image.pixels.empty()) << n;
    }
    std::string garbage = "\xFF\xD8\xFF" + std::string(200, '\x42');
    EXPECT_FALSE(decode(garbage, image));
    EXPECT_FALSE(decode(good, image, ImageLimits{39, 1 << 20}));
    EXPECT_TRUE(decode(good, image, ImageLimits{40, 1200}));
}

TEST(JpegCodec, DamagedDataBeforeAnEndMarkerFails) {
    // libjpeg fills what it could not decode in grey and only warns: a file
    // cut short but closed with an end-of-image marker, or with a damaged
    // entropy-coded segment, is no image.
    DecodedImage source = imagetest::gradient(64, 64);
    std::vector<uint8_t> grey(64 * 64);
    for (size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<uint8_t>(i * 13 % 251);
    for (bool progressive : {false, true}) {
        const std::string good = progressive ? imagetest::greyJpegBytes(64, 64, grey, true) : encoded(source, 90);
        DecodedImage image;
        ASSERT_TRUE(decode(good, image)) << progressive;
        std::string cut = good.substr(0, good.size() / 2) + "\xFF\xD9";
        EXPECT_FALSE(decode(cut, image)) << "cut short, progressive " << progressive;
        EXPECT_TRUE(image.pixels.empty());
    }
    std::string good = encoded(source, 90);
    std::string damaged = good;
    const size_t scan = good.find("\xFF\xDA");
    ASSERT_NE(scan, std::string::npos);
    damaged.insert(scan + 40, "\xFF\xD0");  // a restart marker where none belongs
    DecodedImage image;
    EXPECT_FALSE(decode(damaged, image)) << "a marker inside the scan";
}

TEST(JpegCodec, RandomDamageNeverEndsTheProcess) {
    std::string good = encoded(imagetest::gradient(24, 24));
    uint32_t state = 4242;
    auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    for (int round = 0; round < 300; ++round) {
        std::string b = good;
        for (int i = 0; i < 4; ++i) b[2 + next() % (b.size() - 2)] = static_cast<char>(next() >> 24);
        DecodedImage image;
        if (decode(b, image)) { EXPECT_EQ(image.pixels.size(), static_cast<size_t>(image.width) * image.height); }
    }
}

TEST(JpegCodec, EmptyImagesAreNotWritten) {
    std::vector<uint8_t> bytes;
    EXPECT_FALSE(encodeJpeg(DecodedImage{}, 80, bytes));
    EXPECT_TRUE(bytes.empty());
}

}  // namespace
