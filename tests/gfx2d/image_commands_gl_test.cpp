// The image commands: loading files into sprites with their error codes,
// grabbing, pixels in and out, saving and loading back.
#include <algorithm>
#include <chrono>

#include "gl_fixture.h"
#include "gfx2d/image_files.h"
#include "gfx2d/texture_upload.h"

namespace {

using namespace gltest;

RtString rt(const std::string& s) { return RtString(s.c_str()); }

TEST_F(Gfx2D, LoadedFilesOfEveryFormatDraw) {
    DecodedImage image = imagetest::gradient(6, 4);
    writePng("a.png", image);
    std::vector<uint8_t> bmp;
    ASSERT_TRUE(encodeBmp(image, bmp));
    testsupport::writeFileBytes(file("a.bmp"), imagetest::asString(bmp));
    testsupport::writeFileBytes(file("grey.png"), imagetest::pngBytes([] {
                                    imagetest::PngSpec s;
                                    s.width = 2;
                                    s.height = 1;
                                    s.colourType = 0;  // greyscale
                                    s.samples = {60, 200};
                                    return s;
                                }()));
    testsupport::writeFileBytes(file("grey.jpg"), imagetest::greyJpegBytes(8, 8, std::vector<uint8_t>(64, 128)));
    LoadSpriteFile(rt(file("a.png")), 1);
    LoadSpriteFile(rt(file("a.bmp")), 2);
    LoadSpriteFile(rt(file("grey.png")), 3);
    LoadSpriteFile(rt(file("grey.jpg")), 4);
    ASSERT_EQ(RtErrorCode, 0);
    DrawSprite(1, 0, 0);
    DrawSprite(2, 10, 0);
    DrawSprite(3, 20, 0);
    DrawSprite(4, 30, 0);
    EXPECT_EQ(px(5, 3), image.at(5, 3));
    EXPECT_EQ(px(15, 3), image.at(5, 3));
    EXPECT_EQ(px(21, 0), rgba(200, 200, 200));
    EXPECT_TRUE(near(px(33, 3), rgba(128, 128, 128), 2));
    EXPECT_EQ(g->sprites[1].width, 6);
    EXPECT_EQ(g->sprites[1].textureWidth, 16);
    EXPECT_EQ(g->sprites[1].hasAlpha, 1);
    EXPECT_EQ(g->sprites[2].hasAlpha, 0);
}

TEST_F(Gfx2D, PaletteBmpFilesLoad) {
    imagetest::BmpSpec spec;
    spec.width = 3;
    spec.height = 1;
    spec.bitsPerPixel = 8;
    spec.palette = {0x000000, 0x00FF00, 0xFF0080};  // the last is the transparent colour
    spec.pixels = {1, 2, 0};
    testsupport::writeFileBytes(file("p.bmp"), imagetest::bmpBytes(spec));
    FillRect(0, 0, 96, 64, kBlueBgr);
    LoadSpriteFile(rt(file("p.bmp")), 11);
    ASSERT_EQ(RtErrorCode, 0);
    DrawSprite(11, 0, 0);
    EXPECT_EQ(px(0, 0), kGreen);
    EXPECT_EQ(px(1, 0), kBlue);  // not drawn
    EXPECT_EQ(px(2, 0), kBlack);
}

TEST_F(Gfx2D, AFailedLoadRecordsErrorThreeAndEmptiesTheSlot) {
    put(12, imagetest::solid(2, 2, kRed));
    LoadSpriteFile(rt(file("missing.png")), 12);
    EXPECT_EQ(RtErrorCode, 3);
    EXPECT_FALSE(g->sprites[12].holdsImage());
    testsupport::writeFileBytes(file("cut.png"), imagetest::pngBytes([] {
        imagetest::PngSpec s;
        s.width = 30;
        s.height = 30;
        s.colourType = 2;
        s.samples.assign(30 * 30 * 3, 77);
        return s;
    }()).substr(0, 60));
    put(12, imagetest::solid(2, 2, kRed));
    clearErrorCode();
    LoadAnimFile(rt(file("cut.png")), 12, 4, 4);
    EXPECT_EQ(RtErrorCode, 3);
    EXPECT_FALSE(g->sprites[12].holdsImage());
    clearErrorCode();
    LoadSpriteAsNormalMap(rt(file("missing.png")), 12);
    EXPECT_EQ(RtErrorCode, 3);
    clearErrorCode();
    LoadBackgroundImage(rt(file("missing.png")));
    EXPECT_EQ(RtErrorCode, 3);
}

TEST_F(Gfx2D, ABadSpriteNumberRecordsErrorSeven) {
    writePng("a.png", imagetest::solid(2, 2, kRed));
    for (int sprite : {-1, 65536}) {
        clearErrorCode();
        LoadSpriteFile(rt(file("a.png")), sprite);
        EXPECT_EQ(RtErrorCode, 7) << sprite;
        clearErrorCode();
        GrabScreenToSprite(sprite, 0, 0, 4, 4);
        EXPECT_EQ(RtErrorCode, 7) << sprite;
    }
}

TEST_F(Gfx2D, ImagesLargerThanTheDriverTakesAreRefused) {
    const int32_t side = maxTextureSide();
    ASSERT_GT(side, 0);
    imagetest::BmpSpec spec;
    spec.width = side + 1;
    spec.height = 1;
    spec.bitsPerPixel = 8;
    spec.palette = {0x102030};
    spec.pixels.assign(static_cast<size_t>(side) + 1, 0);
    testsupport::writeFileBytes(file("wide.bmp"), imagetest::bmpBytes(spec));
    LoadSpriteFile(rt(file("wide.bmp")), 1);
    EXPECT_EQ(RtErrorCode, 3);
    EXPECT_FALSE(g->sprites[1].holdsImage());
    spec.width = side;  // the largest that fits loads
    spec.pixels.resize(static_cast<size_t>(side));
    testsupport::writeFileBytes(file("widest.bmp"), imagetest::bmpBytes(spec));
    clearErrorCode();
    LoadSpriteFile(rt(file("widest.bmp")), 1);
    EXPECT_EQ(RtErrorCode, 0);
    EXPECT_EQ(g->sprites[1].textureWidth, side);
}

TEST_F(Gfx2D, ADamagedJpegClaimingAHugePictureIsRefusedAtOnce) {
    // A 64 x 48 grey progressive picture whose frame header says 8192 x 8192,
    // without its end marker: its data gives out in the first rows.
    std::string bytes = imagetest::greyJpegBytes(64, 48, std::vector<uint8_t>(64 * 48, 100), true);
    const size_t frame = bytes.find("\xFF\xC2");
    ASSERT_NE(frame, std::string::npos);
    bytes.replace(frame + 5, 4, "\x20\0\x20\0", 4);
    testsupport::writeFileBytes(file("huge.jpg"), bytes.substr(0, bytes.size() - 2));
    const auto start = std::chrono::steady_clock::now();
    LoadSpriteFile(rt(file("huge.jpg")), 1);
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(RtErrorCode, 3);
    EXPECT_FALSE(g->sprites[1].holdsImage());
    // Refused after a few rows (tens of milliseconds, a few times that on a
    // loaded machine); decoding every row it claims takes over a second.
    EXPECT_LT(spent.count(), 0.5);
}

TEST_F(Gfx2D, AnimFilesGetTheirFrameSize) {
    writePng("sheet.png", imagetest::solid(48, 16, kRed));
    LoadAnimFile(rt(file("sheet.png")), 20, 16, 16);
    EXPECT_EQ(g->sprites[20].frameCount, 3);
    LoadAnimFile(rt(file("sheet.png")), 21, 0, 16);  // width 0: one picture, no frames
    EXPECT_EQ(g->sprites[21].frameCount, 0);
    EXPECT_TRUE(g->sprites[21].holdsImage());
}

TEST_F(Gfx2D, NormalMapsAndTheBackground) {
    writePng("flat.png", imagetest::solid(4, 4, rgba(70, 70, 70)));
    LoadSpriteAsNormalMap(rt(file("flat.png")), 30);
    ASSERT_EQ(RtErrorCode, 0);
    EXPECT_EQ(pixelsOf(30).at(1, 1), rgba(128, 128, 255));
    writePng("back.png", imagetest::solid(2, 2, kGreen));
    LoadBackgroundImage(rt(file("back.png")));
    ASSERT_EQ(RtErrorCode, 0);
    SetSmoothing(0);
    DrawBackground();
    EXPECT_EQ(px(0, 0), kGreen);
    EXPECT_EQ(px(95, 63), kGreen);
}

// The whole texture of a sprite, padding included.
std::vector<uint32_t> textureOf(const SpriteSlot& s) {
    std::vector<uint32_t> pixels;
    EXPECT_TRUE(readTexturePixels(s.texture, s.textureWidth, s.textureHeight, s.textureWidth, s.textureHeight, pixels));
    return pixels;
}

// `image` padded with transparent black to the sides of its texture.
std::vector<uint32_t> padded(const DecodedImage& image) {
    const int32_t tw = textureSideFor(image.width), th = textureSideFor(image.height);
    std::vector<uint32_t> out(static_cast<size_t>(tw) * th, 0);
    for (int32_t y = 0; y < image.height; ++y)
        for (int32_t x = 0; x < image.width; ++x) out[static_cast<size_t>(y) * tw + x] = image.at(x, y);
    return out;
}

TEST_F(Gfx2D, LoadedTexturesHoldTheFilledImageAndTransparentPadding) {
    // Each file as a sprite, and as a normal map, against the file decoded
    // on its own, prepared, and padded.
    DecodedImage keyed = imagetest::gradient(37, 21);
    for (int32_t i = 0; i < 37 * 21; i += 5) keyed.pixels[i] = rgba(255, 0, 128);
    keyed.at(9, 9) = rgba(10, 20, 30, 100);
    keyed.at(10, 9) = rgba(10, 20, 30, 0);
    writePng("keyed.png", keyed);
    writePng("whole.png", imagetest::gradient(32, 16));  // fills its texture
    imagetest::BmpSpec runs;
    runs.width = 5;
    runs.height = 3;
    runs.bitsPerPixel = 8;
    runs.palette = {0x101010, 0xFF0080, 0x00FF00};  // the second is the transparent colour
    const uint8_t data[] = {3, 1, 2, 2, 0, 0, 0, 3, 1, 2, 1, 0, 2, 0, 0, 0, 5, 2, 0, 1};
    runs.runLength.assign(reinterpret_cast<const char*>(data), sizeof data);
    testsupport::writeFileBytes(file("runs.bmp"), imagetest::bmpBytes(runs));
    std::vector<uint8_t> jpeg;
    ASSERT_TRUE(encodeJpeg(imagetest::gradient(20, 18), 85, jpeg));
    testsupport::writeFileBytes(file("photo.jpg"), imagetest::asString(jpeg));
    for (const char* name : {"keyed.png", "whole.png", "runs.bmp", "photo.jpg"}) {
        for (bool normalMap : {false, true}) {
            DecodedImage expected;
            ASSERT_TRUE(loadImageFile(expected, file(name).c_str(), kTransparentColour)) << name;
            fillTransparentPixelColours(expected);
            if (normalMap) convertToNormalMap(expected);
            if (normalMap) LoadSpriteAsNormalMap(rt(file(name)), 40);
            else LoadSpriteFile(rt(file(name)), 40);
            ASSERT_EQ(RtErrorCode, 0) << name;
            const SpriteSlot& s = g->sprites[40];
            EXPECT_EQ(s.width, expected.width) << name;
            EXPECT_EQ(s.hasAlpha, expected.hasAlpha) << name;
            EXPECT_EQ(textureOf(s), padded(expected)) << name << (normalMap ? " as a normal map" : "");
        }
    }
}

TEST_F(Gfx2D, TexturesFromPartsOfImagesHoldThosePartsOnly) {
    // Rectangles that share the image's width or the texture's size, but not
    // its first row, and one past the image's corner.
    DecodedImage image = imagetest::gradient(16, 40);
    const struct {
        int32_t x, y, width, height;
    } rects[] = {{0, 8, 16, 16}, {0, 0, 16, 16}, {3, 30, 20, 20}};
    for (const auto& r : rects) {
        GLuint texture = 0;
        ASSERT_TRUE(createTextureFromImage(image, r.x, r.y, r.width, r.height, &texture, nullptr, false, true));
        const int32_t w = std::min(r.width, 16 - r.x), h = std::min(r.height, 40 - r.y);
        DecodedImage part = imagetest::solid(w, h, 0);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) part.at(x, y) = image.at(r.x + x, r.y + y);
        SpriteSlot s;
        s.texture = texture;
        s.textureWidth = textureSideFor(w);
        s.textureHeight = textureSideFor(h);
        EXPECT_EQ(textureOf(s), padded(part)) << r.x << "," << r.y;
        glDeleteTextures(1, &texture);
    }
}

