// The generators rebuild the same files from the sources, byte for byte.
#include <gtest/gtest.h>

#include "file_bytes.h"
#include "generator_run.h"
#include "media_table.h"
#include "temp_dir.h"

using mediatest::runGenerator;
using testsupport::readFileBytes;

TEST(MediaReproducible, PicturesComeOutTheSameOnASecondRun) {
    testsupport::TempDir out;
    auto r = runGenerator(mediatest::pixelsProgram(), {mediatest::mediaSource("art/index.txt"), out.path()});
    ASSERT_EQ(0, r.exitStatus) << r.err;
    for (const auto& s : mediatable::kImages) {
        std::string again = readFileBytes(out.file(s.file));
        ASSERT_FALSE(again.empty()) << s.file;
        EXPECT_TRUE(again == readFileBytes(mediatable::mediaFile(s.file))) << s.file;
    }
}

TEST(MediaReproducible, SoundsComeOutTheSameOnASecondRun) {
    testsupport::TempDir out;
    auto r = runGenerator(mediatest::sfxProgram(), {mediatest::mediaSource("sound/effects.txt"), out.path()});
    ASSERT_EQ(0, r.exitStatus) << r.err;
    for (const auto& s : mediatable::kSounds) {
        std::string again = readFileBytes(out.file(s.file));
        ASSERT_FALSE(again.empty()) << s.file;
        EXPECT_TRUE(again == readFileBytes(mediatable::mediaFile(s.file))) << s.file;
    }
}

TEST(MediaReproducible, MusicComesOutTheSameOnASecondRun) {
    testsupport::TempDir out;
    auto r = runGenerator(mediatest::musicProgram(), {mediatest::mediaSource("music/shoalrunner.txt"), out.path()});
    ASSERT_EQ(0, r.exitStatus) << r.err;
    std::string again = readFileBytes(out.file(mediatable::kMusicFile));
    ASSERT_FALSE(again.empty());
    EXPECT_TRUE(again == readFileBytes(mediatable::mediaFile(mediatable::kMusicFile)));
}
