// Sprites, animation frames, rectangles, lines and polygons drawn on real
// OpenGL and read back pixel by pixel.
#include "gl_fixture.h"

namespace {

using namespace gltest;

// A sheet of 3 x 2 frames of 4 x 4, frame n filled with colour n.
DecodedImage frameSheet() {
    DecodedImage sheet = imagetest::solid(12, 8, 0);
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 12; ++x) sheet.at(x, y) = rgba(40 * (x / 4 + 3 * (y / 4)) + 20, 0, 255);
    return sheet;
}

TEST_F(Gfx2D, ASpriteLandsPixelExactAtItsPosition) {
    DecodedImage image = imagetest::gradient(5, 3);
    put(7, image);
    DrawSprite(7, 10, 20);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(px(10 + x, 20 + y), image.at(x, y)) << x << "," << y;
    EXPECT_EQ(px(9, 20), kBlack);
    EXPECT_EQ(px(15, 20), kBlack);
    EXPECT_EQ(px(10, 23), kBlack);
}

TEST_F(Gfx2D, AnimationFramesRunLeftToRightThenDown) {
    put(3, frameSheet());
    g->setFrameSize(3, 4, 4);
    DrawAnimFrame(3, 4, 30, 10);  // column 1, row 1
    EXPECT_EQ(px(30, 10), rgba(180, 0, 255));
    EXPECT_EQ(px(33, 13), rgba(180, 0, 255));
    EXPECT_EQ(px(34, 10), kBlack);
    EXPECT_EQ(px(30, 14), kBlack);
    DrawAnimFrame(3, 0, 0, 0);
    EXPECT_EQ(px(0, 0), rgba(20, 0, 255));
    DrawAnimFrame(3, 2, 0, 40);
    EXPECT_EQ(px(3, 43), rgba(100, 0, 255));
}

TEST_F(Gfx2D, FramesOutsideTheSheetAndSpritesWithoutFramesDrawNothing) {
    put(3, frameSheet());
    DrawAnimFrame(3, 0, 0, 0);  // no frame size set
    g->setFrameSize(3, 4, 4);
    DrawAnimFrame(3, 6, 10, 0);
    DrawAnimFrame(3, -1, 20, 0);
    DrawAnimFrame(99, 0, 30, 0);      // empty slot
    DrawAnimFrame(70000, 0, 40, 0);   // no such slot
    DrawSprite(-5, 50, 0);
    for (int32_t x = 0; x < 96; ++x) EXPECT_EQ(px(x, 1), kBlack) << x;
}

TEST_F(Gfx2D, TheTransparentColourIsNeverDrawnAlsoWithBlendingOff) {
    DecodedImage image = imagetest::solid(2, 1, rgba(255, 0, 128));
    image.at(1, 0) = rgba(0, 0, 255);
    writePng("keyed.png", image);
    LoadSpriteFile(RtString(file("keyed.png").c_str()), 4);
    ASSERT_EQ(RtErrorCode, 0);
    FillRect(0, 0, 96, 64, kGreenBgr);
    DrawSprite(4, 0, 0);
    SetAlphaMode(0);
    DrawSprite(4, 10, 0);
    SetAlphaMode(1);
    DrawSprite(4, 20, 0);
    for (int32_t x : {0, 10, 20}) EXPECT_EQ(px(x, 0), kGreen) << x;
    EXPECT_EQ(px(1, 0), kBlue);
    EXPECT_EQ(px(11, 0), kBlue);
    EXPECT_EQ(px(21, 0), 0xFFFFFF00u);  // additive blue on green
}

TEST_F(Gfx2D, AlphaModesNormalAdditiveAndOff) {
    put(1, imagetest::solid(4, 4, rgba(255, 255, 255)));
    DecodedImage half = imagetest::solid(4, 4, rgba(255, 255, 255, 128));
    put(2, half);
    FillRect(0, 0, 96, 64, 0x003264);  // red 100, green 50
    SetAlphaMode(-0.5);
    DrawSprite(1, 0, 0);
    EXPECT_TRUE(near(px(0, 0), rgba(178, 153, 128), 1));
    SetAlphaMode(0.5);
    DrawSprite(1, 10, 0);
    EXPECT_TRUE(near(px(10, 0), rgba(228, 178, 128), 1));
    SetAlphaMode(-7);  // opacity 1 at most
    DrawSprite(1, 20, 0);
    EXPECT_EQ(px(20, 0), kWhite);
    SetAlphaMode(0);  // blending off: the half-transparent sprite replaces
    DrawSprite(2, 30, 0);
    EXPECT_EQ(px(30, 0) & 0x00FFFFFF, 0x00FFFFFFu);
    SetAlphaMode(-1);  // normal: it mixes
    DrawSprite(2, 40, 0);
    EXPECT_TRUE(near(px(40, 0), rgba(178, 153, 128), 1));
    SetAlphaMode(-0.5);
    FillRect(50, 0, 4, 4, 0xFFFFFF);  // rectangles take the opacity too
    EXPECT_TRUE(near(px(50, 0), rgba(178, 153, 128), 1));
}

