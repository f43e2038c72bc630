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

TEST(TransparentPixelColours, FilledInPlaceAsIfJudgedFromAnUntouchedCopy) {
    // Random images, about half their pixels transparent: every transparent
    // pixel must come out as the mean of the opaque neighbours of the image
    // as it was before the fill.
    uint32_t state = 99;
    auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    const int32_t sizes[][2] = {{1, 1}, {1, 7}, {7, 1}, {2, 2}, {13, 9}, {40, 33}};
    for (const auto& size : sizes) {
        for (int round = 0; round < 20; ++round) {
            DecodedImage image = imagetest::solid(size[0], size[1], 0);
            for (uint32_t& p : image.pixels) p = (next() >> 8) | (next() % 2 ? 0xFF000000u : 0u);
            const DecodedImage before = image;
            fillTransparentPixelColours(image);
            for (int32_t y = 0; y < image.height; ++y) {
                for (int32_t x = 0; x < image.width; ++x) {
                    uint32_t expected = before.at(x, y), sums[3] = {0, 0, 0}, count = 0;
                    for (int32_t ny = y - 1; ny <= y + 1; ++ny)
                        for (int32_t nx = x - 1; nx <= x + 1; ++nx) {
                            if (nx < 0 || ny < 0 || nx >= image.width || ny >= image.height) continue;
                            const uint32_t n = before.at(nx, ny);
                            if ((n >> 24) == 0) continue;
                            for (int c = 0; c < 3; ++c) sums[c] += (n >> (8 * c)) & 0xFF;
                            ++count;
                        }
                    if ((expected >> 24) == 0 && count > 0)
                        expected = sums[0] / count | (sums[1] / count) << 8 | (sums[2] / count) << 16;
                    ASSERT_EQ(image.at(x, y), expected) << size[0] << "x" << size[1] << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(PixelViews, PreparationsKeepToTheirRowsAndMatchWholeImages) {
    // A 5 x 3 image standing in a buffer 8 pixels wide and 4 high: each
    // preparation gives the same pixels as on the image alone, and touches
    // nothing outside it.
    constexpr uint32_t kOutside = 0x5A5A5A5Au;
    using Prepare = void (*)(const PixelView&);
    const Prepare steps[] = {[](const PixelView& v) { applyTransparentColour(v, kTransparentColour); },
                             fillTransparentPixelColours, convertToNormalMap};
    DecodedImage alone = imagetest::gradient(5, 3);
    alone.at(1, 1) = rgba(255, 0, 128);
    alone.at(4, 2) = rgba(255, 0, 128);
    std::vector<uint32_t> buffer(8 * 4, kOutside);
    const PixelView view{buffer.data(), 5, 3, 8};
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 5; ++x) view.row(y)[x] = alone.at(x, y);
    for (Prepare step : steps) {
        step(alone.view());
        step(view);
        for (int32_t y = 0; y < 4; ++y)
            for (int32_t x = 0; x < 8; ++x) {
                const uint32_t expected = x < 5 && y < 3 ? alone.at(x, y) : kOutside;
                ASSERT_EQ(buffer[static_cast<size_t>(y) * 8 + x], expected) << x << "," << y;
            }
    }
    EXPECT_EQ(alone.at(1, 1) >> 24, 0u);  // the colour did make it transparent
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
