// The drawing routines' arithmetic: the font's letter spacing, the lines of
// a darkness hole, the water wobble's angle and tables, the speech bubbles,
// and the frames-per-second count. What they draw is checked in
// world_drawing_gl_test.cpp.
#include <cmath>
#include <map>
#include <set>
#include <utility>

#include "game/world/darkness_mask.h"
#include "game/world/font_text.h"
#include "game/world/frame_counter.h"
#include "game/world/game_sprites.h"
#include "game/world/speech_bubbles.h"
#include "game/world/water_background.h"
#include "world_fixture.h"

namespace worldtest {
namespace {

using Glyphs = std::vector<std::pair<int, double>>;

Glyphs glyphsOf(double x, const char* text) {
    Glyphs glyphs;
    forEachFontGlyph(x, RtString(text), [&](int32_t frame, double left) { glyphs.emplace_back(frame, left); });
    return glyphs;
}

TEST(FontText, NarrowCharactersPullTheFollowingOnesCloser) {
    EXPECT_EQ(glyphsOf(10, "Il1"), (Glyphs{{'I' - 32, 10}, {'l' - 32, 14}, {'1' - 32, 18}}));
}

TEST(FontText, EveryCharacterAdvancesBySevenPlusItsSpacing) {
    EXPECT_EQ(glyphsOf(0, "AB"), (Glyphs{{33, 0}, {34, 7}}));
    EXPECT_EQ(glyphsOf(0, "'x"), (Glyphs{{7, 0}, {'x' - 32, 4}}));
    EXPECT_EQ(glyphsOf(0, "Tt."), (Glyphs{{52, 0}, {84, 6}, {14, 12}}));
    EXPECT_EQ(glyphsOf(0, "MWmK."), (Glyphs{{45, 0}, {55, 8}, {77, 16}, {43, 24}, {14, 32}}));
    EXPECT_EQ(glyphsOf(0, "Yi "), (Glyphs{{57, 0}, {73, 8}, {0, 12}}));
    EXPECT_EQ(glyphsOf(5.5, ""), Glyphs{});
}

TEST(FontText, BytesAboveTheFontAreUnsignedAndKeepTheirPlace) {
    const char text[] = {'A', static_cast<char>(200), static_cast<char>(127), '\n', 'B', 0};
    const Glyphs glyphs = glyphsOf(0, text);
    ASSERT_EQ(glyphs.size(), 5u);
    EXPECT_EQ(glyphs[1], (std::pair<int, double>{168, 7}));
    EXPECT_EQ(glyphs[2], (std::pair<int, double>{95, 14}));
    EXPECT_EQ(glyphs[3], (std::pair<int, double>{-22, 21}));
    EXPECT_EQ(glyphs[4], (std::pair<int, double>{34, 28}));
    // Only frames 0 to 94 exist; the draw skips the others.
    EXPECT_EQ(kFontFrames, 95);
    EXPECT_EQ(fontKerning(200), 0);
}

TEST(FontText, DrawingWithoutAnEngineDoesNothing) {
    const char text[] = {'A', static_cast<char>(255), 0};
    EXPECT_EQ(DrawFontText(3.9, 4.2, RtString(text)), 0.0);
}

using Lines = std::vector<std::array<int, 3>>;

Lines holeLines(int cx, int cy, int r) {
    Lines lines;
    forEachHoleLine(cx, cy, r, [&](int32_t x, int32_t y, int32_t w) { lines.push_back({x, y, w}); });
    return lines;
}

TEST(DarknessHole, RadiusTwentyEightCoversRowsCyMinus28ToCyPlus28) {
    const Lines lines = holeLines(100, 80, 28);
    ASSERT_FALSE(lines.empty());
    std::map<int, std::pair<int, int>> rows;  // row -> widest [left, right)
    for (const auto& [x, y, w] : lines) {
        auto [it, fresh] = rows.try_emplace(y, x, x + w);
        if (!fresh) {
            it->second.first = std::min(it->second.first, x);
            it->second.second = std::max(it->second.second, x + w);
        }
    }
    EXPECT_EQ(rows.begin()->first, 52);
    EXPECT_EQ(rows.rbegin()->first, 108);
    EXPECT_EQ(rows.size(), 57u);
    // The first line: 56 wide, from cx - 28 up to but not including cx + 28.
    EXPECT_EQ(lines.front(), (std::array<int, 3>{72, 80, 56}));
    EXPECT_EQ(rows[80], (std::pair<int, int>{72, 128}));
    // The flat top and bottom: x stays 28 while y runs from 1 to 5.
    EXPECT_EQ(rows[52], (std::pair<int, int>{95, 105}));
    EXPECT_EQ(rows[108], (std::pair<int, int>{95, 105}));
    // Every line is symmetric about cx and lies inside the circle.
    for (const auto& [x, y, w] : lines) {
        EXPECT_EQ(x + w / 2, 100);
        EXPECT_LE((x - 100) * (x - 100) + (y - 80) * (y - 80), 28 * 28 + 28);
    }
}

TEST(DarknessHole, ASmallHoleHasItsExactLines) {
    EXPECT_EQ(holeLines(0, 0, 2), (Lines{{-2, 0, 4},
                                         {-1, 2, 2},
                                         {-1, -2, 2},
                                         {-2, 1, 4},
                                         {-2, -1, 4},
                                         {-2, 1, 4},
                                         {-2, -1, 4},
                                         {-1, 2, 2},
                                         {-1, -2, 2}}));
    EXPECT_EQ(holeLines(5, 5, 0), (Lines{{5, 5, 0}}));
}

class WaterBackground : public WorldTest {
protected:
    WaterBackground() { FillWaveTables(); }
};

TEST_F(WaterBackground, TheTablesHoldFiveSinAndFiveCosOfThreeDegreeSteps) {
    EXPECT_EQ(WAVE_SIN.d1, 1000);
    EXPECT_EQ(WAVE_COS.d1, 1000);
    EXPECT_DOUBLE_EQ(WAVE_SIN.at(0), 0.0);
    EXPECT_DOUBLE_EQ(WAVE_COS.at(0), 5.0);
    EXPECT_NEAR(WAVE_SIN.at(30), 5.0, 1e-12);  // 90 degrees
    EXPECT_NEAR(WAVE_COS.at(30), 0.0, 1e-12);  // cos(270)
    EXPECT_DOUBLE_EQ(WAVE_SIN.at(120), WAVE_SIN.at(0));
    EXPECT_DOUBLE_EQ(WAVE_COS.at(120), WAVE_COS.at(0));
    EXPECT_DOUBLE_EQ(WAVE_SIN.at(799), WAVE_SIN.at(79));
    EXPECT_DOUBLE_EQ(WAVE_SIN.at(800), 0.0);
    EXPECT_DOUBLE_EQ(WAVE_COS.at(999), 0.0);
    EXPECT_DOUBLE_EQ(WAVE_ANGLE, 0.0);
}

TEST_F(WaterBackground, TheAngleMovesByMinusOneAndWrapsAt240) {
    std::vector<double> angles;
    for (int i = 0; i < 3; ++i) {
        DrawWaterBackground();
        angles.push_back(WAVE_ANGLE);
    }
    EXPECT_EQ(angles, (std::vector<double>{-1, 238, 237}));
    std::set<double> seen;
    for (int i = 0; i < 500; ++i) {
        DrawWaterBackground();
        EXPECT_GE(WAVE_ANGLE, -1);
        EXPECT_LE(WAVE_ANGLE, 239);
        seen.insert(WAVE_ANGLE);
    }
    EXPECT_EQ(seen.size(), 240u);
}

using SpeechBubbles = WorldTest;

TEST_F(SpeechBubbles, TheBubblesMoveApartForFiveStepsAndTheBriefingStartsAfterTen) {
    BUBBLE1_X = 70;
    BUBBLE2_X = 86;
    BUBBLE_STEP = BUBBLE_TICK = 0;
    GAME_PHASE = 1;
    PLAYER_CONTROL = 1;
    SPEECH_FRAME = 0;
    DrawSpeechBubble();
    EXPECT_EQ(PLAYER_CONTROL, 0);
    EXPECT_EQ(SPEECH_FRAME, 5);
    for (int i = 1; i < 8 * 10 - 1; ++i) DrawSpeechBubble();
    EXPECT_EQ(BUBBLE_STEP, 9);
    EXPECT_EQ(GAME_PHASE, 1);
    DrawSpeechBubble();
    EXPECT_EQ(BUBBLE_STEP, 10);
    EXPECT_EQ(GAME_PHASE, 2);
    EXPECT_EQ(BUBBLE1_X, 75);
    EXPECT_EQ(BUBBLE2_X, 81);
    SPEECH_FRAME = -1;
    DrawSpeechBubble();
    EXPECT_EQ(SPEECH_FRAME, -1);
}

TEST(FrameCounter, TheFirstCallCountsOneCall) {
    EXPECT_EQ(CountFramesPerSecond(), 1.0);
}

}  // namespace
}  // namespace worldtest