TEST_F(Gfx2D, NearestAndLinearFilteringOnAStretchedQuad) {
    DecodedImage two = imagetest::solid(2, 1, rgba(0, 0, 0));
    two.at(1, 0) = rgba(255, 255, 255);
    put(5, two);
    SetSmoothing(0);
    DrawSpriteScaled(5, 39, 10, 32, 4);  // 64 x 4 around the centre (40, 10.5)
    int hard = 0;
    for (int32_t x = 8; x < 72; ++x) {
        uint32_t red = px(x, 10) & 0xFF;
        EXPECT_TRUE(red == 0 || red == 255) << x;
        hard += red == 255;
    }
    EXPECT_EQ(hard, 32);
    SetSmoothing(1);
    DrawSpriteScaled(5, 39, 40, 32, 4);
    int between = 0;
    uint32_t previous = 0;
    for (int32_t x = 24; x < 56; ++x) {
        uint32_t red = px(x, 40) & 0xFF;
        between += red > 10 && red < 245;
        EXPECT_GE(red, previous) << x;  // a ramp across the middle
        previous = red;
    }
    EXPECT_GT(between, 16);
}

TEST_F(Gfx2D, RectanglesAndLines) {
    FillRect(3, 4, 5, 2, kRedBgr);
    EXPECT_EQ(px(3, 4), kRed);
    EXPECT_EQ(px(7, 5), kRed);
    EXPECT_EQ(px(8, 5), kBlack);
    EXPECT_EQ(px(3, 6), kBlack);
    DrawLine(10, 30, 80, 30, 0xFFFFFF);
    EXPECT_EQ(px(10, 30), kWhite);
    EXPECT_EQ(px(79, 30), kWhite);
    EXPECT_EQ(px(10, 29), kBlack);
    EXPECT_EQ(px(10, 31), kBlack);
    DrawLine(50, 40, 50, 50, kGreenBgr);
    EXPECT_EQ(px(50, 45), kGreen);
}

TEST_F(Gfx2D, RectanglesAndLinesReachingFarOutsideStillCoverTheTarget) {
    struct Case {
        const char* what;
        void (*draw)();
        int32_t drawn[2][2];   // two pixels drawn, {-1, -1} for none
        int32_t blank[2];      // a pixel left black
    };
    const Case cases[] = {
        {"rect about the window", [] { FillRect(-1e9, -1e9, 2e9, 2e9, kRedBgr); }, {{0, 0}, {95, 63}}, {-1, -1}},
        {"rect of negative size", [] { FillRect(40, 30, -1e9, -1e9, kRedBgr); }, {{0, 0}, {39, 29}}, {40, 30}},
        {"rect to the right", [] { FillRect(10, 10, 1e12, 5, kRedBgr); }, {{10, 10}, {95, 14}}, {9, 10}},
        {"row", [] { DrawLine(-1e9, 5, 1e9, 5, kRedBgr); }, {{0, 5}, {95, 5}}, {0, 6}},
        {"column", [] { DrawLine(20, 1e9, 20, -1e9, kRedBgr); }, {{20, 0}, {20, 63}}, {21, 10}},
        {"from inside", [] { DrawLine(30, 40, 30, 1e10, kRedBgr); }, {{30, 40}, {30, 63}}, {30, 39}},
        {"diagonal", [] { DrawLine(-1e9, -1e9 - 64, 1e9, 1e9 - 64, kRedBgr); }, {{70, 6}, {95, 31}}, {70, 7}},
        {"wholly outside", [] { DrawLine(-1e9, -5, 1e9, -5, kRedBgr); }, {{-1, -1}, {-1, -1}}, {0, 0}},
    };
    for (const Case& c : cases) {
        g->clear(0);
        c.draw();
        for (const auto& p : c.drawn) {
            if (p[0] >= 0) {
                EXPECT_EQ(px(p[0], p[1]), kRed) << c.what << " " << p[0] << "," << p[1];
            }
        }
        if (c.blank[0] >= 0) {
            EXPECT_EQ(px(c.blank[0], c.blank[1]), kBlack) << c.what;
        }
    }
}

TEST_F(Gfx2D, ScaledSpritesKeepTheirCentre) {
    put(6, imagetest::solid(4, 4, rgba(255, 0, 0)));
    SetSmoothing(0);  // linear filtering would fade the edge pixels into the texture's padding
    DrawSpriteScaled(6, 20, 20, 2, 2);  // centre (22, 22): 18 to 25
    EXPECT_EQ(px(18, 18), kRed);
    EXPECT_EQ(px(25, 25), kRed);
    EXPECT_EQ(px(17, 22), kBlack);
    EXPECT_EQ(px(26, 22), kBlack);
}

