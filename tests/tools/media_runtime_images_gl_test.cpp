// The Media folder's pictures through the runtime's own loaders, as the game
// loads them: each sheet into its sprite number with its frame size, the
// start-up font into font 0 through the font loader. Then the contact sheet:
// every frame of every sheet drawn by the runtime into an offscreen screen,
// each sheet under its file name in the start-up font, saved beside the
// build's bin folder as media-contact-sheet.png for a person to look at.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine_harness.h"
#include "gfx2d/decoded_image.h"
#include "gfx2d/gfx2d_commands.h"
#include "gfx2d/opengl_rainbows.h"
#include "media_table.h"
#include "png_reader.h"
#include "runtime/engine/engine_state.h"
#include "runtime/services/runtime_error.h"
#include "temp_dir.h"

using mediatable::ImageSpec;
using mediatable::kImages;

namespace {

constexpr int kStartupFontSprite = kFirstFontSprite;  // font 0

class MediaRuntimeImages : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(mediatable::mediaDir().empty()) << "VANTRIC_MEDIA_DIR is not set";
        testsupport::EngineOptions options;
        options.width = 320;
        options.height = 240;
        ASSERT_TRUE(testsupport::startTestEngine(folder_.path(), options));
        g = engine.graphics2D;
    }

    // Every picture into its sprite, with its frames when it has any; the
    // start-up font as the start-up loads it (the engine's working folder is
    // the test program's, which holds no Media folder).
    void loadAll() {
        for (const ImageSpec& s : kImages) {
            clearErrorCode();
            RtString path(mediatable::mediaFile(s.file).c_str());
            if (s.sprite < 0) LoadFontFile(path, 0);
            else if (s.frameW > 0) LoadAnimFile(path, s.sprite, s.frameW, s.frameH);
            else LoadSpriteFile(path, s.sprite);
            EXPECT_EQ(0, RtErrorCode) << s.file;
        }
    }

    static int slotOf(const ImageSpec& s) { return s.sprite < 0 ? kStartupFontSprite : s.sprite; }

    testsupport::TempDir folder_;
    OpenGLRainbows* g = nullptr;
};

mediatest::RgbaImage readFile(const char* file) {
    mediatest::RgbaImage im;
    std::string error;
    EXPECT_TRUE(mediatest::readPng(mediatable::mediaFile(file), im, error)) << error;
    return im;
}

uint32_t packed(const uint8_t* rgba) {
    return rgba[0] | rgba[1] << 8 | rgba[2] << 16 | static_cast<uint32_t>(rgba[3]) << 24;
}

TEST_F(MediaRuntimeImages, EverySheetLoadsIntoItsSpriteWithItsFrameGridAndItsPixels) {
    loadAll();
    for (const ImageSpec& s : kImages) {
        SCOPED_TRACE(s.file);
        SpriteSlot* slot = g->slot(slotOf(s));
        ASSERT_TRUE(slot && slot->holdsImage());
        EXPECT_EQ(s.width, slot->width);
        EXPECT_EQ(s.height, slot->height);
        EXPECT_EQ(s.frameW, slot->frameWidth);
        EXPECT_EQ(s.frameH, slot->frameHeight);
        if (s.frameW > 0) {
            EXPECT_EQ(s.width / s.frameW, slot->frameColumns);
            EXPECT_EQ(slot->frameColumns * (s.height / s.frameH), slot->frameCount);
            EXPECT_GE(slot->frameCount, s.frames);
            EXPECT_LT(slot->frameCount - s.frames, slot->frameColumns) << "a whole spare row of frames";
        }
        // What the runtime holds is what the file holds: the same clear
        // pixels, the same colours everywhere else.
        DecodedImage held;
        ASSERT_TRUE(g->spritePixels(slotOf(s), held));
        mediatest::RgbaImage file = readFile(s.file);
        ASSERT_EQ(file.width, held.width);
        ASSERT_EQ(file.height, held.height);
        int wrong = 0;
        for (int y = 0; y < file.height; ++y)
            for (int x = 0; x < file.width; ++x) {
                uint32_t want = packed(file.at(x, y)), got = held.at(x, y);
                if ((want >> 24) == 0 ? (got >> 24) != 0 : got != want) ++wrong;
            }
        EXPECT_EQ(0, wrong);
    }
}

