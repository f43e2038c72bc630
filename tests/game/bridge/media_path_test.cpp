// ResolveMediaPath's one change into the media folder, and the rule that
// tells a media folder.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "game/bridge/device_requests.h"
#include "game/bridge/media_path.h"
#include "runtime/files/file_system.h"
#include "runtime/services/runtime_error.h"
#include "file_bytes.h"
#include "temp_dir.h"

namespace {

using testsupport::readFileBytes;
using testsupport::ScopedCwd;
using testsupport::TempDir;

std::string workingDir() { return GetCurrentDir().data; }

TEST(MediaPath, TheFirstCallEntersTheMediaFolderOnce) {
    TempDir dir;
    ASSERT_EQ(mkdir(dir.file("Media").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(dir.file("Media/Media").c_str(), 0755), 0);
    ScopedCwd cwd(dir.path());
    resetMediaFolderCheck();
    EXPECT_STREQ(ResolveMediaPath("tiles.png").data, "Media/tiles.png");
    EXPECT_EQ(workingDir(), dir.path() + "/Media/");
    ASSERT_EQ(mkdir("Other", 0755), 0);
    RtString other("Other");
    SetCurrentDir(other);
    EXPECT_STREQ(ResolveMediaPath("Data/shol3.dat").data, "Media/Data/shol3.dat");
    EXPECT_EQ(workingDir(), dir.path() + "/Media/Other/");  // no second change
    EXPECT_STREQ(ResolveMediaPath("").data, "Media/");
}

TEST(MediaPath, AFolderAlreadyInsideMediaStays) {
    TempDir dir;
    ASSERT_EQ(mkdir(dir.file("Media").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(dir.file("Media/Media").c_str(), 0755), 0);
    ScopedCwd cwd(dir.file("Media"));
    resetMediaFolderCheck();
    EXPECT_STREQ(ResolveMediaPath("pop.wav").data, "Media/pop.wav");
    EXPECT_EQ(workingDir(), dir.path() + "/Media/");
}

TEST(MediaPath, OnlyAFolderNamedMediaOrOneWithoutMediaBesideItCountsAsInside) {
    TempDir dir;
    for (const char* folder : {"Media", "Media/Games", "Media/Games/shoalrunner", "Media/Games/shoalrunner/Media",
                               "Other", "Other/Media", "Other/NotMedia", "Other/NotMedia/Media"}) {
        ASSERT_EQ(mkdir(dir.file(folder).c_str(), 0755), 0) << folder;
    }
    struct Case {
        const char* folder;  // under the test folder, ending in "/"
        bool inside;
    };
    const Case cases[] = {
        {"Media/Games/shoalrunner/", false},  // a Media folder beside the program, Media further up
        {"Media/Games/shoalrunner/Media/", true},
        {"Media/Games/shoalrunner/Media", true},
        {"Media/Games/", true},  // nothing to enter
        {"Other/", false},
        {"Other/Media/", true},
        {"Other/NotMedia/", false},  // a last name that only ends in "Media"
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isInsideMediaFolder(RtString((dir.path() + "/" + c.folder).c_str())), c.inside) << c.folder;
    }
    EXPECT_TRUE(isInsideMediaFolder("Media/"));
}

TEST(MediaPath, AGameKeptUnderAFolderNamedMediaEntersItsOwnMediaFolder) {
    TempDir dir;
    const std::string game = dir.file("Media/Games/shoalrunner");
    ASSERT_EQ(mkdir(dir.file("Media").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(dir.file("Media/Games").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(game.c_str(), 0755), 0);
    ASSERT_EQ(mkdir((game + "/Media").c_str(), 0755), 0);
    testsupport::ScopedEnv tmp("TMPDIR", dir.path().c_str());
    ScopedCwd cwd(game);
    resetMediaFolderCheck();
    ResolveMediaPath("title.png");
    EXPECT_EQ(workingDir(), game + "/Media/");
    EXPECT_NE(readFileBytes(dir.file("ErrorLog.txt")).find("Media folder: " + game + "/Media/\n"), std::string::npos);
}

TEST(MediaPath, WithoutAMediaFolderTheWorkingDirectoryStaysAndIsNamed) {
    TempDir dir;
    testsupport::ScopedEnv tmp("TMPDIR", dir.path().c_str());
    ScopedCwd cwd(dir.path());
    resetMediaFolderCheck();
    clearErrorCode();
    EXPECT_STREQ(ResolveMediaPath("a.png").data, "Media/a.png");
    EXPECT_EQ(RtErrorCode, 0);
    EXPECT_EQ(workingDir(), dir.path() + "/");
    EXPECT_NE(readFileBytes(dir.file("ErrorLog.txt")).find("Media folder: " + dir.path() + "/\n"), std::string::npos);
    ASSERT_EQ(mkdir("Media", 0755), 0);
    ResolveMediaPath("b.png");  // not tried again
    EXPECT_EQ(workingDir(), dir.path() + "/");
}

}  // namespace
