// The pictures of the Media folder: sizes, frame grids, transparency, the
// frames each drawing routine of the game relies on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>

#include "media_table.h"
#include "png_reader.h"

using mediatable::ImageSpec;
using mediatable::kImages;
using mediatest::RgbaImage;

namespace {

RgbaImage load(const std::string& file) {
    RgbaImage image;
    std::string error;
    EXPECT_TRUE(mediatest::readPng(mediatable::mediaFile(file), image, error)) << error;
    return image;
}

const ImageSpec& spec(const std::string& file) {
    for (const ImageSpec& s : kImages)
        if (file == s.file) return s;
    ADD_FAILURE() << "no table row for " << file;
    return kImages[0];
}

constexpr uint8_t kOutline[3] = {0x0c, 0x10, 0x28};  // the palette's outline colour

bool samePixel(const uint8_t* a, const uint8_t* b) { return a[0] == b[0] && a[1] == b[1] && a[2] == b[2] && a[3] == b[3]; }

// Frame b is frame a mirrored left to right (or top to bottom).
bool mirrored(const RgbaImage& im, int fw, int fh, int a, int b, bool vertical) {
    int columns = im.width / fw;
    int ax = (a % columns) * fw, ay = (a / columns) * fh, bx = (b % columns) * fw, by = (b / columns) * fh;
    for (int y = 0; y < fh; ++y)
        for (int x = 0; x < fw; ++x) {
            int mx = vertical ? x : fw - 1 - x, my = vertical ? fh - 1 - y : y;
            if (!samePixel(im.at(ax + x, ay + y), im.at(bx + mx, by + my))) return false;
        }
    return true;
}

bool framesEqual(const RgbaImage& im, int fw, int fh, int a, int b) {
    int columns = im.width / fw;
    for (int y = 0; y < fh; ++y)
        for (int x = 0; x < fw; ++x)
            if (!samePixel(im.at((a % columns) * fw + x, (a / columns) * fh + y),
                           im.at((b % columns) * fw + x, (b / columns) * fh + y)))
                return false;
    return true;
}

// Frames a sheet leaves blank on purpose; every other frame is drawn.
std::set<int> blankFrames(const std::string& file) {
    std::set<int> blank;
    if (file == "tiles.png") {
        // The codes the diver (22) and the creatures (24 to 31) write in play:
        // nothing may cover them, and the editor cannot choose them; nor 49 to 58.
        blank.insert(22);
        for (int f = 24; f <= 31; ++f) blank.insert(f);
        for (int f = 49; f <= 58; ++f) blank.insert(f);
    } else if (file == "font.png") {
        blank.insert(0);  // the blank
    } else if (file == "smalfont.png") {
        for (int f = 0; f < 256; ++f)
            if (f < 33 || f > 126) blank.insert(f);
    }
    return blank;
}

}  // namespace

TEST(MediaImages, EveryPictureHasItsSizeFrameGridAndRgbaFormat) {
    ASSERT_FALSE(mediatable::mediaDir().empty()) << "VANTRIC_MEDIA_DIR is not set";
    for (const ImageSpec& s : kImages) {
        SCOPED_TRACE(s.file);
        RgbaImage im = load(s.file);
        EXPECT_EQ(s.width, im.width);
        EXPECT_EQ(s.height, im.height);
        EXPECT_EQ(8, im.bitDepth);
        EXPECT_EQ(6, im.colorType);  // RGBA
        if (s.frameW == 0) continue;
        EXPECT_EQ(0, im.width % s.frameW);
        EXPECT_EQ(0, im.height % s.frameH);
        int columns = im.width / s.frameW, slots = columns * (im.height / s.frameH);
        EXPECT_GE(slots, s.frames);
        EXPECT_LT(slots - s.frames, columns) << "a whole spare row of frames";
    }
}

TEST(MediaImages, TransparencyIsAllOrNothingAndOnlyWhereExpected) {
    for (const ImageSpec& s : kImages) {
        SCOPED_TRACE(s.file);
        RgbaImage im = load(s.file);
        int clear = 0, partial = 0;
        for (int y = 0; y < im.height; ++y)
            for (int x = 0; x < im.width; ++x) {
                uint8_t a = im.alpha(x, y);
                if (a == 0) ++clear;
                else if (a != 255) ++partial;
            }
        EXPECT_EQ(0, partial);
        EXPECT_EQ(s.transparent, clear > 0);
    }
}

TEST(MediaImages, EveryFrameTheGameDrawsHoldsAPicture) {
    for (const ImageSpec& s : kImages) {
        if (s.frameW == 0) continue;
        SCOPED_TRACE(s.file);
        RgbaImage im = load(s.file);
        std::set<int> blank = blankFrames(s.file);
        for (int f = 0; f < s.frames; ++f)
            EXPECT_EQ(blank.count(f) == 1, im.frameEmpty(f, s.frameW, s.frameH)) << "frame " << f;
    }
}