// The contact sheet's layout: sheets one under another, each a label line and
// rows of frame cells, enlarged twice where a frame fits the page so.
constexpr int kPageWidth = 1024, kGap = 4, kLabelHeight = 12;
// Blues outside the pictures' palette, 0x00BBGGRR, and as drawn (0xAABBGGRR).
constexpr int kGround = 0x8A6436, kFrameGround = 0x6E4A2E;
constexpr uint32_t kGroundPixel = 0xFF000000u | kGround, kFrameGroundPixel = 0xFF000000u | kFrameGround;
constexpr int kPageScreen = 1, kPageSprite = 2000;

struct Cell {
    int x, y, frame;
};
struct Placed {
    const ImageSpec* spec;
    int labelY, scale, frameW, frameH;
    std::vector<Cell> cells;
};

std::vector<Placed> layOut(int& height) {
    std::vector<Placed> out;
    int y = kGap;
    for (const ImageSpec& s : kImages) {
        Placed p{&s, y, 2, s.frameW ? s.frameW : s.width, s.frameH ? s.frameH : s.height, {}};
        if (p.frameW * 2 + 2 * kGap > kPageWidth) p.scale = 1;
        int cellW = p.frameW * p.scale + kGap, cellH = p.frameH * p.scale + kGap;
        int perRow = std::max(1, (kPageWidth - kGap) / cellW);
        y += kLabelHeight;
        for (int f = 0; f < s.frames; ++f) p.cells.push_back({kGap + (f % perRow) * cellW, y + (f / perRow) * cellH, f});
        y += (s.frames + perRow - 1) / perRow * cellH + kGap;
        out.push_back(std::move(p));
    }
    height = y;
    return out;
}

TEST_F(MediaRuntimeImages, ContactSheetDrawnByTheRuntimeShowsEveryFrameAsItsFileHoldsIt) {
    loadAll();
    int height = 0;
    std::vector<Placed> page = layOut(height);
    clearErrorCode();
    CreateScreen(kPageScreen, kPageSprite, kPageWidth, height);
    ASSERT_EQ(0, RtErrorCode);
    SelectScreen(kPageScreen);
    SetSmoothing(0);
    SetAlphaMode(-1);
    SetFont(0);
    FillRect(0, 0, kPageWidth, height, kGround);
    for (const Placed& p : page) {
        PrintText(RtString(p.spec->file), kGap, p.labelY + 2, 0);
        const int sprite = slotOf(*p.spec);
        const double half = (p.scale - 1) * 0.5;  // scaling keeps the frame's centre in place
        for (const Cell& c : p.cells) {
            FillRect(c.x, c.y, p.frameW * p.scale, p.frameH * p.scale, kFrameGround);
            double x = c.x + p.frameW * half, y = c.y + p.frameH * half;
            if (p.spec->frameW > 0 || p.spec->sprite < 0)
                DrawAnimFrameRotatedScaled(sprite, c.frame, x, y, 0, p.scale);
            else
                DrawSpriteScaled(sprite, x, y, p.scale, p.scale);
        }
    }
    SelectScreen(-1);
    const std::string path = mediatable::mediaDir() + "/../../media-contact-sheet.png";
    SaveSpriteToFile(RtString(path.c_str()), kPageSprite);
    EXPECT_EQ(0, RtErrorCode) << path;

    // Each cell shows its frame of the file, enlarged, over the frame ground.
    DecodedImage drawn;
    ASSERT_TRUE(g->spritePixels(kPageSprite, drawn));
    for (const Placed& p : page) {
        SCOPED_TRACE(p.spec->file);
        mediatest::RgbaImage file = readFile(p.spec->file);
        const int columns = file.width / p.frameW;
        int wrong = 0;
        for (const Cell& c : p.cells) {
            const int fx = c.frame % columns * p.frameW, fy = c.frame / columns * p.frameH;
            for (int y = 0; y < p.frameH * p.scale; ++y)
                for (int x = 0; x < p.frameW * p.scale; ++x) {
                    const uint8_t* want = file.at(fx + x / p.scale, fy + y / p.scale);
                    if (drawn.at(c.x + x, c.y + y) != (want[3] ? packed(want) : kFrameGroundPixel)) ++wrong;
                }
        }
        EXPECT_EQ(0, wrong);
    }
    // The label is the start-up font's ink on the page ground.
    int ink = 0;
    for (int y = kGap + 2; y < kGap + 10; ++y)
        for (int x = kGap; x < kGap + 72; ++x) ink += drawn.at(x, y) != kGroundPixel;
    EXPECT_GT(ink, 40) << "the first label, \"tiles.png\"";
}

}  // namespace
