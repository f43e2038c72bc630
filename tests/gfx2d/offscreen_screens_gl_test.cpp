// Offscreen screens: drawing into sprites through framebuffer objects, their
// orientation when drawn back, transparent holes, and the viewport of each
// target.
#include "gl_fixture.h"
#include "runtime/services/display_services.h"

namespace {

using namespace gltest;

TEST_F(Gfx2D, AScreenDrawnIntoTheWindowKeepsItsTopRowOnTop) {
    CreateScreen(1, 500, 40, 30);
    ASSERT_EQ(RtErrorCode, 0);
    SelectScreen(1);
    EXPECT_EQ(g->currentScreen, 1);
    double w = 0, h = 0;
    GetScreenSize(w, h);
    EXPECT_EQ(w, 40.0);
    EXPECT_EQ(h, 30.0);
    FillRect(0, 0, 40, 10, kRedBgr);
    FillRect(0, 10, 40, 20, kBlueBgr);
    SelectScreen(-1);
    int wi = 0, hi = 0;
    GetScreenSizeInt(wi, hi);
    EXPECT_EQ(wi, 96);
    EXPECT_EQ(hi, 64);
    DrawSprite(500, 5, 6);
    EXPECT_EQ(px(5, 6), kRed);
    EXPECT_EQ(px(44, 15), kRed);
    EXPECT_EQ(px(5, 16), kBlue);
    EXPECT_EQ(px(44, 35), kBlue);
    EXPECT_EQ(px(45, 20), kBlack);
    EXPECT_EQ(px(5, 36), kBlack);
    DecodedImage pixels = pixelsOf(500);
    ASSERT_EQ(pixels.width, 40);
    EXPECT_EQ(pixels.at(0, 0), kRed);
    EXPECT_EQ(pixels.at(39, 29), kBlue);
}

TEST_F(Gfx2D, APlaySurfaceStretchedByAPolygonAsTheGameShowsIt) {
    CreateScreen(1, 500, 24, 16);
    SelectScreen(1);
    FillRect(0, 0, 12, 16, kGreenBgr);
    FillRect(12, 0, 12, 16, kRedBgr);
    SelectScreen(-1);
    SetSmoothing(0);
    BeginPolygon(500, 0);
    AddPolygonVertex(0, 0, 0, 0, 0xFFFFFF);
    AddPolygonVertex(0, 64, 0, 16, 0xFFFFFF);
    AddPolygonVertex(96, 64, 24, 16, 0xFFFFFF);
    AddPolygonVertex(96, 0, 24, 0, 0xFFFFFF);
    EndPolygon();
    EXPECT_EQ(px(0, 0), kGreen);
    EXPECT_EQ(px(47, 63), kGreen);
    EXPECT_EQ(px(48, 0), kRed);
    EXPECT_EQ(px(95, 63), kRed);
}

TEST_F(Gfx2D, ANewScreenIsTransparent) {
    FillRect(0, 0, 96, 64, kGreenBgr);
    CreateScreen(2, 600, 16, 16);
    DrawSprite(600, 0, 0);
    EXPECT_EQ(px(8, 8), kGreen);
    EXPECT_EQ(pixelsOf(600).at(3, 3), 0u);
}

TEST_F(Gfx2D, TheTransparentColourCutsHolesInAScreen) {
    // The darkness mask: black with a hole, laid over the window.
    CreateScreen(5, 900, 40, 40);
    FillRect(0, 0, 96, 64, kGreenBgr);
    SetAlphaMode(0);
    SelectScreen(5);
    FillRect(0, 0, 40, 40, 0);
    FillRect(10, 10, 8, 4, 0x8000FF);
    SelectScreen(-1);
    SetAlphaMode(-1);
    DrawSprite(900, 0, 0);
    EXPECT_EQ(px(0, 0), kBlack);
    EXPECT_EQ(px(10, 10), kGreen);
    EXPECT_EQ(px(17, 13), kGreen);
    EXPECT_EQ(px(18, 13), kBlack);
    EXPECT_EQ(px(10, 14), kBlack);
    EXPECT_EQ(pixelsOf(900).at(12, 12) >> 24, 0u);
    // In every alpha mode the hole is cut the same way.
    SelectScreen(5);
    SetAlphaMode(-0.3);
    FillRect(30, 30, 2, 2, 0x8000FF);
    EXPECT_EQ(pixelsOf(900).at(30, 30) >> 24, 0u);
}

TEST_F(Gfx2D, DrawingKeepsOpaqueSurfacesOpaque) {
    CreateScreen(1, 500, 16, 16);
    put(1, imagetest::solid(4, 4, rgba(255, 255, 255, 100)));
    SelectScreen(1);
    SetAlphaMode(0);
    FillRect(0, 0, 16, 16, kBlueBgr);
    SetAlphaMode(-0.5);
    DrawSprite(1, 0, 0);
    FillRect(8, 8, 4, 4, kRedBgr);
    SetAlphaMode(0.5);
    DrawSprite(1, 4, 4);
    DecodedImage pixels = pixelsOf(500);
    for (uint32_t p : pixels.pixels) EXPECT_EQ(p >> 24, 255u);
    EXPECT_TRUE(near(pixels.at(0, 0), rgba(50, 50, 255), 2));  // white at 100/255 x 0.5 over blue
}

TEST_F(Gfx2D, EachTargetKeepsItsOwnViewport) {
    SetViewport(10, 20, 30, 20);
    CreateScreen(3, 700, 50, 40);
    SelectScreen(3);
    int32_t v[4];
    g->copyViewport(v);
    EXPECT_EQ(v[0], 0);
    EXPECT_EQ(v[2], 50);
    EXPECT_EQ(v[3], 40);
    SelectScreen(-1);
    g->copyViewport(v);
    EXPECT_EQ(v[0], 10);
    EXPECT_EQ(v[1], 20);
    EXPECT_EQ(v[2], 30);
    FillRect(0, 0, 5, 5, kRedBgr);
    EXPECT_EQ(px(10, 20), kRed);
}

TEST_F(Gfx2D, TheFrameEndReturnsToTheWindow) {
    CreateScreen(1, 500, 16, 16);
    SelectScreen(1);
    FillRect(0, 0, 16, 16, kRedBgr);
    testsupport::runFrames(1);
    EXPECT_EQ(g->currentScreen, -1);
    EXPECT_EQ(pixelsOf(500).at(0, 0), kRed);  // the queue was drawn before the flip
}

TEST_F(Gfx2D, BadScreensRecordErrorSevenAndChangeNothing) {
    for (auto args : {std::array<int, 4>{256, 1, 8, 8}, {-1, 1, 8, 8}, {1, 65536, 8, 8}, {1, -1, 8, 8},
                      {1, 1, 0, 8}, {1, 1, 8, -3}, {1, 1, 1 << 20, 8}}) {
        clearErrorCode();
        CreateScreen(args[0], args[1], args[2], args[3]);
        EXPECT_EQ(RtErrorCode, 7) << args[0] << " " << args[1] << " " << args[2] << " " << args[3];
    }
    EXPECT_FALSE(g->sprites[1].holdsImage());
    SelectScreen(9);  // never made: still the window
    EXPECT_EQ(g->currentScreen, -1);
    SelectScreen(300);
    EXPECT_EQ(g->currentScreen, -1);
}

TEST_F(Gfx2D, ReusingASpriteOrScreenReleasesTheOldOne) {
    CreateScreen(1, 500, 16, 16);
    CreateScreen(2, 500, 8, 8);  // sprite 500 moves to screen 2
    EXPECT_EQ(g->screens[1].sprite, -1);
    EXPECT_EQ(g->screens[2].sprite, 500);
    EXPECT_EQ(g->sprites[500].screen, 2);
    SelectScreen(2);
    CreateScreen(2, 501, 20, 10);  // the selected screen is made anew and stays selected
    EXPECT_EQ(g->currentScreen, 2);
    EXPECT_TRUE(g->sprites[500].holdsImage());  // keeps what was drawn, as a plain sprite
    EXPECT_EQ(g->sprites[500].screen, -1);
    int w = 0, h = 0;
    GetScreenSizeInt(w, h);
    EXPECT_EQ(w, 20);
    EXPECT_EQ(h, 10);
    LoadSpriteFile(RtString(file("none.png").c_str()), 501);  // the sprite goes, and the screen with it
    EXPECT_EQ(g->currentScreen, -1);
    EXPECT_EQ(g->screens[2].sprite, -1);
}

}  // namespace

namespace {

using namespace gltest;

TEST_F(Gfx2D, TheHostScreenSizeIsTheDesktopsUntilTheHostReportsAnother) {
    int w = -1, h = -1;
    GetHostScreenSize(w, h);
    EXPECT_EQ(w, hostScreenWidth);
    EXPECT_EQ(h, hostScreenHeight);
    EXPECT_GT(w, 0);
    notifyScreenSize(320, 200);
    GetHostScreenSize(w, h);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 200);
}

}  // namespace