TEST(MediaImages, TileSheetIsOneRowIndexedByCode) {
    RgbaImage im = load("tiles.png");
    ASSERT_EQ(16, im.height);
    EXPECT_EQ(256, im.frameOpaquePixels(1, 16, 16)) << "rock inside a wall fills its cell";
    EXPECT_LE(im.frameOpaquePixels(0, 16, 16), 16) << "the editor's empty cell shows only its corners";
    for (int code : {2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 20, 21})
        EXPECT_GE(im.frameOpaquePixels(code, 16, 16), 170) << "rock tile " << code;
    for (int code = 32; code <= 48; ++code)
        EXPECT_GT(im.frameOpaquePixels(code, 16, 16), 20) << "editor icon " << code;
    EXPECT_GT(im.frameOpaquePixels(59, 16, 16), 20) << "the editor's cursor";
}

TEST(MediaImages, RockTilesJoinOnTheirRockSidesAndEndOnTheirWaterSides) {
    // code: which sides face water (top, right, bottom, left)
    const struct { int code; const char* sides; } tiles[] = {
        {1, ""},    {2, "TL"},  {3, "B"},   {4, "TR"},   {5, "L"},   {6, "R"},   {8, "BL"},  {9, "BR"},
        {10, "TB"}, {11, "T"},  {12, "LR"}, {13, "TLR"}, {14, "BLR"}, {15, "TBL"}, {16, "TBR"}, {17, "TBLR"}};
    RgbaImage im = load("tiles.png");
    for (auto t : tiles) {
        std::string sides = t.sides;
        int x0 = t.code * 16;
        // pixels of a side's outermost line that are outline or clear
        auto edgeEnds = [&](char side) {
            int count = 0;
            for (int i = 0; i < 16; ++i) {
                int x = side == 'L' ? 0 : side == 'R' ? 15 : i;
                int y = side == 'T' ? 0 : side == 'B' ? 15 : i;
                const uint8_t* p = im.at(x0 + x, y);
                if (p[3] == 0 || (p[0] == kOutline[0] && p[1] == kOutline[1] && p[2] == kOutline[2])) ++count;
            }
            return count;
        };
        for (char side : std::string("TRBL")) {
            bool water = sides.find(side) != std::string::npos;
            if (water)
                EXPECT_EQ(16, edgeEnds(side)) << "tile " << t.code << " side " << side << " faces water: outlined";
            else {
                // only the end pixels next to a side that faces water may be outline
                std::string across = side == 'T' || side == 'B' ? "LR" : "TB";
                int ends = 0;
                for (char a : across) ends += sides.find(a) != std::string::npos ? 1 : 0;
                EXPECT_LE(edgeEnds(side), ends) << "tile " << t.code << " side " << side << " joins rock";
            }
        }
    }
}

TEST(MediaImages, LeftFacingFramesMirrorTheRightFacingOnes) {
    RgbaImage diver = load("diver2.png");
    RgbaImage angler = load("angler2.png");
    RgbaImage shark = load("shark1.png");
    RgbaImage fish = load("fish.png");
    RgbaImage blast = load("explode2.png");
    for (int f = 0; f < 4; ++f) {
        EXPECT_TRUE(mirrored(diver, 16, 16, f, f + 4, false)) << "diver frame " << f;
        EXPECT_TRUE(mirrored(angler, 16, 16, f, f + 4, false)) << "angler frame " << f;
        EXPECT_TRUE(mirrored(shark, 60, 33, f, f + 4, false)) << "shark frame " << f;
        EXPECT_TRUE(mirrored(blast, 16, 16, 4 + f, 12 + f, true)) << "blast up and down " << f;
        EXPECT_TRUE(mirrored(blast, 16, 16, 8 + f, 16 + f, false)) << "blast right and left " << f;
    }
    EXPECT_TRUE(mirrored(fish, 16, 16, 0, 2, true));
    EXPECT_TRUE(mirrored(fish, 16, 16, 1, 3, true));
    // the blast's up arm reaches the bottom edge where it meets the centre
    EXPECT_GT(blast.alpha(16 * 0 + 8, 16 * 1 + 15), 0);
}

