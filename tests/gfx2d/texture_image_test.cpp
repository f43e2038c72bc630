// Decoding straight into the buffer of a texture: the image in the top left
// corner of power-of-two sides from 16, the rest transparent black, and
// pixels exactly as decoded into an image of their own.
#include <gtest/gtest.h>

#include "gfx2d/image_codecs.h"
#include "gfx2d/texture_image.h"
#include "image_fixtures.h"

namespace {

using imagetest::rgba;

bool decodeAs(ImageFormat format, const std::string& bytes, DecodeTarget& target) {
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    switch (format) {
    case ImageFormat::Png: return decodePng(data, bytes.size(), {}, target);
    case ImageFormat::Bmp: return decodeBmp(data, bytes.size(), {}, target);
    case ImageFormat::Jpeg: return decodeJpeg(data, bytes.size(), {}, target);
    case ImageFormat::Unknown: break;
    }
    return false;
}

TEST(TextureImage, HoldsTheDecodedImageInItsTopLeftCorner) {
    DecodedImage source = imagetest::gradient(20, 5);
    source.at(3, 2) = rgba(1, 2, 3, 0);
    std::vector<uint8_t> png, bmp, jpeg;
    ASSERT_TRUE(encodePng(source, png));
    ASSERT_TRUE(encodeBmp(source, bmp));
    ASSERT_TRUE(encodeJpeg(source, 90, jpeg));
    imagetest::BmpSpec runs;
    runs.width = 33;
    runs.height = 17;
    runs.bitsPerPixel = 8;
    runs.palette = {0x102030, 0x405060};
    runs.runLength = std::string("\x21\x01\x00\x00", 4) + std::string("\x10\x00\x00\x01", 4);
    const struct {
        ImageFormat format;
        std::string bytes;
        int32_t textureWidth, textureHeight;
    } cases[] = {{ImageFormat::Png, imagetest::asString(png), 32, 16},
                 {ImageFormat::Bmp, imagetest::asString(bmp), 32, 16},
                 {ImageFormat::Jpeg, imagetest::asString(jpeg), 32, 16},
                 {ImageFormat::Bmp, imagetest::bmpBytes(runs), 64, 32}};
    for (const auto& c : cases) {
        DecodedImage alone;
        TextureImage laidOut;
        ASSERT_TRUE(decodeAs(c.format, c.bytes, alone));
        ASSERT_TRUE(decodeAs(c.format, c.bytes, laidOut));
        ASSERT_EQ(laidOut.width(), alone.width);
        ASSERT_EQ(laidOut.height(), alone.height);
        EXPECT_EQ(laidOut.hasAlpha(), alone.hasAlpha);
        ASSERT_EQ(laidOut.textureWidth(), c.textureWidth);
        ASSERT_EQ(laidOut.textureHeight(), c.textureHeight);
        const uint32_t* texture = laidOut.texturePixels();
        for (int32_t y = 0; y < c.textureHeight; ++y)
            for (int32_t x = 0; x < c.textureWidth; ++x) {
                const uint32_t expected = x < alone.width && y < alone.height ? alone.at(x, y) : 0u;
                ASSERT_EQ(texture[static_cast<size_t>(y) * c.textureWidth + x], expected)
                    << static_cast<int>(c.format) << " at " << x << "," << y;
            }
    }
}

TEST(TextureImage, AFailedDecodeLeavesItEmpty) {
    std::vector<uint8_t> png;
    ASSERT_TRUE(encodePng(imagetest::gradient(4, 4), png));
    TextureImage image;
    ASSERT_TRUE(decodePng(png.data(), png.size(), {}, image));
    EXPECT_FALSE(decodePng(png.data(), png.size() - 20, {}, image));  // cut off after the allocation
    EXPECT_TRUE(image.empty());
    EXPECT_EQ(image.texturePixels(), nullptr);
    EXPECT_EQ(image.width(), 0);
    EXPECT_TRUE(image.view().empty());
}

}  // namespace
