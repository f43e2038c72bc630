// The progress and settings file: its exact bytes, the round trip, and the
// damaged, missing and unwritable files that must not end the game.
#include <sys/stat.h>

#include "child_process.h"
#include "file_bytes.h"
#include "game/world/config_file.h"
#include "runtime/files/error_log.h"
#include "world_fixture.h"

namespace worldtest {
namespace {

class ConfigFile : public WorldTest {
protected:
    ConfigFile() {
        CONFIG_FILE = RtString(file("DocumentsShoalrunner.cfg").c_str());
        LEVEL = 0;
        OVERSCAN_H = OVERSCAN_V = 0;
        MUSIC_VOLUME = 0.5;
        PLAY_MODE = 0;
    }
    std::string saved() const { return testsupport::visible(testsupport::readFileBytes(file("DocumentsShoalrunner.cfg"))); }
    void writeConfig(const std::string& bytes) { testsupport::writeFileBytes(file("DocumentsShoalrunner.cfg"), bytes); }
};

TEST_F(ConfigFile, SaveWritesFourLinesEndedByCrLf) {
    LEVEL = 7;
    OVERSCAN_H = 12;
    OVERSCAN_V = 34;
    MUSIC_VOLUME = 0.7;
    SaveConfig();
    EXPECT_EQ(saved(), testsupport::visible("7\r\n12\r\n34\r\n0.7\r\n"));
}

TEST_F(ConfigFile, WholeVolumesAreWrittenWithoutAPoint) {
    MUSIC_VOLUME = 1.0;
    SaveConfig();
    EXPECT_EQ(saved(), testsupport::visible("0\r\n0\r\n0\r\n1\r\n"));
    MUSIC_VOLUME = 0.0;
    SaveConfig();
    EXPECT_EQ(saved(), testsupport::visible("0\r\n0\r\n0\r\n0\r\n"));
}

TEST_F(ConfigFile, SavingTwiceWritesTheSameFourLines) {
    LEVEL = 3;
    SaveConfig();
    SaveConfig();
    EXPECT_EQ(saved(), testsupport::visible("3\r\n0\r\n0\r\n0.5\r\n"));
}

TEST_F(ConfigFile, WhatIsSavedIsLoadedAgain) {
    LEVEL = 29;
    OVERSCAN_H = 50;
    OVERSCAN_V = 1;
    MUSIC_VOLUME = 0.25;
    SaveConfig();
    LEVEL = OVERSCAN_H = OVERSCAN_V = 0;
    MUSIC_VOLUME = 0.5;
    LoadConfig();
    EXPECT_EQ(LEVEL, 29);
    EXPECT_EQ(OVERSCAN_H, 50);
    EXPECT_EQ(OVERSCAN_V, 1);
    EXPECT_DOUBLE_EQ(MUSIC_VOLUME, 0.25);
    EXPECT_EQ(PLAY_MODE, 1);
}

TEST_F(ConfigFile, WithoutAFileOnlyThePlayModeChanges) {
    LEVEL = 4;
    OVERSCAN_H = 6;
    LoadConfig();
    EXPECT_EQ(LEVEL, 4);
    EXPECT_EQ(OVERSCAN_H, 6);
    EXPECT_EQ(OVERSCAN_V, 0);
    EXPECT_DOUBLE_EQ(MUSIC_VOLUME, 0.5);
    EXPECT_EQ(PLAY_MODE, 1);
}

TEST_F(ConfigFile, MissingLinesKeepTheirValues) {
    writeConfig("5\r\n10\r\n");
    LoadConfig();
    EXPECT_EQ(LEVEL, 5);
    EXPECT_EQ(OVERSCAN_H, 10);
    EXPECT_EQ(OVERSCAN_V, 0);
    EXPECT_DOUBLE_EQ(MUSIC_VOLUME, 0.5);
    EXPECT_EQ(PLAY_MODE, 1);
}

TEST_F(ConfigFile, AnEmptyFileKeepsEverything) {
    writeConfig("");
    LEVEL = 2;
    LoadConfig();
    EXPECT_EQ(LEVEL, 2);
    EXPECT_DOUBLE_EQ(MUSIC_VOLUME, 0.5);
    EXPECT_EQ(PLAY_MODE, 1);
}

TEST_F(ConfigFile, ALastLineWithoutItsEndIsRead) {
    writeConfig("3\r\n1\r\n2\r\n0.75");
    LoadConfig();
    EXPECT_EQ(LEVEL, 3);
    EXPECT_EQ(OVERSCAN_H, 1);
    EXPECT_EQ(OVERSCAN_V, 2);
    EXPECT_DOUBLE_EQ(MUSIC_VOLUME, 0.75);
}

TEST_F(ConfigFile, ValuesOutOfRangeAreHeldToTheirLimits) {
    writeConfig("99\r\n70\r\n-3\r\n4.5\r\n");
    LoadConfig();
    EXPECT_EQ(LEVEL, 30);
    EXPECT_EQ(OVERSCAN_H, 50);
    EXPECT_EQ(OVERSCAN_V, 0);
    EXPECT_DOUBLE_EQ(MUSIC_VOLUME, 1.0);

    writeConfig("-1\r\n-8\r\n51\r\n-0.5\r\n");
    LoadConfig();
    EXPECT_EQ(LEVEL, 0);
    EXPECT_EQ(OVERSCAN_H, 0);
    EXPECT_EQ(OVERSCAN_V, 50);
    EXPECT_DOUBLE_EQ(MUSIC_VOLUME, 0.0);
}

TEST_F(ConfigFile, TextThatIsNoNumberReadsAsZero) {
    writeConfig("abc\r\n7x\r\n \r\nloud\r\n");
    LoadConfig();
    EXPECT_EQ(LEVEL, 0);
    EXPECT_EQ(OVERSCAN_H, 7);
    EXPECT_EQ(OVERSCAN_V, 0);
    EXPECT_DOUBLE_EQ(MUSIC_VOLUME, 0.0);
}

TEST_F(ConfigFile, ASaveThatFailsIsLoggedAndPlayGoesOn) {
    CONFIG_FILE = RtString(file("no such folder/Shoalrunner.cfg").c_str());
    SaveConfig();
    EXPECT_EQ(testsupport::readFileBytes(errorLogPath().data),
              "SaveConfig: cannot write " + file("no such folder/Shoalrunner.cfg") + ": No such file or directory\n");
}

TEST_F(ConfigFile, ASaveOverADirectoryIsLoggedAndLeavesIt) {
    ::mkdir(file("DocumentsShoalrunner.cfg").c_str(), 0755);
    ::mkdir(file("DocumentsShoalrunner.cfg/inside").c_str(), 0755);
    SaveConfig();
    EXPECT_EQ(testsupport::readFileBytes(errorLogPath().data),
              "SaveConfig: cannot write " + file("DocumentsShoalrunner.cfg") + ": Directory not empty\n");
    struct stat info {};
    ASSERT_EQ(::stat(file("DocumentsShoalrunner.cfg/inside").c_str(), &info), 0);
}

// A save that fails part-way (a full disk) keeps the old file whole, with
// no new file left beside it, and the game goes on. Before, the old file
// was gone and a truncated one stood in its place.
TEST_F(ConfigFile, ASaveThatFailsPartWayKeepsTheOldFile) {
    writeConfig("7\r\n12\r\n34\r\n0.7\r\n");
    LEVEL = 8;
    const testsupport::ChildResult r = testsupport::runInChild([] {
        testsupport::limitFileSizes(5);
        SaveConfig();
    });
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(saved(), testsupport::visible("7\r\n12\r\n34\r\n0.7\r\n"));
    // Nothing half-made beside it (the log is where the failure is told).
    EXPECT_EQ(testsupport::namesInFolder(file("")),
              (std::vector<std::string>{"DocumentsShoalrunner.cfg", "ErrorLog.txt"}));
}

}  // namespace
}  // namespace worldtest
