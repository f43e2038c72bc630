// The start-up's font 0 is looked for through the file context: on disk, in
// either letter case, and in the pack appended to the executable.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "file_bytes.h"
#include "runtime/files/pack_archive.h"
#include "shell/engine_startup.h"
#include "temp_dir.h"

namespace {

using namespace testsupport;

// An archive whose pack holds one entry (its bytes need not decode: an entry
// that is there counts as found).
std::string packHolding(const std::string& entryName) {
    auto le32 = [](int32_t v) {
        std::string out(4, '\0');
        for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
        return out;
    };
    std::string archive = "entry bytes";
    const int32_t directory = static_cast<int32_t>(archive.size());
    archive += static_cast<char>(entryName.size()) + entryName + le32(0) + le32(11) + std::string(1, '\0');
    return archive + "sbX" + le32(directory);
}

class StartupFont : public ::testing::Test {
protected:
    void TearDown() override { releasePackArchives(); }
    TempDir dir;
    ScopedEnv tmp{"TMPDIR", dir.path().c_str()};
    ScopedCwd cwd{dir.path()};
};

TEST_F(StartupFont, NoneFoundWithoutDiskFileOrPackEntry) {
    writeFileBytes(dir.file("other.bin"), packHolding("bigfont.png"));
    openPackArchives(RtString(dir.file("other.bin").c_str()), RtString(""));
    EXPECT_EQ(findStartupFontFile(), nullptr);
}

TEST_F(StartupFont, TheFirstNameOnDiskWinsInAnyLetterCase) {
    ASSERT_EQ(mkdir(dir.file("Media").c_str(), 0700), 0);
    writeFileBytes(dir.file("SMALFONT.PNG"), "x");
    writeFileBytes(dir.file("Media/smalfont.bmp"), "x");
    EXPECT_STREQ(findStartupFontFile(), "Media/smalfont.bmp");
    std::remove(dir.file("Media/smalfont.bmp").c_str());
    EXPECT_STREQ(findStartupFontFile(), "smalfont.png");
}

TEST_F(StartupFont, APackEntryIsFoundWhenTheDiskHasNone) {
    writeFileBytes(dir.file("game.bin"), packHolding("smalfont.bmp"));
    openPackArchives(RtString(dir.file("game.bin").c_str()), RtString(""));
    // The pack is searched by the base name, so the folder's name finds it first.
    EXPECT_STREQ(findStartupFontFile(), "Media/smalfont.bmp");
}

}  // namespace
