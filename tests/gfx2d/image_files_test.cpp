// Image files through the runtime's file layer: disk files, "mem://" blocks
// and pack entries in; every format out by the name's extension.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <random>

#include "child_process.h"
#include "file_bytes.h"
#include "gfx2d/image_codecs.h"
#include "gfx2d/image_files.h"
#include "gfx2d/sprite_slot.h"
#include "image_fixtures.h"
#include "runtime/files/lz_codec.h"
#include "runtime/files/mem_blocks.h"
#include "runtime/files/pack_archive.h"
#include "temp_dir.h"

namespace {

using imagetest::rgba;
using testsupport::readFileBytes;
using testsupport::writeFileBytes;

class ImageFiles : public ::testing::Test {
protected:
    std::string path(const char* name) const { return dir.file(name); }
    std::string pngOf(const DecodedImage& image) {
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(encodePng(image, bytes));
        return imagetest::asString(bytes);
    }
    testsupport::TempDir dir;
    testsupport::ScopedEnv tmp{"TMPDIR", dir.path().c_str()};
};

TEST_F(ImageFiles, FormatsAreToldByTheirBytesNotTheirNames) {
    DecodedImage source = imagetest::gradient(3, 3);
    writeFileBytes(path("picture.jpg"), pngOf(source));  // a PNG behind a JPEG name
    std::vector<uint8_t> bmp;
    ASSERT_TRUE(encodeBmp(source, bmp));
    writeFileBytes(path("picture.png"), imagetest::asString(bmp));
    DecodedImage image;
    ASSERT_TRUE(loadImageFile(image, path("picture.jpg").c_str(), kTransparentColour));
    EXPECT_EQ(image.hasAlpha, 1);
    EXPECT_EQ(image.pixels, source.pixels);
    ASSERT_TRUE(loadImageFile(image, path("picture.png").c_str(), kTransparentColour));
    EXPECT_EQ(image.hasAlpha, 0);
    EXPECT_EQ(image.pixels, source.pixels);
    writeFileBytes(path("text.png"), "GIF89a not one of ours");
    EXPECT_FALSE(loadImageFile(image, path("text.png").c_str(), kTransparentColour));
    EXPECT_FALSE(loadImageFile(image, path("missing.png").c_str(), kTransparentColour));
    EXPECT_FALSE(loadImageFile(image, "", kTransparentColour));
    EXPECT_FALSE(loadImageFile(image, nullptr, kTransparentColour));
}

TEST_F(ImageFiles, AJpegIsToldByItsStartOfImageAlone) {
    // Stray bytes may stand between the start-of-image marker and the next.
    std::vector<uint8_t> jpeg;
    ASSERT_TRUE(encodeJpeg(imagetest::gradient(8, 8), 90, jpeg));
    DecodedImage clean;
    ASSERT_TRUE(decodeJpeg(jpeg.data(), jpeg.size(), {}, clean));
    jpeg.insert(jpeg.begin() + 2, {0x00, 0x17, 0x42});
    EXPECT_EQ(ImageFormat::Jpeg, sniffImageFormat(jpeg.data(), jpeg.size()));
    writeFileBytes(path("padded.jpg"), imagetest::asString(jpeg));
    DecodedImage image;
    ASSERT_TRUE(loadImageFile(image, path("padded.jpg").c_str(), kTransparentColour));
    EXPECT_EQ(image.pixels, clean.pixels);
    const uint8_t bare[] = {0xFF, 0xD8};
    EXPECT_EQ(ImageFormat::Jpeg, sniffImageFormat(bare, 2));
    EXPECT_EQ(ImageFormat::Unknown, sniffImageFormat(bare, 1));
    const uint8_t notJpeg[] = {0xFF, 0xD9, 0xFF};
    EXPECT_EQ(ImageFormat::Unknown, sniffImageFormat(notJpeg, 3));
}

TEST_F(ImageFiles, TheTransparentColourAppliesToPngAndBmp) {
    DecodedImage source = imagetest::solid(2, 1, rgba(255, 0, 128));
    source.at(1, 0) = rgba(1, 2, 3);
    writeFileBytes(path("key.png"), pngOf(source));
    std::vector<uint8_t> bmp;
    ASSERT_TRUE(encodeBmp(source, bmp));
    writeFileBytes(path("key.bmp"), imagetest::asString(bmp));
    DecodedImage image;
    for (const char* name : {"key.png", "key.bmp"}) {
        ASSERT_TRUE(loadImageFile(image, path(name).c_str(), kTransparentColour)) << name;
        EXPECT_EQ(image.at(0, 0), rgba(255, 0, 128, 0)) << name;
        EXPECT_EQ(image.at(1, 0), rgba(1, 2, 3)) << name;
    }
    ASSERT_TRUE(loadPngImage(image, path("key.png").c_str(), 0x030201));  // another key
    EXPECT_EQ(image.at(0, 0), rgba(255, 0, 128));
    EXPECT_EQ(image.at(1, 0), rgba(1, 2, 3, 0));
    EXPECT_FALSE(loadBmpImage(image, path("key.png").c_str(), kTransparentColour));
    EXPECT_FALSE(loadJpegImage(image, path("key.png").c_str()));
}

TEST_F(ImageFiles, MemoryBlocksReadLikeFiles) {
    std::string png = pngOf(imagetest::gradient(4, 2));
    uint32_t key = files::registerMemBlock(reinterpret_cast<const uint8_t*>(png.data()), static_cast<uint32_t>(png.size()));
    char name[32];
    files::formatMemBlockName(name, static_cast<uint32_t>(png.size()), key);
    DecodedImage image;
    ASSERT_TRUE(loadImageFile(image, name, kTransparentColour));
    EXPECT_EQ(image.pixels, imagetest::gradient(4, 2).pixels);
    // A name that claims more bytes than the block holds reads nothing.
    char tooLong[32];
    files::formatMemBlockName(tooLong, static_cast<uint32_t>(png.size() + 1), key);
    EXPECT_FALSE(loadImageFile(image, tooLong, kTransparentColour));
    files::unregisterMemBlock(key);
    EXPECT_FALSE(loadImageFile(image, name, kTransparentColour));
}

TEST_F(ImageFiles, PackEntriesLoadWhenNoDiskFileHasTheName) {
    std::string png = pngOf(imagetest::gradient(5, 5));
    auto codec = std::make_unique<LzDecoder>();
    codec->mode = kLzModeLzo;
    ASSERT_GT(lzEncode(*codec, reinterpret_cast<const uint8_t*>(png.data()), static_cast<uint32_t>(png.size())), 0);
    std::string packed(reinterpret_cast<char*>(codec->output), codec->outputLength);
    // data at 0, then the directory, its end byte and the trailer
    std::string pack = packed;
    const std::string entryName = "inpack.png";
    pack.push_back(static_cast<char>(entryName.size()));
    pack += entryName;
    auto le32 = [](uint32_t v) {
        std::string s;
        for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
        return s;
    };
    pack += le32(0) + le32(static_cast<uint32_t>(packed.size())) + std::string(1, '\0');
    pack += "sbX" + le32(static_cast<uint32_t>(packed.size()));
    writeFileBytes(path("game.pack"), pack);
    openPackArchives(RtString(path("game.pack").c_str()), RtString(path("game.pack").c_str()));
    testsupport::ScopedCwd cwd(dir.path());
    DecodedImage image;
    ASSERT_TRUE(loadImageFile(image, "Media/inpack.png", kTransparentColour));
    EXPECT_EQ(image.pixels, imagetest::gradient(5, 5).pixels);
    EXPECT_FALSE(loadImageFile(image, "Media/notinpack.png", kTransparentColour));
    releasePackArchives();
}

TEST_F(ImageFiles, SavingPicksTheFormatByExtension) {
    EXPECT_EQ(saveFormatOfName("a.JPG"), SaveFormat::Jpeg);
    EXPECT_EQ(saveFormatOfName("dir.x/a.jpeg"), SaveFormat::Jpeg);
    EXPECT_EQ(saveFormatOfName("a.Bmp"), SaveFormat::Bmp);
    EXPECT_EQ(saveFormatOfName("a.png"), SaveFormat::Png);
    EXPECT_EQ(saveFormatOfName("noextension"), SaveFormat::Png);
    DecodedImage source = imagetest::gradient(9, 6);
    for (const char* name : {"out.png", "out.bmp", "out.jpg"}) {
        ASSERT_TRUE(saveImageFile(source, path(name).c_str())) << name;
        std::string bytes = readFileBytes(path(name));
        ImageFormat format = sniffImageFormat(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        EXPECT_EQ(format, name[4] == 'p' ? ImageFormat::Png : name[4] == 'b' ? ImageFormat::Bmp : ImageFormat::Jpeg);
        DecodedImage back;
        ASSERT_TRUE(loadImageFile(back, path(name).c_str(), kTransparentColour)) << name;
        EXPECT_EQ(back.width, 9);
        EXPECT_EQ(back.height, 6);
        if (name[4] != 'j') {
            EXPECT_EQ(back.pixels, source.pixels) << name;
        }
    }
}

TEST_F(ImageFiles, SavingRefusesWhatCannotBeWritten) {
    DecodedImage source = imagetest::gradient(2, 2);
    EXPECT_FALSE(saveImageFile(source, "mem://      10.       1"));
    EXPECT_FALSE(saveImageFile(source, path("no/such/folder/x.png").c_str()));
    EXPECT_FALSE(saveImageFile(DecodedImage{}, path("empty.png").c_str()));
    EXPECT_FALSE(testsupport::fileExists(path("empty.png")));
    EXPECT_FALSE(saveImageFile(source, ""));
}

// The image is saved whole: a save that cannot finish (here a file-size
// limit in a child) keeps the old file as it was, with nothing left beside
// it, and says where and why in the error log; one that finishes leaves
// exactly the new bytes. Before, the old file was emptied at the open and
// removed after the failure.
TEST_F(ImageFiles, ASaveThatFailsKeepsTheOldFile) {
    DecodedImage noise;
    noise.width = noise.height = 64;
    std::mt19937 random(7);
    for (int i = 0; i < 64 * 64; ++i) noise.pixels.push_back(static_cast<uint32_t>(random()) | 0xFF000000u);
    const std::string target = path("shot.png");
    const std::string old(3000, 'o');
    writeFileBytes(target, old);
    const testsupport::ChildResult r = testsupport::runInChild([&] {
        testsupport::limitFileSizes(1000);
        std::printf("%d", saveImageFile(noise, target.c_str()) ? 1 : 0);
    });
    ASSERT_TRUE(r.exited);
    EXPECT_EQ("0", r.out);
    EXPECT_EQ(old, readFileBytes(target));
    EXPECT_EQ((std::vector<std::string>{"ErrorLog.txt", "shot.png"}), testsupport::namesInFolder(dir.path()));
    EXPECT_EQ("SaveSpriteToFile: cannot write " + target + ": File too large\n", readFileBytes(path("ErrorLog.txt")));

    const DecodedImage small = imagetest::gradient(2, 2);
    ASSERT_TRUE(saveImageFile(small, target.c_str()));
    EXPECT_EQ(pngOf(small), readFileBytes(target));
}

}  // namespace
