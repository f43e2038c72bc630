// The level editor's pictures: the build writes one for each of the 31
// levels beside the game, where the editor loads it ("<n>.png" in the Media
// folder); the runtime's own reader decodes it with the editor's
// transparent colour to 16 opaque pixels a side per cell, every block the
// colour of its cell's kind in the compiled level; and it is byte for byte
// what the level tools make of the source.
#include <gtest/gtest.h>

#include <set>

#include "common/png_writer.h"
#include "file_bytes.h"
#include "gfx2d/image_files.h"
#include "gfx2d/sprite_slot.h"
#include "level_files.h"
#include "level_picture.h"
#include "level_sources.h"
#include "level_text.h"

namespace {

using levels::LevelData;

std::string picturePath(int32_t number) {
    return leveltest::mediaFolder() + "/" + levels::levelPictureName(number);
}

// 0xRRGGBB as the decoder gives an opaque pixel, 0xAABBGGRR.
uint32_t decoded(uint32_t rgb) {
    return 0xFF000000u | ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

TEST(LevelPictures, EveryLevelHasItsPictureBesideTheGameCellForCell) {
    for (int32_t n = 0; n < levels::kLevelCount; ++n) {
        SCOPED_TRACE("level " + std::to_string(n));
        LevelData level;
        std::vector<std::string> errors;
        ASSERT_TRUE(levels::loadLevelFile(leveltest::dataFolder() + "/" + levels::levelFileName(n), level, errors));
        DecodedImage image;
        ASSERT_TRUE(loadPngImage(image, picturePath(n).c_str(), kTransparentColour)) << picturePath(n);
        ASSERT_EQ(image.width, 240);
        ASSERT_EQ(image.height, 160);
        int32_t offBlock = 0;
        for (int32_t y = 0; y < image.height; ++y) {
            for (int32_t x = 0; x < image.width; ++x) {
                offBlock += image.at(x, y) != decoded(levels::cellColour(level.at(x / 16, y / 16)));
            }
        }
        EXPECT_EQ(offBlock, 0);
    }
}

TEST(LevelPictures, ThePicturesAreWhatTheToolsDrawFromTheSourcesByteForByte) {
    for (int32_t n = 0; n < levels::kLevelCount; ++n) {
        const LevelData level = leveltest::sourceLevel(n);
        const std::string drawn = media::encodePngRgba(240, 160, levels::drawLevelPicture(level));
        EXPECT_TRUE(drawn == testsupport::readFileBytes(picturePath(n))) << "level " << n;
        EXPECT_TRUE(drawn == media::encodePngRgba(240, 160, levels::drawLevelPicture(level))) << "level " << n;
    }
}

// Kinds that the editor's user tells apart differ in colour; rock of every
// outline is one kind; a code without a glyph is grey.
TEST(LevelPictures, TheKindsOfCellsHaveColoursOfTheirOwn) {
    std::set<uint32_t> colours;
    for (const levels::Glyph& g : levels::glyphTable()) {
        EXPECT_TRUE(colours.insert(g.colour).second) << g.name;
        EXPECT_NE(g.colour, 0x808080u) << g.name;
        EXPECT_NE(decoded(g.colour) & 0xFFFFFF, kTransparentColour) << g.name;
    }
    for (int32_t rock : {1, 6, 8, 17}) EXPECT_EQ(levels::cellColour(rock), levels::cellColour(1)) << rock;
    EXPECT_NE(levels::cellColour(7), levels::cellColour(1)) << "weed is no rock";
    for (int32_t other : {-1, 22, 24, 49, 99}) EXPECT_EQ(levels::cellColour(other), 0x808080u) << other;
    EXPECT_EQ(levels::levelPictureName(0), "0.png");
    EXPECT_EQ(levels::levelPictureName(30), "30.png");
}

// A level of another size gives a picture of its own size.
TEST(LevelPictures, APictureHasSixteenPixelsASidePerCell) {
    LevelData level;
    std::vector<std::string> errors;
    ASSERT_TRUE(levels::parseLevelText("size 3 2\n#P#\n#G#\n", level, errors));
    const std::vector<uint8_t> rgba = levels::drawLevelPicture(level);
    ASSERT_EQ(rgba.size(), 48u * 32u * 4u);
    auto rgbAt = [&](int x, int y) {
        const uint8_t* p = &rgba[(static_cast<size_t>(y) * 48 + static_cast<size_t>(x)) * 4];
        EXPECT_EQ(p[3], 0xFF);
        return static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
    };
    EXPECT_EQ(rgbAt(16, 0), 0xf8f8f8u) << "the diver";
    EXPECT_EQ(rgbAt(31, 15), 0xf8f8f8u);
    EXPECT_EQ(rgbAt(16, 16), 0x40e8e8u) << "the gem";
    EXPECT_EQ(rgbAt(15, 31), 0x6c5848u) << "rock";
    EXPECT_EQ(rgbAt(47, 31), 0x6c5848u);
}

}  // namespace