TEST_F(Gfx2D, FindFreeSpriteSkipsFilledSlots) {
    EXPECT_EQ(FindFreeSprite(), 0);
    put(0, imagetest::solid(1, 1, kRed));
    put(1, imagetest::solid(1, 1, kRed));
    EXPECT_EQ(FindFreeSprite(), 2);
    g->freeSprite(0);
    EXPECT_EQ(FindFreeSprite(), 0);
}

TEST_F(Gfx2D, GrabbingTheWindowIntoASprite) {
    FillRect(10, 10, 4, 4, kRedBgr);
    FillRect(14, 10, 4, 4, kBlueBgr);
    GrabScreenToSprite(40, 10, 10, 8, 4);
    DecodedImage pixels = pixelsOf(40);
    ASSERT_EQ(pixels.width, 8);
    ASSERT_EQ(pixels.height, 4);
    EXPECT_EQ(pixels.at(0, 0), kRed);
    EXPECT_EQ(pixels.at(7, 3), kBlue);
    // Parts outside the window come out transparent black.
    GrabScreenToSprite(41, 94, 62, 4, 4);
    pixels = pixelsOf(41);
    EXPECT_EQ(pixels.at(0, 0), kBlack);
    EXPECT_EQ(pixels.at(3, 3), 0u);
    DrawSprite(40, 50, 50);
    EXPECT_EQ(px(50, 50), kRed);
    EXPECT_EQ(px(57, 53), kBlue);
}

