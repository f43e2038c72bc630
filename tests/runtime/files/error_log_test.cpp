// The error log: its exact bytes, the "NULL" text, the path rule, the
// five-attempt open against a holder of the file, and the temporary folder.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file_bytes.h"
#include "platform/log_sink.h"
#include "runtime/files/error_log.h"
#include "runtime/files/temp_folder.h"
#include "temp_dir.h"

using testsupport::readFileBytes;
using testsupport::ScopedEnv;
using testsupport::TempDir;

TEST(TemporaryFolder, IsTmpdirWithOneSlashOrElseTmp) {
    TempDir dir;
    const std::string plain = dir.file("plain");
    testsupport::writeFileBytes(plain, "x");
    const std::string slashed = dir.path() + "/";
    const std::pair<const char*, std::string> cases[] = {
        {dir.path().c_str(), slashed}, {slashed.c_str(), slashed}, {"", "/tmp/"}, {nullptr, "/tmp/"},
        {"/no/such/folder", "/tmp/"},  {plain.c_str(), "/tmp/"},
    };
    for (const auto& [tmpdir, expected] : cases) {
        ScopedEnv env("TMPDIR", tmpdir);
        EXPECT_EQ(expected, temporaryFolder().data) << (tmpdir ? tmpdir : "(unset)");
    }
}

TEST(ErrorLogPath, HasExactlyOneSlashBeforeTheFileName) {
    TempDir dir;
    ScopedEnv env("TMPDIR", dir.path().c_str());
    EXPECT_STREQ((dir.path() + "/ErrorLog.txt").c_str(), errorLogPath().data);
    ScopedEnv withSlash("TMPDIR", (dir.path() + "/").c_str());
    EXPECT_STREQ((dir.path() + "/ErrorLog.txt").c_str(), errorLogPath().data);
}

TEST(ErrorLogAppend, WritesExactlyTheBytesGivenAndNullAsNULL) {
    TempDir dir;
    ScopedEnv env("TMPDIR", dir.path().c_str());
    appendToErrorLog("first\n");
    appendToErrorLog("second\n");
    appendToErrorLog(nullptr);
    appendToErrorLog("no line end");
    EXPECT_EQ("first\nsecond\nNULLno line end", readFileBytes(dir.file("ErrorLog.txt")));
}

TEST(ErrorLogAppend, AnEmptyTextCreatesTheFileAndWritesNothing) {
    TempDir dir;
    ScopedEnv env("TMPDIR", dir.path().c_str());
    appendToErrorLog("");
    ASSERT_TRUE(testsupport::fileExists(dir.file("ErrorLog.txt")));
    EXPECT_EQ("", readFileBytes(dir.file("ErrorLog.txt")));
}

TEST(ErrorLogAppend, GivesUpWhileAnotherWriterHoldsTheLog) {
    TempDir dir;
    ScopedEnv env("TMPDIR", dir.path().c_str());
    appendToErrorLog("before\n");
    int holder = open(dir.file("ErrorLog.txt").c_str(), O_WRONLY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(0, flock(holder, LOCK_EX));
    appendToErrorLog("lost\n");
    close(holder);
    appendToErrorLog("after\n");
    EXPECT_EQ("before\nafter\n", readFileBytes(dir.file("ErrorLog.txt")));
}

TEST(ErrorLogAppend, NeverWritesThroughASymbolicLink) {
    TempDir dir;
    ScopedEnv env("TMPDIR", dir.path().c_str());
    testsupport::writeFileBytes(dir.file("victim"), "keep");
    ASSERT_EQ(0, symlink(dir.file("victim").c_str(), dir.file("ErrorLog.txt").c_str()));
    appendToErrorLog("redirected\n");
    EXPECT_EQ("keep", readFileBytes(dir.file("victim")));
}

TEST(ErrorLogRecreate, StartsTheLogAgainWithItsFirstLine) {
    TempDir dir;
    ScopedEnv env("TMPDIR", dir.path().c_str());
    appendToErrorLog("old run\n");
    recreateErrorLog();
    appendToErrorLog("Init Finalized\n");
    EXPECT_EQ("Start new log...\nInit Finalized\n", readFileBytes(dir.file("ErrorLog.txt")));
}

TEST(ErrorLogRecreate, RemovesAnEmptyDirectoryOfTheLogsName) {
    TempDir dir;
    ScopedEnv env("TMPDIR", dir.path().c_str());
    mkdir(dir.file("ErrorLog.txt").c_str(), 0755);
    recreateErrorLog();
    EXPECT_EQ("Start new log...\n", readFileBytes(dir.file("ErrorLog.txt")));
}

TEST(ErrorLogRecreate, FromThenOnThePlatformsLinesGoToTheLog) {
    TempDir dir;
    ScopedEnv env("TMPDIR", dir.path().c_str());
    platform::setLogSink(nullptr);
    platform::logText("dropped: no sink yet\n");
    recreateErrorLog();
    platform::logText("Sound output failed: no device\n");
    platform::setLogSink(nullptr);
    platform::logText("dropped again\n");
    EXPECT_EQ("Start new log...\nSound output failed: no device\n", readFileBytes(dir.file("ErrorLog.txt")));
}
