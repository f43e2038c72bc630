// Preparing decoded images: the transparent colour, the colours behind
// transparent pixels, the normal map; the frame layout of a slot; the
// built-in font's image.
#include <gtest/gtest.h>

#include "gfx2d/builtin_font.h"
#include "gfx2d/decoded_image.h"
#include "gfx2d/sprite_slot.h"
#include "image_fixtures.h"

namespace {

using imagetest::rgba;

TEST(TransparentColour, OnlyTheExactColourLosesItsAlpha) {
    DecodedImage image = imagetest::solid(4, 1, rgba(255, 0, 128));
    image.at(1, 0) = rgba(255, 0, 127);
    image.at(2, 0) = rgba(255, 1, 128);
    image.at(3, 0) = rgba(255, 0, 128, 9);  // alpha is not compared
    applyTransparentColour(image, kTransparentColour);
    EXPECT_EQ(image.at(0, 0), rgba(255, 0, 128, 0));
    EXPECT_EQ(image.at(1, 0), rgba(255, 0, 127));
    EXPECT_EQ(image.at(2, 0), rgba(255, 1, 128));
    EXPECT_EQ(image.at(3, 0), rgba(255, 0, 128, 0));
}

TEST(TransparentPixelColours, TakeTheMeanOfOpaqueNeighbours) {
    DecodedImage image = imagetest::solid(3, 3, rgba(255, 0, 128, 0));
    image.at(0, 0) = rgba(100, 0, 0);
    image.at(2, 0) = rgba(0, 200, 0);
    image.at(0, 2) = rgba(0, 0, 50, 1);  // alpha above 0 counts as opaque
    fillTransparentPixelColours(image);
    EXPECT_EQ(image.at(1, 0), rgba(50, 100, 0, 0));
    EXPECT_EQ(image.at(1, 1), rgba(33, 66, 16, 0));
    EXPECT_EQ(image.at(2, 2), rgba(255, 0, 128, 0));  // no opaque neighbour: kept
    EXPECT_EQ(image.at(0, 0), rgba(100, 0, 0));       // opaque pixels untouched
}

TEST(TransparentPixelColours, EmptyImagesAreLeftAlone) {
    DecodedImage image;
    fillTransparentPixelColours(image);
    convertToNormalMap(image);
    EXPECT_TRUE(image.pixels.empty());
}

TEST(NormalMap, FlatImagesFaceTheViewer) {
    DecodedImage image = imagetest::solid(4, 4, rgba(90, 90, 90, 77));
    convertToNormalMap(image);
    for (uint32_t p : image.pixels) EXPECT_EQ(p, rgba(128, 128, 255, 77));
}

TEST(NormalMap, ASlopeTiltsTheNormalAgainstIt) {
    // Height rising to the right: the normal leans left (x below 128).
    DecodedImage image = imagetest::solid(8, 1, 0);
    for (int32_t x = 0; x < 8; ++x) image.at(x, 0) = rgba(x * 30, x * 30, x * 30);
    convertToNormalMap(image);
    uint32_t p = image.at(3, 0);
    EXPECT_LT(p & 0xFF, 128u);
    EXPECT_EQ((p >> 8) & 0xFF, 128u);
    EXPECT_GT((p >> 16) & 0xFF, 128u);
}

TEST(SpriteFrames, RunLeftToRightThenDown) {
    SpriteSlot s;
    s.width = 50;
    s.height = 33;
    s.setFrames(16, 16);
    EXPECT_EQ(s.frameColumns, 3);
    EXPECT_EQ(s.frameCount, 6);  // two full rows; the leftovers make no frame
    s.setFrames(7, 0);           // height 0: the image's
    EXPECT_EQ(s.frameHeight, 33);
    EXPECT_EQ(s.frameCount, 7);
    s.setFrames(51, 10);
    EXPECT_EQ(s.frameCount, 0);
    s.setFrames(0, 10);
    EXPECT_EQ(s.frameWidth, 0);
    EXPECT_EQ(s.frameCount, 0);
}

TEST(BuiltInFont, SixteenBySixteenCellsOfEight) {
    DecodedImage font = makeBuiltInFontImage();
    ASSERT_EQ(font.width, 128);
    ASSERT_EQ(font.height, 128);
    // "I": a bar of three on rows 0 and 6, the stem in column 2; cell of code
    // 73 is column 9, row 4, so its pixels start at (73, 32) with the glyph one in.
    const int32_t left = 9 * 8 + 1, top = 4 * 8;
    EXPECT_EQ(font.at(left + 1, top), 0xFFFFFFFFu);
    EXPECT_EQ(font.at(left + 3, top), 0xFFFFFFFFu);
    EXPECT_EQ(font.at(left + 0, top), 0u);
    EXPECT_EQ(font.at(left + 2, top + 3), 0xFFFFFFFFu);
    EXPECT_EQ(font.at(left + 1, top + 3), 0u);
    // The blank and the control codes are empty cells.
    for (int32_t code : {0, 10, 32, 127}) {
        int32_t count = 0;
        for (int32_t y = 0; y < 8; ++y)
            for (int32_t x = 0; x < 8; ++x) count += font.at(code % 16 * 8 + x, code / 16 * 8 + y) != 0;
        EXPECT_EQ(count, 0) << code;
    }
}

}  // namespace
