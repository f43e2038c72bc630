// The progress and settings file: its exact bytes, the round trip, and the
// damaged, missing and unwritable files that must not end the game.
#include <sys/stat.h>

#include <string>

#include "child_process.h"
#include "file_bytes.h"
#include "game/world/config_file.h"
#include "platform/system_info.h"
#include "runtime/files/error_log.h"
#include "runtime/files/file_channels.h"
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
    static std::string text(const RtString& s) { return std::string(s.data, s.length); }
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

// A line that is not a number keeps the value its setting had (at start
// the default), and the next save writes that value. Before, such a line
// read as 0: a damaged volume line silenced the music, and the file was
// then saved as 0/0/0/0.
TEST_F(ConfigFile, ALineThatIsNoNumberKeepsItsSettingsValue) {
    const char* const damaged[] = {"abc", "7x", " ", "", "NaN", "nan", "inf", "-Infinity", "0x1A", "1,5",
                                   "\xFF", "+", "-", ".", "1e", "1e+", "e5", "--1", "1 2", "\0015"};  // byte 1, then 5
    for (const char* line : damaged) {
        const std::string l(line);
        writeConfig(l + "\r\n" + l + "\r\n" + l + "\r\n" + l + "\r\n");
        LEVEL = 4;
        OVERSCAN_H = 6;
        OVERSCAN_V = 8;
        MUSIC_VOLUME = 0.5;
        LoadConfig();
        EXPECT_EQ(LEVEL, 4) << testsupport::visible(line);
        EXPECT_EQ(OVERSCAN_H, 6) << testsupport::visible(line);
        EXPECT_EQ(OVERSCAN_V, 8) << testsupport::visible(line);
        EXPECT_EQ(MUSIC_VOLUME, 0.5) << testsupport::visible(line);
    }
    // Bytes 0xFF 0x00 as the volume line, the others whole.
    writeConfig(std::string("3\r\n1\r\n2\r\n\xFF\x00\r\n", 13));
    MUSIC_VOLUME = 0.5;
    LoadConfig();
    EXPECT_EQ(LEVEL, 3);
    EXPECT_EQ(OVERSCAN_V, 2);
    EXPECT_EQ(MUSIC_VOLUME, 0.5);
    SaveConfig();
    EXPECT_EQ(saved(), testsupport::visible("3\r\n1\r\n2\r\n0.5\r\n"));
}

// A number may stand between blanks, carry a sign, a point and an exponent;
// the whole settings take it cut toward zero; out of range it is held to the
// setting's limits as before.
TEST_F(ConfigFile, NumbersMayHaveBlanksASignAPointAndAnExponent) {
    writeConfig(" 12 \r\n\t+7\t\r\n3.9\r\n  .25  \r\n");
    LoadConfig();
    EXPECT_EQ(LEVEL, 12);
    EXPECT_EQ(OVERSCAN_H, 7);
    EXPECT_EQ(OVERSCAN_V, 3);
    EXPECT_EQ(MUSIC_VOLUME, 0.25);

    writeConfig("2e1\r\n-0\r\n5.\r\n7E-1\r\n");
    LoadConfig();
    EXPECT_EQ(LEVEL, 20);
    EXPECT_EQ(OVERSCAN_H, 0);
    EXPECT_EQ(OVERSCAN_V, 5);
    EXPECT_EQ(MUSIC_VOLUME, 0.7);

    writeConfig("0\r\n0\r\n0\r\n-0\r\n");
    LoadConfig();
    SaveConfig();
    EXPECT_EQ(saved(), testsupport::visible("0\r\n0\r\n0\r\n0\r\n")) << "no volume of minus zero";

    // Far out of range, beyond 32 bits and beyond the doubles.
    writeConfig("99999999999999999999\r\n-4294967296\r\n1e999\r\n-1e999\r\n");
    LoadConfig();
    EXPECT_EQ(LEVEL, 30);
    EXPECT_EQ(OVERSCAN_H, 0);
    EXPECT_EQ(OVERSCAN_V, 50);
    EXPECT_EQ(MUSIC_VOLUME, 0.0);

    // A line ended by LF alone, or with a stray CR before its CR LF.
    writeConfig("6\n9\r\r\n10\r\n1e0");
    LoadConfig();
    EXPECT_EQ(LEVEL, 6);
    EXPECT_EQ(OVERSCAN_H, 9);
    EXPECT_EQ(OVERSCAN_V, 10);
    EXPECT_EQ(MUSIC_VOLUME, 1.0);
}

// The options' save keeps the level line the file holds; a damaged one keeps
// the level of the game instead.
TEST_F(ConfigFile, TheSettingsSaveKeepsTheLevelOnlyWhenTheFileHoldsANumber) {
    writeConfig(" 9 \r\n0\r\n0\r\n0.5\r\n");
    LEVEL = 2;
    SaveSettings();
    EXPECT_EQ(saved(), testsupport::visible("9\r\n0\r\n0\r\n0.5\r\n"));
    writeConfig("level nine\r\n0\r\n0\r\n0.5\r\n");
    SaveSettings();
    EXPECT_EQ(saved(), testsupport::visible("2\r\n0\r\n0\r\n0.5\r\n"));
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
              "SaveConfig: cannot write " + file("DocumentsShoalrunner.cfg") + ": Is a directory\n");
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

// A file that another instance is saving (it holds the file alone) is waited
// for; one still held after about a second is not read as missing, and this
// run saves nothing over it until a load reads it. Before, it read as no
// file, and the next save wrote level 1 over level 25.
TEST_F(ConfigFile, AFileThatCannotBeReadIsNotSavedOver) {
    writeConfig("25\r\n0\r\n0\r\n0.5\r\n");
    ASSERT_EQ(1, OpenFile(7, CONFIG_FILE, -1));
    LoadConfig();
    CloseFile(7);
    EXPECT_EQ(LEVEL, 0);
    LEVEL = 1;
    SaveConfig();
    EXPECT_EQ(saved(), testsupport::visible("25\r\n0\r\n0\r\n0.5\r\n"));
    EXPECT_EQ(testsupport::readFileBytes(errorLogPath().data),
              "Progress file: cannot read " + file("DocumentsShoalrunner.cfg") +
                  " (busy or not readable); it is not saved over in this run\n");
    LoadConfig();
    EXPECT_EQ(LEVEL, 25);
}

// The path: the documents folder's path followed directly by the name; where
// the folder is unknown ("NO_DATA"), the name in the program's folder, said
// once in the error log. Before, "NO_DATA" was taken as the start of the
// name, and the file landed in the working folder as NO_DATAShoalrunner.cfg.
TEST_F(ConfigFile, ThePathFollowsTheDocumentsFolderOrLiesBesideTheProgram) {
    EXPECT_EQ(text(configFilePath(RtString("/home/reef/Documents"))), "/home/reef/DocumentsShoalrunner.cfg");
    EXPECT_EQ(testsupport::readFileBytes(errorLogPath().data).find("Shoalrunner.cfg"), std::string::npos);
    const std::string beside = platform::executableFolder() + "/Shoalrunner.cfg";
    ASSERT_EQ(beside.front(), '/');
    EXPECT_EQ(text(configFilePath(RtString("NO_DATA"))), beside);
    const std::string log = testsupport::readFileBytes(errorLogPath().data);
    const std::string line = "Progress file: no documents folder; kept beside the program as " + beside + "\n";
    EXPECT_NE(log.find(line), std::string::npos) << log;
    EXPECT_EQ(log.find(line), log.rfind(line)) << "said once";
    EXPECT_EQ(text(configFilePath(RtString(""))), beside);
}

}  // namespace
}  // namespace worldtest