TEST_F(Gfx2D, RotatedFramesTurnClockwiseAboutTheirCentre) {
    DecodedImage frame = imagetest::solid(8, 8, rgba(0, 0, 255));
    for (int32_t y = 0; y < 8; ++y) frame.at(0, y) = frame.at(1, y) = rgba(255, 0, 0);  // left edge red
    put(8, frame);
    g->setFrameSize(8, 8, 8);
    SetSmoothing(0);
    DrawAnimFrameRotatedScaled(8, 0, 40, 20, 90, 2);  // 16 x 16 about (44, 24), left edge now at the top
    EXPECT_EQ(px(44, 17), kRed);
    EXPECT_EQ(px(44, 20), kBlue);
    EXPECT_EQ(px(37, 24), kBlue);
    EXPECT_EQ(px(44, 15), kBlack);
    EXPECT_EQ(px(51, 31), kBlue);
    EXPECT_EQ(px(52, 24), kBlack);
}

TEST_F(Gfx2D, PolygonStripsBreakAtNewPolygonStrip) {
    auto quad = [](double left) {
        AddPolygonVertex(left, 10, 0, 0, kRedBgr);
        AddPolygonVertex(left, 20, 0, 0, kRedBgr);
        AddPolygonVertex(left + 10, 10, 0, 0, kRedBgr);
        AddPolygonVertex(left + 10, 20, 0, 0, kRedBgr);
    };
    BeginPolygon(-1, 2);
    quad(0);
    NewPolygonStrip();
    quad(40);
    EndPolygon();
    EXPECT_EQ(px(5, 15), kRed);
    EXPECT_EQ(px(45, 15), kRed);
    EXPECT_EQ(px(25, 15), kBlack);  // the gap stays empty
    BeginPolygon(-1, 2);
    quad(0);
    quad(40);  // one strip: the quads are joined
    EndPolygon();
    EXPECT_EQ(px(25, 15), kRed);
}

TEST_F(Gfx2D, AQuadPolygonMapsSpritePixelsAndTints) {
    DecodedImage image = imagetest::gradient(4, 4);
    put(9, image);
    SetSmoothing(0);
    BeginPolygon(9, 0);
    AddPolygonVertex(0, 0, 0, 0, 0xFFFFFF);  // 8 x 8 from the 4 x 4 sprite, in order around
    AddPolygonVertex(8, 0, 4, 0, 0xFFFFFF);
    AddPolygonVertex(8, 8, 4, 4, 0xFFFFFF);
    AddPolygonVertex(0, 8, 0, 4, 0xFFFFFF);
    AddPolygonVertex(0, 0, 0, 0, 0xFFFFFF);  // an incomplete quad is dropped
    EndPolygon();
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(px(2 * x + 1, 2 * y + 1), image.at(x, y)) << x << "," << y;
    put(10, imagetest::solid(2, 2, rgba(255, 255, 255)));
    BeginPolygon(10, 0);
    AddPolygonVertex(20, 0, 0, 0, kBlueBgr);
    AddPolygonVertex(30, 0, 2, 0, kBlueBgr);
    AddPolygonVertex(30, 10, 2, 2, kBlueBgr);
    AddPolygonVertex(20, 10, 0, 2, kBlueBgr);
    EndPolygon();
    EXPECT_EQ(px(25, 5), kBlue);
    EXPECT_EQ(px(31, 5), kBlack);
}

TEST_F(Gfx2D, VerticesOutsideABatchAreIgnored) {
    AddPolygonVertex(0, 0, 0, 0, kRedBgr);
    NewPolygonStrip();
    EndPolygon();
    EXPECT_EQ(px(0, 0), kBlack);
}

TEST_F(Gfx2D, QuadsOfOneSpriteAndStateGoOutInOneDrawCall) {
    put(3, frameSheet());
    g->setFrameSize(3, 4, 4);
    g->flushBatch();
    uint64_t before = g->batch.drawCalls();
    for (int i = 0; i < 1000; ++i) DrawAnimFrame(3, i % 6, i % 90, (i / 90) * 4);
    g->flushBatch();
    EXPECT_EQ(g->batch.drawCalls() - before, 1u);
    // A change of state flushes in order: the later sprite covers the rectangle.
    put(1, imagetest::solid(4, 4, rgba(255, 255, 255)));
    DrawSprite(1, 60, 50);
    FillRect(60, 50, 8, 8, kRedBgr);
    DrawSprite(1, 60, 50);
    EXPECT_EQ(px(60, 50), kWhite);
    EXPECT_EQ(px(65, 50), kRed);
}

}  // namespace
