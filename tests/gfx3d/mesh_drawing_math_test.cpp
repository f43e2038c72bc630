// The arithmetic of mesh drawing: which two frames a draw blends with which
// factor, and the size and texels of a cel-shading texture.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "gfx3d/mesh_drawing.h"

namespace {

TEST(PickFrames, AnimatedHalfWayDrawsTheMiddleFrameExactly) {
    FramePick p = pickFrames(0, 4, 0.5f, 1, 10);
    EXPECT_EQ(p.second, 2);
    EXPECT_EQ(p.first, 3);
    EXPECT_EQ(p.blend, 1.0f);
}

TEST(PickFrames, AnimatedBetweenFrames) {
    FramePick p = pickFrames(0, 4, 0.3f, 1, 10);  // position 1.2
    EXPECT_EQ(p.second, 1);
    EXPECT_EQ(p.first, 2);
    EXPECT_NEAR(p.blend, 0.8f, 1e-5f);  // 1.2 = 2 + (1 - 2) x 0.8
    FramePick down = pickFrames(4, 0, 0.3f, 1, 10);  // position 2.8
    EXPECT_EQ(down.first, 2);
    EXPECT_EQ(down.second, 3);
    EXPECT_NEAR(down.blend, 0.8f, 1e-5f);
    FramePick same = pickFrames(3, 3, 0.7f, 1, 10);
    EXPECT_EQ(same.first, 3);
    EXPECT_EQ(same.second, 3);
    EXPECT_EQ(same.blend, 0.0f);
}

TEST(PickFrames, BlendOutsideZeroToOneIsFolded) {
    FramePick over = pickFrames(0, 4, 1.5f, 1, 10);
    FramePick half = pickFrames(0, 4, 0.5f, 1, 10);
    EXPECT_EQ(over.first, half.first);
    EXPECT_EQ(over.second, half.second);
    EXPECT_EQ(over.blend, half.blend);
    FramePick negative = pickFrames(0, 4, -0.25f, 1, 10);
    FramePick quarter = pickFrames(0, 4, 0.25f, 1, 10);
    EXPECT_EQ(negative.second, quarter.second);
    EXPECT_EQ(negative.blend, quarter.blend);
}

TEST(PickFrames, NotAnimatedTakesTheFramesAsGiven) {
    FramePick p = pickFrames(1, 3, 0.25f, 0, 10);
    EXPECT_EQ(p.first, 1);
    EXPECT_EQ(p.second, 3);
    EXPECT_EQ(p.blend, 0.25f);
}

TEST(PickFrames, FramesAreHeldInsideTheMesh) {
    FramePick p = pickFrames(-3, 99, 0.0f, 0, 5);
    EXPECT_EQ(p.first, 0);
    EXPECT_EQ(p.second, 4);
    FramePick animated = pickFrames(0, 40, 0.9f, 1, 5);
    EXPECT_EQ(animated.first, 4);
    EXPECT_EQ(animated.second, 4);
}

TEST(PickFrames, ExtremeFrameNumbersAndBlendsStayInsideTheMesh) {
    FramePick wide = pickFrames(INT32_MIN, INT32_MAX, 0.5f, 1, 5);  // position -0.5
    EXPECT_EQ(wide.first, 1);
    EXPECT_EQ(wide.second, 0);
    FramePick last = pickFrames(0, INT32_MAX, 1.0f, 1, 5);
    EXPECT_EQ(last.first, 4);
    EXPECT_EQ(last.second, 4);
    for (float t : {NAN, INFINITY, -INFINITY}) {
        FramePick p = pickFrames(1, 3, t, 1, 5);
        EXPECT_EQ(p.second, 1);  // folded to blend 0: position 1
        EXPECT_EQ(p.first, 2);
        EXPECT_EQ(p.blend, 1.0f);
    }
}

TEST(ShadeTexture, Sizes) {
    EXPECT_EQ(shadeTextureHeight(0), 1u);
    EXPECT_EQ(shadeTextureHeight(3), 4u);
    EXPECT_EQ(shadeTextureHeight(4), 4u);
    EXPECT_EQ(shadeTextureHeight(5), 8u);
    EXPECT_EQ(shadeTextureHeight(16384), 16384u);
    EXPECT_EQ(shadeTextureHeight(16385), 16385u);
    EXPECT_EQ(shadeTextureWidth(0), 64u);
    EXPECT_EQ(shadeTextureWidth(16), 64u);
    EXPECT_EQ(shadeTextureWidth(17), 128u);
    EXPECT_EQ(shadeTextureWidth(64), 256u);
    EXPECT_EQ(shadeTextureWidth(100), 512u);
    EXPECT_EQ(shadeTextureWidth(100000), 512u);
}

TEST(ShadeTexture, TexelsDarkenThePaletteAlongTheRamp) {
    RtVector<uint32_t> palette;
    palette.append(0x000000FFu);  // red
    palette.append(0x0000FF00u);  // green
    palette.append(0xFFFFFFFEu);  // a marker colour: grey
    RtVector<uint8_t> table;
    for (uint8_t b : {51, 255}) table.append(b);
    const uint32_t w = shadeTextureWidth(table.count), h = shadeTextureHeight(palette.count);
    ASSERT_EQ(w, 64u);
    ASSERT_EQ(h, 4u);
    std::vector<uint8_t> texels(w * h * 4);
    fillShadeTexels(palette, table, w, h, false, texels.data());
    auto texel = [&](uint32_t x, uint32_t y) { return &texels[(y * w + x) * 4]; };
    EXPECT_EQ(texel(0, 0)[0], 51);  // 255 x 51 / 255
    EXPECT_EQ(texel(0, 0)[1], 0);
    EXPECT_EQ(texel(63, 0)[0], 255);
    EXPECT_EQ(texel(40, 1)[1], 255);
    EXPECT_EQ(texel(0, 2)[0], 51);  // grey
    EXPECT_EQ(texel(0, 2)[2], 51);
    EXPECT_EQ(texel(10, 3)[0], texel(10, 0)[0]);  // past the palette: colour 0 again
    EXPECT_EQ(texel(10, 3)[3], 255);
    fillShadeTexels(palette, table, w, h, true, texels.data());
    EXPECT_EQ(texel(63, 0)[2], 255);  // BGRA order: red in the third byte
    EXPECT_EQ(texel(63, 0)[0], 0);
}

TEST(ShadeTexture, EmptyPaletteShadesGrey) {
    RtVector<uint32_t> palette;
    RtVector<uint8_t> table;
    table.append(128);
    std::vector<uint8_t> texels(64 * 4);
    fillShadeTexels(palette, table, 64, 1, false, texels.data());
    EXPECT_EQ(texels[0], 128);
    EXPECT_EQ(texels[1], 128);
    EXPECT_EQ(texels[2], 128);
}

}  // namespace