TEST_F(Gfx2D, GrabbingAScreenKeepsItsTransparency) {
    CreateScreen(1, 500, 16, 16);
    SelectScreen(1);
    FillRect(0, 0, 4, 4, kGreenBgr);
    GrabScreenToSprite(42, 2, 2, 4, 4);
    SelectScreen(-1);
    DecodedImage pixels = pixelsOf(42);
    EXPECT_EQ(pixels.at(0, 0), kGreen);
    EXPECT_EQ(pixels.at(3, 3), 0u);
}

TEST_F(Gfx2D, PixelArraysInAndOut) {
    RtArray<int> pixels;
    pixels.dimExact(6);
    for (int i = 0; i < 6; ++i) pixels.data[i] = static_cast<int>(rgba(i * 40, 0, 0));
    EXPECT_TRUE(PixelsToSprite(pixels, 50, 3, 2));
    DrawSprite(50, 0, 0);
    EXPECT_EQ(px(2, 1), rgba(200, 0, 0));
    RtArray<int> back;
    SpriteToPixels(50, back);
    ASSERT_EQ(back.total, 6);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(static_cast<uint32_t>(back.data[i]), rgba(i * 40, 0, 0));
    EXPECT_FALSE(PixelsToSprite(pixels, 51, 3, 3));  // too few elements
    EXPECT_FALSE(PixelsToSprite(pixels, 51, 0, 2));
    EXPECT_FALSE(PixelsToSprite(pixels, 65536, 3, 2));
    RtArray<int> none;
    EXPECT_FALSE(PixelsToSprite(none, 51, 1, 1));
    EXPECT_FALSE(g->sprites[51].holdsImage());
    SpriteToPixels(51, back);
    EXPECT_EQ(back.total, 0);
}

