// What the drawing routines put on the screen, read back from a real frame:
// the darkness holes, the font's letter positions, the tile map, the
// darkness mask over the play surface, and the asset loader's sprites.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <set>
#include <utility>

#include "engine_harness.h"
#include "game/bridge/media_path.h"
#include "game/world/darkness_mask.h"
#include "game/world/font_text.h"
#include "game/world/game_sprites.h"
#include "game/world/game_state.h"
#include "game/world/level_file.h"
#include "game/world/play_surface.h"
#include "game/world/tile_map.h"
#include "game/world/water_background.h"
#include "gfx2d/gfx2d_commands.h"
#include "gfx2d/opengl_rainbows.h"
#include "runtime/engine/engine_state.h"
#include "temp_dir.h"
#include "tiny_images.h"

namespace worldtest {
namespace {

using testsupport::readFramePixel;
constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kHole = 0xFF8000FFu;

class WorldDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::EngineOptions options;
        options.width = 240;
        options.height = 160;
        ASSERT_TRUE(testsupport::startTestEngine(folder.path(), options));
        resetGameGlobals();  // whatever an earlier case of the program left
        resetMediaFolderCheck();
        DimensionLevelGrids();
        ResetLevelGrids();
        SetAlphaMode(0);
        FillRect(0, 0, 240, 160, 0);
    }
    testsupport::TempDir folder;
};

TEST_F(WorldDrawing, AHoleOfRadius28CoversExactlyItsLines) {
    DrawHoleCircle(100, 80, 28);
    std::set<std::pair<int, int>> expected;
    forEachHoleLine(100, 80, 28, [&](int32_t x, int32_t y, int32_t w) {
        for (int32_t i = 0; i < w; ++i) expected.insert({x + i, y});
    });
    const std::vector<uint32_t> pixels = testsupport::readFramePixels(60, 40, 80, 80);
    int holes = 0;
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 80; ++x) {
            const bool inHole = expected.count({60 + x, 40 + y}) > 0;
            ASSERT_EQ(pixels[y * 80 + x], inHole ? kHole : kBlack) << "at " << 60 + x << "," << 40 + y;
            holes += inHole;
        }
    }
    EXPECT_GT(holes, 2000);
    // Rows cy - 28 to cy + 28 and no others; the middle row from cx - 28 to cx + 27.
    EXPECT_EQ(readFramePixel(100, 51), kBlack);
    EXPECT_EQ(readFramePixel(100, 52), kHole);
    EXPECT_EQ(readFramePixel(100, 108), kHole);
    EXPECT_EQ(readFramePixel(100, 109), kBlack);
    EXPECT_EQ(readFramePixel(71, 80), kBlack);
    EXPECT_EQ(readFramePixel(72, 80), kHole);
    EXPECT_EQ(readFramePixel(127, 80), kHole);
    EXPECT_EQ(readFramePixel(128, 80), kBlack);
}

// A font picture of 16 x 6 frames of 7 x 12, each frame one colour.
void loadTestFont(const std::string& path) {
    writeBmp(path, 7 * 16, 12 * 6, [](int32_t x, int32_t y) { return frameColour((y / 12) * 16 + x / 7); });
    LoadAnimFile(RtString(path.c_str()), kSpriteFont, 7, 12);
}

TEST_F(WorldDrawing, FontTextPlacesILAndOneFourPixelsApart) {
    loadTestFont(folder.file("font.bmp"));
    DrawFontText(10.9, 20.7, RtString("Il1"));
    EXPECT_EQ(readFramePixel(9, 25), kBlack);
    EXPECT_EQ(readFramePixel(10, 20), opaque(frameColour('I' - 32)));
    EXPECT_EQ(readFramePixel(13, 31), opaque(frameColour('I' - 32)));
    EXPECT_EQ(readFramePixel(14, 25), opaque(frameColour('l' - 32)));
    EXPECT_EQ(readFramePixel(17, 25), opaque(frameColour('l' - 32)));
    EXPECT_EQ(readFramePixel(18, 25), opaque(frameColour('1' - 32)));
    EXPECT_EQ(readFramePixel(24, 25), opaque(frameColour('1' - 32)));
    EXPECT_EQ(readFramePixel(25, 25), kBlack);
    EXPECT_EQ(readFramePixel(18, 32), kBlack);
}

