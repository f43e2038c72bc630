// Text: the built-in font, font files, kerning and the font commands.
#include "gl_fixture.h"

namespace {

using namespace gltest;

// Lit pixels of the 8 x 8 cell at (x, y) of the window.
int litIn(int32_t x, int32_t y) {
    int lit = 0;
    for (uint32_t p : testsupport::readFramePixels(x, y, 8, 8)) lit += (p & 0xFF) > 128;
    return lit;
}

TEST_F(Gfx2D, TheBuiltInFontPrintsUntilAFontIsLoaded) {
    PrintText(RtString("I"), 4, 6, 0);
    // The capital I: a bar of three at the top and bottom, a stem between.
    EXPECT_EQ(px(4 + 2, 6), kWhite);
    EXPECT_EQ(px(4 + 4, 6), kWhite);
    EXPECT_EQ(px(4 + 3, 9), kWhite);
    EXPECT_EQ(px(4 + 2, 9), kBlack);
    EXPECT_EQ(px(4 + 3, 12), kWhite);  // seven rows
    EXPECT_EQ(px(4 + 3, 13), kBlack);
}

TEST_F(Gfx2D, KerningWidensTheAdvance) {
    PrintText(RtString("II"), 0, 20, 3);  // second character at 8 + 3
    EXPECT_EQ(px(3, 23), kWhite);
    EXPECT_EQ(px(11 + 3, 23), kWhite);
    EXPECT_EQ(px(8 + 3, 23), kBlack);
    PrintText(RtString("I I"), 0, 40, -2);  // third character at 2 x 6
    EXPECT_EQ(px(12 + 3, 43), kWhite);
    EXPECT_EQ(litIn(6, 40), 0);  // the blank draws nothing
    EXPECT_GT(litIn(0, 40), 8);
}

TEST_F(Gfx2D, AFontFileOfSixteenBySixteenCells) {
    // 64 x 64: cells of 4 x 4; the cell of "A" (65: column 1, row 4) is solid green.
    DecodedImage font = imagetest::solid(64, 64, 0);
    for (int32_t y = 16; y < 20; ++y)
        for (int32_t x = 4; x < 8; ++x) font.at(x, y) = kGreen;
    writePng("font.png", font);
    LoadFontFile(RtString(file("font.png").c_str()), 3);
    ASSERT_EQ(RtErrorCode, 0);
    EXPECT_EQ(g->sprites[kFirstFontSprite + 3].frameWidth, 4);
    SetFont(3);
    PrintText(RtString("AxA"), 10, 10, 1);  // advance 5
    EXPECT_EQ(px(10, 10), kGreen);
    EXPECT_EQ(px(13, 13), kGreen);
    EXPECT_EQ(px(15, 10), kBlack);
    EXPECT_EQ(px(20, 10), kGreen);
    SetFont(32);  // ignored
    EXPECT_EQ(g->currentFont, 3);
}

TEST_F(Gfx2D, AFailedFontFileLeavesTheBuiltInFont) {
    LoadFontFile(RtString(file("nofont.png").c_str()), 2);
    EXPECT_EQ(RtErrorCode, 3);
    writePng("tiny.png", imagetest::solid(8, 8, kGreen));  // below one pixel a cell
    clearErrorCode();
    LoadFontFile(RtString(file("tiny.png").c_str()), 2);
    EXPECT_EQ(RtErrorCode, 3);
    EXPECT_FALSE(g->sprites[kFirstFontSprite + 2].holdsImage());
    SetFont(2);
    PrintText(RtString("I"), 0, 0, 0);
    EXPECT_EQ(px(3, 3), kWhite);
    for (int font : {-1, 32}) {
        clearErrorCode();
        LoadFontFile(RtString(file("tiny.png").c_str()), font);
        EXPECT_EQ(RtErrorCode, 7) << font;
    }
}

TEST_F(Gfx2D, TextIsPrintedOnScreensToo) {
    CreateScreen(1, 500, 32, 16);
    SelectScreen(1);
    PrintText(RtString("I"), 0, 0, 0);
    SelectScreen(-1);
    DecodedImage pixels = pixelsOf(500);
    EXPECT_EQ(pixels.at(2, 0), kWhite);  // top row of the glyph on the screen's top row
    EXPECT_EQ(pixels.at(3, 6), kWhite);
    EXPECT_EQ(pixels.at(3, 7) >> 24, 0u);
}

}  // namespace
