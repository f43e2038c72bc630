// ResolveMediaPath's one change into the media folder.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "game/bridge/device_requests.h"
#include "game/bridge/media_path.h"
#include "runtime/files/file_system.h"
#include "runtime/services/runtime_error.h"
#include "temp_dir.h"

namespace {

using testsupport::ScopedCwd;
using testsupport::TempDir;

std::string workingDir() { return GetCurrentDir().data; }

TEST(MediaPath, TheFirstCallEntersTheMediaFolderOnce) {
    TempDir dir;
    ASSERT_EQ(mkdir(dir.file("Media").c_str(), 0755), 0);
    ASSERT_EQ(mkdir(dir.file("Media/Media").c_str(), 0755), 0);
    ScopedCwd cwd(dir.path());
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
    EXPECT_STREQ(ResolveMediaPath("pop.wav").data, "Media/pop.wav");
    EXPECT_EQ(workingDir(), dir.path() + "/Media/");
}

TEST(MediaPath, MediaCountsFromTheSixthCharacterOn) {
    EXPECT_TRUE(isInsideMediaFolder("/tmp/game/Media/"));
    EXPECT_TRUE(isInsideMediaFolder("/tmp/Media/game/"));
    EXPECT_TRUE(isInsideMediaFolder("/abcdMedia/"));  // begins at the sixth
    EXPECT_FALSE(isInsideMediaFolder("/abcMedia/"));  // begins at the fifth
    EXPECT_FALSE(isInsideMediaFolder("/Media/"));
    EXPECT_FALSE(isInsideMediaFolder("/tmp/game/Media"));   // no "/" behind it
    EXPECT_FALSE(isInsideMediaFolder("/tmp/game/media/"));  // letter case counts
    EXPECT_FALSE(isInsideMediaFolder(""));
}

TEST(MediaPath, AMissingMediaFolderRecordsNoSuchFileAndIsNotTriedAgain) {
    TempDir dir;
    ScopedCwd cwd(dir.path());
    EXPECT_STREQ(ResolveMediaPath("a.png").data, "Media/a.png");
    EXPECT_EQ(RtErrorCode, 3);
    EXPECT_EQ(workingDir(), dir.path() + "/");
    clearErrorCode();
    ASSERT_EQ(mkdir("Media", 0755), 0);
    ResolveMediaPath("b.png");
    EXPECT_EQ(RtErrorCode, 0);
    EXPECT_EQ(workingDir(), dir.path() + "/");
}

}  // namespace