TEST_F(WorldDrawing, FontTextSkipsBytesOutsideTheFontButKeepsTheirPlace) {
    loadTestFont(folder.file("font.bmp"));
    const char text[] = {'A', static_cast<char>(0xC8), 'B', 0};
    DrawFontText(0, 0, RtString(text));
    EXPECT_EQ(readFramePixel(6, 5), opaque(frameColour('A' - 32)));
    EXPECT_EQ(readFramePixel(7, 5), kBlack);
    EXPECT_EQ(readFramePixel(13, 5), kBlack);
    EXPECT_EQ(readFramePixel(14, 5), opaque(frameColour('B' - 32)));
}

TEST_F(WorldDrawing, TheTileMapDrawsCodesOneToTwentyThreeOnly) {
    writeBmp(folder.file("tiles.bmp"), 16 * 48, 16, [](int32_t x, int32_t) { return frameColour(x / 16); });
    LoadAnimFile(RtString(folder.file("tiles.bmp").c_str()), kSpriteTiles, 16, 16);
    SIZE_X = 9;
    SIZE_Y = 1;
    const int codes[10] = {0, 1, 21, 22, 23, 24, 40, -1, 99, 5};
    for (int x = 0; x < 10; ++x) MAP.at(x, 0) = codes[x];
    MAP.at(10, 0) = 3;  // beyond SIZE_X: never drawn
    DrawTileMap();
    for (int x = 0; x < 10; ++x) {
        const bool drawn = codes[x] > 0 && codes[x] < 24;
        EXPECT_EQ(readFramePixel(x * 16 + 8, 8), drawn ? opaque(frameColour(codes[x])) : kBlack) << "code " << codes[x];
        EXPECT_EQ(readFramePixel(x * 16, 15), drawn ? opaque(frameColour(codes[x])) : kBlack) << "code " << codes[x];
    }
    EXPECT_EQ(readFramePixel(10 * 16 + 8, 8), kBlack);
    // Row 1 holds the filler 1.
    EXPECT_EQ(readFramePixel(8, 24), opaque(frameColour(1)));
}

TEST_F(WorldDrawing, TheQuakeShiftsTheTileMap) {
    writeBmp(folder.file("tiles.bmp"), 16 * 24, 16, [](int32_t x, int32_t) { return frameColour(x / 16); });
    LoadAnimFile(RtString(folder.file("tiles.bmp").c_str()), kSpriteTiles, 16, 16);
    SIZE_X = SIZE_Y = 0;
    MAP.at(0, 0) = 7;
    SHAKE_X = 1;
    DrawTileMap();
    EXPECT_EQ(readFramePixel(0, 4), kBlack);
    EXPECT_EQ(readFramePixel(1, 4), opaque(frameColour(7)));
    EXPECT_EQ(readFramePixel(16, 4), opaque(frameColour(7)));
}

TEST_F(WorldDrawing, TheDarknessMaskShowsThePlaySurfaceAroundTheDiverAndTheAnglers) {
    CreateScreen(kScreenPlay, kSpritePlaySurface, 240, 160);
    CreateScreen(kScreenDarkness, kSpriteDarkness, 240, 160);
    SelectScreen(kScreenPlay);
    FillRect(0, 0, 240, 160, 0x00FF00);
    PLAYER_X = 160;
    PLAYER_Y = 96;
    ANGLERS.push(Angler{16, 16, 0, 0, 0, 0, 0});
    SetAlphaMode(0);
    DrawDarknessMask();
    SetAlphaMode(-1);
    DrawSprite(kSpriteDarkness, 0, 0);
    SetAlphaMode(0);
    SelectScreen(kScreenWindow);
    DrawSprite(kSpritePlaySurface, 0, 0);
    const uint32_t water = 0xFF00FF00u;
    EXPECT_EQ(readFramePixel(168, 104), water);
    EXPECT_EQ(readFramePixel(168 - 27, 104), water);
    EXPECT_EQ(readFramePixel(168, 104 - 29), kBlack);
    EXPECT_EQ(readFramePixel(24, 24), water);
    EXPECT_EQ(readFramePixel(100, 60), kBlack);
    EXPECT_EQ(readFramePixel(239, 0), kBlack);
}