TEST(MediaImages, AnimationsMoveFromFrameToFrame) {
    const struct { const char* file; int first, last; } runs[] = {
        {"diver2.png", 0, 3},  {"diver2.png", 8, 11}, {"diver2.png", 12, 15}, {"starfish2.png", 0, 3},
        {"starfish2.png", 4, 7}, {"fish.png", 0, 1},   {"gem.png", 0, 3},      {"sponge.png", 0, 3},
        {"octo.png", 0, 3},    {"angler2.png", 0, 3}, {"crab.png", 0, 3},     {"mine2.png", 0, 3},
        {"pop.png", 0, 7},     {"pearl.png", 0, 12},  {"blood.png", 0, 12},   {"weed.png", 0, 3},
        {"aura.png", 0, 3},    {"bubbles.png", 0, 3}, {"explode.png", 0, 4},  {"explode2.png", 0, 3},
        {"shark1.png", 0, 3},  {"oyster.png", 4, 7},
    };
    for (auto r : runs) {
        const ImageSpec& s = spec(r.file);
        RgbaImage im = load(r.file);
        for (int f = r.first; f < r.last; ++f)
            EXPECT_FALSE(framesEqual(im, s.frameW, s.frameH, f, f + 1)) << r.file << " frames " << f << ", " << f + 1;
    }
}

TEST(MediaImages, FreeStandingSpritesEndInsideTheirFrames) {
    // Nothing is cut by the frame's edge: the outermost ring of every frame
    // is clear or outline (the oyster stands on the floor of its cell).
    constexpr uint8_t kBlack[3] = {0x04, 0x06, 0x0c};
    auto isDark = [](const uint8_t* p, const uint8_t* c) { return p[0] == c[0] && p[1] == c[1] && p[2] == c[2]; };
    for (const char* file : {"starfish2.png", "fish.png", "gem.png", "angler2.png", "crab.png", "explode.png",
                             "speech.png", "blood.png", "shark1.png", "oyster.png"}) {
        const ImageSpec& s = spec(file);
        RgbaImage im = load(file);
        const int columns = im.width / s.frameW, floor = std::string(file) == "oyster.png" ? 1 : 0;
        for (int f = 0; f < s.frames; ++f) {
            int cut = 0;
            for (int y = 0; y < s.frameH - floor; ++y)
                for (int x = 0; x < s.frameW; ++x) {
                    if (x > 0 && y > 0 && x < s.frameW - 1 && y < s.frameH - 1) continue;
                    const uint8_t* p = im.at((f % columns) * s.frameW + x, (f / columns) * s.frameH + y);
                    if (p[3] && !isDark(p, kOutline) && !isDark(p, kBlack)) ++cut;
                }
            EXPECT_EQ(0, cut) << file << " frame " << f;
        }
    }
}

TEST(MediaImages, OysterOpensOutOfItsUpperCell) {
    RgbaImage im = load("oyster.png");
    // closed (frame 2) fills both cells; open (frame 7) leaves the upper cell clear
    int upperClosed = 0, upperOpen = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            if (im.alpha(2 * 16 + x, y)) ++upperClosed;
            if (im.alpha(7 * 16 + x, y)) ++upperOpen;
        }
    EXPECT_GT(upperClosed, 60);
    EXPECT_EQ(0, upperOpen);
}

TEST(MediaImages, FontFramesRunInCharacterOrderFromTheBlank) {
    RgbaImage font = load("font.png");
    auto inkColumns = [&](char c) {
        int f = c - 32, x0 = (f % 16) * 7, y0 = (f / 16) * 12;
        int first = 7, last = -1;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 7; ++x)
                if (font.alpha(x0 + x, y0 + y)) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
        return last - first + 1;
    };
    // the game's spacing: "I" and "l" advance 4, "1" 5, capitals 7
    EXPECT_LE(inkColumns('I'), 5);
    EXPECT_LE(inkColumns('l'), 5);
    EXPECT_LE(inkColumns('1'), 5);
    EXPECT_EQ(7, inkColumns('M'));
    // '.' sits low, '\'' high
    int dot = '.' - 32;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(0, font.alpha((dot % 16) * 7 + x, (dot / 16) * 12 + y));

    RgbaImage small = load("smalfont.png");
    EXPECT_FALSE(small.frameEmpty('A', 8, 8));
    EXPECT_TRUE(small.frameEmpty(' ', 8, 8));
    EXPECT_TRUE(small.frameEmpty(200, 8, 8));
}

TEST(MediaImages, WaterIsOpaqueAndRepeatsAcrossWithoutASeam) {
    RgbaImage im = load("water2.png");
    auto columnStep = [&](int a, int b) {
        double sum = 0;
        for (int y = 0; y < im.height; ++y)
            for (int c = 0; c < 3; ++c) sum += std::abs(im.at(a, y)[c] - im.at(b, y)[c]);
        return sum / im.height;
    };
    double inside = 0;
    for (int x = 1; x < im.width; ++x) inside += columnStep(x - 1, x);
    inside /= im.width - 1;
    EXPECT_LT(columnStep(im.width - 1, 0), inside * 2.5 + 1.0) << "the right edge runs on into the left";
    // lighter near the surface than in the depths
    int top = im.at(0, 0)[2] + im.at(100, 2)[2], bottom = im.at(0, 255)[2] + im.at(100, 253)[2];
    EXPECT_GT(top, bottom);
}
