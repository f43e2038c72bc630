// The in-game frame on a real window (offscreen, software OpenGL): the play
// surface stretched inside the overscan margins without filtering, margins
// that stay black when a death reloads the level, and the darkness mask with
// its holes around the diver and the anglers.
#include <unistd.h>

#include "engine_harness.h"
#include "game/world/effects.h"
#include "game/world/game_sprites.h"
#include "gfx2d/gfx2d_commands.h"
#include "scripted_play.h"

namespace worldtest {
namespace {

constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kWhitePixel = 0xFFFFFFFFu;
constexpr uint32_t kWaterPixel = 0xFF004000u;      // the test's water picture, dark green
constexpr uint32_t kDarkWaterPixel = 0xFF200000u;  // 0x200000 read back as 0xAABBGGRR

// A sprite of width x height pixels (0xAABBGGRR) from a rule.
template <class Pixel>
void makeSprite(int32_t sprite, int32_t width, int32_t height, Pixel&& pixel) {
    RtArray<int> pixels;
    pixels.dim(width * height);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) pixels.at(y * width + x) = static_cast<int>(pixel(x, y));
    ASSERT_TRUE(PixelsToSprite(pixels, sprite, width, height)) << sprite;
}

class GameOnScreen : public PlayTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::startTestEngine(dir.path()));
        ASSERT_EQ(::chdir(dir.path().c_str()), 0);  // the start-up moved to the program's folder
        CreateScreen(kScreenPlay, kSpritePlaySurface, kPlayWidth, kPlayHeight);
        CreateScreen(kScreenDarkness, kSpriteDarkness, kPlayWidth, kPlayHeight);
        CreateScreen(kScreenMapPicture, kSpriteMapPicture, 320, 320);  // the level loader draws it
        SelectScreen(kScreenWindow);
        FillRect(0, 0, 640, 480, 0);
        // Tiny pictures: a tile sheet whose tile 1 is white and the rest
        // clear, and a water picture of one colour. The creatures' sprites
        // stay empty and draw nothing.
        makeSprite(kSpriteTiles, 24 * 16, 16, [](int32_t x, int32_t) { return x / 16 == 1 ? kWhitePixel : 0u; });
        makeSprite(kSpriteWater, 336, 272, [](int32_t, int32_t) { return kWaterPixel; });
    }
    static uint32_t px(int32_t x, int32_t y) { return testsupport::readFramePixel(x, y); }
};

TEST_F(GameOnScreen, ThePlaySurfaceFillsTheWindowInsideTheMarginsWithoutFiltering) {
    OVERSCAN_H = 50;
    OVERSCAN_V = 50;
    // One wall tile at cell (4, 2) in open water.
    start(1, {
                 "...........",
                 "...........",
                 "....#......",
                 ".P.......G.",
                 "...........",
             });
    frame();
    // 540 x 380 window pixels from (50, 50): 2.25 per surface pixel across,
    // 2.375 down. The tile covers surface x 64 to 79 and y 32 to 47.
    EXPECT_EQ(px(49, 100), kBlack) << "the left margin";
    EXPECT_EQ(px(50, 100), kWaterPixel);
    EXPECT_EQ(px(193, 140), kWaterPixel) << "no blend into the neighbours";
    EXPECT_EQ(px(194, 140), kWhitePixel);
    EXPECT_EQ(px(229, 140), kWhitePixel);
    EXPECT_EQ(px(230, 140), kWaterPixel);
    EXPECT_EQ(px(200, 125), kWaterPixel);
    EXPECT_EQ(px(200, 126), kWhitePixel);
    EXPECT_EQ(px(589, 429), kWaterPixel);
    EXPECT_EQ(px(590, 429), kBlack) << "the right margin";
    EXPECT_EQ(px(589, 430), kBlack) << "the bottom margin";
}

TEST_F(GameOnScreen, TheMarginsStayBlackAndTheReloadAfterADeathIsDrawnOnThePlaySurface) {
    OVERSCAN_H = 50;
    OVERSCAN_V = 50;
    start(1, {
                 "...........",
                 "...........",
                 ".P.......G.",
                 "...........",
             });
    SpawnPop(16, 32);
    // The level the death reloads has a wall along its top row.
    writeLevel(1, levelFromText({
                      "###########",
                      "...........",
                      ".P.......G.",
                      "...........",
                  }));
    // Whatever the window held before (a picture of another screen) is gone
    // from the margins in the next frame.
    SelectScreen(kScreenWindow);
    FillRect(0, 0, 640, 480, 0xFFFFFF);
    frame();
    EXPECT_EQ(px(5, 5), kBlack) << "a frame after a stale picture";
    EXPECT_EQ(px(60, 55), kWaterPixel);
    const int32_t reload = framesUntil([] { return POPS.d1 == 0; }, 40);
    ASSERT_GT(reload, 0) << "the pop never reloaded the level";
    EXPECT_EQ(px(5, 5), kBlack) << "the reload frame's margin";
    EXPECT_EQ(px(49, 49), kBlack);
    EXPECT_EQ(px(60, 55), kWhitePixel) << "the reloaded level's wall, drawn in its frame";
    frame();
    EXPECT_EQ(px(5, 5), kBlack) << "the frame after";
    EXPECT_EQ(px(60, 55), kWhitePixel);
}

TEST_F(GameOnScreen, ADarkLevelShowsItsWaterOnlyThroughTheHolesOfTheMask) {
    start(1, {
                 "################",
                 "#..............#",
                 "#.P............#",
                 "#..............#",
                 "#..............#",
                 "#..........A...#",
                 "#.............G#",
                 "################",
             });
    ASSERT_EQ(DARK_LEVEL, 1);
    frame();
    // The window shows the 240 x 160 surface scaled by 8/3 across and 3 down.
    auto window = [](int32_t sx, int32_t sy) { return px(sx * 8 / 3, sy * 3 + 1); };
    EXPECT_EQ(window(40, 40), kDarkWaterPixel) << "the diver's centre";
    EXPECT_EQ(window(40 + 27, 40), kDarkWaterPixel) << "inside the radius";
    EXPECT_EQ(window(40 + 31, 40), kBlack) << "outside it";
    EXPECT_EQ(window(11 * 16 + 8, 5 * 16 + 8), kDarkWaterPixel) << "the angler's light";
    EXPECT_EQ(window(120, 150), kBlack);
}

}  // namespace
}  // namespace worldtest