TEST_F(WorldDrawing, TheAssetLoaderFillsEverySpriteFromTheMediaFolder) {
    const std::string media = folder.file("Media");
    ASSERT_EQ(::mkdir(media.c_str(), 0755), 0);
    for (const GameImage& image : kGameImages) {
        const int32_t w = image.frameWidth > 0 ? image.frameWidth * 2 : 20;
        const int32_t h = image.frameHeight > 0 ? image.frameHeight : 10;
        writeBmp(media + "/" + image.file, w, h, [&](int32_t, int32_t) { return frameColour(image.sprite); });
    }
    testsupport::ScopedCwd cwd(folder.path());
    LoadGameImages();
    OpenGLRainbows* g = engine.graphics2D;
    for (const GameImage& image : kGameImages) {
        const SpriteSlot* slot = g->slot(image.sprite);
        ASSERT_NE(slot, nullptr);
        EXPECT_TRUE(slot->holdsImage()) << image.file;
        EXPECT_EQ(slot->frameWidth, image.frameWidth) << image.file;
        EXPECT_EQ(slot->frameHeight, image.frameHeight) << image.file;
    }
    // Loading again replaces every sprite in place.
    LoadGameImages();
    EXPECT_TRUE(g->slot(kSpriteShark)->holdsImage());
    EXPECT_EQ(g->slot(kSpriteShark)->frameCount, 2);
    EXPECT_EQ(g->slot(kSpriteWater)->width, 20);
}

TEST_F(WorldDrawing, TheWaterBackgroundCoversThePlaySurfaceEveryFrame) {
    writeBmp(folder.file("water.bmp"), 340, 270, [](int32_t, int32_t) { return 0x804020u; });
    LoadSpriteFile(RtString(folder.file("water.bmp").c_str()), kSpriteWater);
    FillWaveTables();
    for (int frame = 0; frame < 3; ++frame) {
        FillRect(0, 0, 240, 160, 0);
        DrawWaterBackground();
        const std::vector<uint32_t> pixels = testsupport::readFramePixels(0, 0, 240, 160);
        for (size_t i = 0; i < pixels.size(); ++i)
            ASSERT_EQ(pixels[i], 0xFF804020u) << "frame " << frame << " at " << i % 240 << "," << i / 240;
    }
}

TEST_F(WorldDrawing, ThePlaySurfaceFillsTheWindowInsideTheMargins) {
    CreateScreen(kScreenPlay, kSpritePlaySurface, 240, 160);
    SelectScreen(kScreenPlay);
    FillRect(0, 0, 240, 160, 0x0000FF);
    SelectScreen(kScreenWindow);
    SCREEN_W = 240;
    SCREEN_H = 160;
    OVERSCAN_H = 10;
    OVERSCAN_V = 20;
    PresentPlaySurface();
    const uint32_t red = 0xFF0000FFu;
    EXPECT_EQ(readFramePixel(9, 80), kBlack);
    EXPECT_EQ(readFramePixel(10, 80), red);
    EXPECT_EQ(readFramePixel(229, 80), red);
    EXPECT_EQ(readFramePixel(230, 80), kBlack);
    EXPECT_EQ(readFramePixel(120, 19), kBlack);
    EXPECT_EQ(readFramePixel(120, 20), red);
    EXPECT_EQ(readFramePixel(120, 139), red);
    EXPECT_EQ(readFramePixel(120, 140), kBlack);
}

}  // namespace
}  // namespace worldtest
