// The error log: its exact bytes, the "NULL" text, the path rule, lines of
// several programs at once, the temporary folder, and another user's files
// in a shared one.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <regex>
#include <set>
#include <sstream>
#include <vector>

#include "child_process.h"
#include "file_bytes.h"
#include "platform/log_sink.h"
#include "runtime/files/error_log.h"
#include "runtime/files/temp_folder.h"
#include "temp_dir.h"

using testsupport::readFileBytes;
using testsupport::ScopedEnv;
using testsupport::TempDir;
using testsupport::visible;
using testsupport::writeFileBytes;

TEST(TemporaryFolder, IsTmpdirWithOneSlashOrElseTheUsersOwnFolder) {
    TempDir dir;
    const std::string plain = dir.file("plain");
    writeFileBytes(plain, "x");
    const std::string slashed = dir.path() + "/";
    const std::string own = "/tmp/vantric-" + std::to_string(geteuid()) + "/";
    const std::pair<const char*, std::string> cases[] = {
        {dir.path().c_str(), slashed}, {slashed.c_str(), slashed}, {"", own}, {nullptr, own},
        {"/no/such/folder", own},      {plain.c_str(), own},
    };
    for (const auto& [tmpdir, expected] : cases) {
        ScopedEnv env("TMPDIR", tmpdir);
        EXPECT_EQ(expected, temporaryFolder().data) << (tmpdir ? tmpdir : "(unset)");
    }
    struct stat st;
    ASSERT_EQ(0, lstat(own.c_str(), &st));
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(geteuid(), st.st_uid);
    EXPECT_EQ(0700u, st.st_mode & 0777);
}

// In the shared /tmp (a fresh one of the child's own) another user left a
// FIFO or a file anyone may write named ErrorLog.txt, and took the name of
// the user's own folder: a user's program waits on none of them and writes
// into none, whether $TMPDIR is unset or names that folder itself.
TEST(ErrorLogFolder, AnotherUsersFilesInTheSharedFolderAreNeitherWaitedOnNorWritten) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to mount a /tmp and to be another user";
    for (const bool fifo : {true, false}) {
        for (const char* tmpdir : {static_cast<const char*>(nullptr), "/tmp"}) {
            testsupport::ChildResult r = testsupport::runInChild([&] {
                alarm(10);  // a hang ends the child
                const char* theirs = "/tmp/ErrorLog.txt";
                if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                    mount("tmpfs", "/tmp", "tmpfs", 0, "mode=1777") != 0)
                    std::_Exit(3);
                if (fifo) mkfifo(theirs, 0666);
                else writeFileBytes(theirs, "theirs");
                mkdir("/tmp/vantric-65534", 0777);
                if (chmod(theirs, 0666) != 0 || chmod("/tmp/vantric-65534", 0777) != 0 || setgroups(0, nullptr) != 0 ||
                    setgid(65534) != 0 || setuid(65534) != 0)
                    std::_Exit(4);
                if (tmpdir) setenv("TMPDIR", tmpdir, 1);
                else unsetenv("TMPDIR");
                recreateErrorLog();
                appendToErrorLog("mine\n");
                struct stat st;
                const std::string log = errorLogPath().data;
                std::printf("%s|%s|%s|%s", lstat(theirs, &st) == 0 && S_ISFIFO(st.st_mode) ? "fifo" : readFileBytes(theirs).c_str(),
                            log.c_str(), log == theirs ? "" : readFileBytes(log).c_str(),
                            readFileBytes("/tmp/vantric-65534/ErrorLog.txt").c_str());
            });
            if (r.exited && r.exitStatus == 3) GTEST_SKIP() << "cannot mount a /tmp of the test's own here";
            const std::string which = std::string(fifo ? "FIFO" : "file") + ", TMPDIR " + (tmpdir ? tmpdir : "unset");
            ASSERT_TRUE(r.exited) << which << ": ended by signal " << r.signal;
            ASSERT_EQ(0, r.exitStatus) << which;
            const std::string untouched = fifo ? "fifo" : "theirs";
            const std::string expected =
                tmpdir ? R"(\|/tmp/ErrorLog\.txt\|\|)" : R"(\|/tmp/vantric-65534-\w{6}/ErrorLog\.txt\|Start new log\.\.\.\nmine\n\|)";
            EXPECT_TRUE(std::regex_match(r.out, std::regex(untouched + expected))) << which << ": " << visible(r.out);
        }
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

// Four programs log at once, while another holds the log open and locked:
// every line lands, whole and on its own. Before, an append gave up after
// five tries while another writer held the log, and lines were lost.
TEST(ErrorLogAppend, LinesOfSeveralProgramsAtOnceAllLandWhole) {
    TempDir dir;
    ScopedEnv env("TMPDIR", dir.path().c_str());
    appendToErrorLog("");
    const int holder = open(dir.file("ErrorLog.txt").c_str(), O_WRONLY);
    ASSERT_EQ(0, flock(holder, LOCK_EX));
    constexpr int kPrograms = 4, kLines = 2000;
    int go[2];
    ASSERT_EQ(0, pipe(go));
    std::vector<testsupport::StartedChild> programs;
    for (int p = 0; p < kPrograms; ++p) {
        programs.push_back(testsupport::startChild([p, &go] {
            close(go[1]);
            char none;
            if (read(go[0], &none, 1) != 0) return;  // all start when the test lets go
            for (int n = 0; n < kLines; ++n) {
                appendToErrorLog(("program " + std::to_string(p) + " line " + std::to_string(n) + " " +
                                  std::string(80, static_cast<char>('a' + p)) + "\n").c_str());
            }
        }));
    }
    close(go[0]);
    close(go[1]);
    for (const testsupport::StartedChild& program : programs) EXPECT_TRUE(testsupport::finishChild(program).exited);
    close(holder);
    std::istringstream log(readFileBytes(dir.file("ErrorLog.txt")));
    std::set<std::pair<int, int>> seen;
    const std::regex whole("program ([0-9]) line ([0-9]+) ([a-d])\\3{79}");
    std::smatch parts;
    for (std::string line; std::getline(log, line);) {
        ASSERT_TRUE(std::regex_match(line, parts, whole)) << visible(line);
        seen.emplace(std::stoi(parts[1]), std::stoi(parts[2]));
    }
    EXPECT_EQ(static_cast<size_t>(kPrograms * kLines), seen.size());
}

TEST(ErrorLogAppend, NeverWritesThroughASymbolicLink) {
    TempDir dir;
    ScopedEnv env("TMPDIR", dir.path().c_str());
    writeFileBytes(dir.file("victim"), "keep");
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