namespace worldtest {
namespace {

using GameImages = WorldTest;

TEST_F(GameImages, TheTableKeepsItsLoadOrderAndNumbers) {
    EXPECT_STREQ(kGameImages[0].file, "tiles.png");
    EXPECT_EQ(kGameImages[0].sprite, 1);
    // Not in number order: the shark after "retry.png", "quit.png" after the font.
    EXPECT_STREQ(kGameImages[28].file, "retry.png");
    EXPECT_EQ(kGameImages[29].sprite, 100);
    EXPECT_EQ(kGameImages[30].sprite, 1000);
    EXPECT_EQ(kGameImages[31].sprite, 91);
    EXPECT_EQ(kGameImages[31].frameWidth, 85);
    EXPECT_EQ(kGameImages[31].frameHeight, 36);
    EXPECT_STREQ(kGameImages[34].file, "photo.png");
    std::set<int> sprites;
    for (const GameImage& image : kGameImages) sprites.insert(image.sprite);
    EXPECT_EQ(sprites.size(), 35u);
}

TEST_F(GameImages, AReloadAsksTheHostOnlyWhenPending) {
    RELOAD_PENDING = 0;
    ReloadGameImages();
    EXPECT_TRUE(requests().empty());
    RELOAD_PENDING = 1;
    device.setReply("isReloadTextures:", "true");
    ReloadGameImages();
    EXPECT_EQ(requests(), (std::vector<std::string>{"isReloadTextures:"}));
    EXPECT_EQ(RELOAD_PENDING, 0.0);
}

}  // namespace
}  // namespace worldtest