TEST_F(Gfx2D, SpriteNumbersOutsideTheTableRecordSevenInEveryPixelCommand) {
    for (int sprite : {-1, 65536}) {
        RtArray<int> pixels;
        pixels.dimExact(1);
        clearErrorCode();
        EXPECT_FALSE(PixelsToSprite(pixels, sprite, 1, 1));
        EXPECT_EQ(RtErrorCode, 7) << sprite;
        clearErrorCode();
        SpriteToPixels(sprite, pixels);
        EXPECT_EQ(RtErrorCode, 7) << sprite;
        EXPECT_EQ(pixels.total, 0);
        clearErrorCode();
        SaveSpriteToFile(rt(file("bad.png")), sprite);
        EXPECT_EQ(RtErrorCode, 7) << sprite;
    }
}

TEST_F(Gfx2D, SavedSpritesLoadBackInEveryFormat) {
    put(60, imagetest::gradient(10, 7));
    for (const char* name : {"s.png", "s.bmp", "s.jpg"}) {
        SaveSpriteToFile(rt(file(name)), 60);
        ASSERT_EQ(RtErrorCode, 0) << name;
        LoadSpriteFile(rt(file(name)), 61);
        ASSERT_EQ(RtErrorCode, 0) << name;
        DecodedImage back = pixelsOf(61);
        ASSERT_EQ(back.width, 10);
        for (int32_t y = 0; y < 7; ++y)
            for (int32_t x = 0; x < 10; ++x)
                EXPECT_TRUE(near(back.at(x, y), imagetest::gradient(10, 7).at(x, y), name[2] == 'j' ? 24 : 0))
                    << name << " " << x << "," << y;
    }
    SaveSpriteToFile(rt(file("no/folder/s.png")), 60);
    EXPECT_EQ(RtErrorCode, 3);
    clearErrorCode();
    SaveSpriteToFile(rt(file("empty.png")), 62);
    EXPECT_EQ(RtErrorCode, 3);
    EXPECT_FALSE(testsupport::fileExists(file("empty.png")));
}

TEST_F(Gfx2D, AScreenshotAsTheGameTakesIt) {
    FillRect(0, 0, 96, 64, 0x336699);
    int sprite = FindFreeSprite();
    double w = 0, h = 0;
    GetScreenSize(w, h);
    GrabScreenToSprite(sprite, 0, 0, static_cast<int>(w), static_cast<int>(h));
    RtArray<int> pixels;
    SpriteToPixels(sprite, pixels);
    ASSERT_EQ(pixels.total, 96 * 64);
    for (int i = 0; i < pixels.total; ++i) pixels.data[i] |= static_cast<int>(0xFF000000u);
    ASSERT_TRUE(PixelsToSprite(pixels, sprite, 96, 64));
    SaveSpriteToFile(rt(file("shot.png")), sprite);
    ASSERT_EQ(RtErrorCode, 0);
    DecodedImage shot;
    std::string bytes = testsupport::readFileBytes(file("shot.png"));
    ASSERT_TRUE(decodePng(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), {}, shot));
    EXPECT_EQ(shot.width, 96);
    EXPECT_EQ(shot.at(95, 63), rgba(0x99, 0x66, 0x33));
}

}  // namespace
