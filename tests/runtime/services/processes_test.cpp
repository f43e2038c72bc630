// RunProcess and RunProcessAndExit with real child processes.
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "runtime/services/engine_hooks.h"
#include "runtime/services/processes.h"
#include "runtime/services/runtime_error.h"
#include "service_test_helpers.h"

using servicestest::LogFolder;

namespace {

int windowedCalls = 0;
int activateCalls = 0;

class WindowHooks {
public:
    WindowHooks() {
        windowedCalls = activateCalls = 0;
        engineHooks.setWindowedMode = [] { ++windowedCalls; };
        engineHooks.activateMainWindow = [] { ++activateCalls; };
    }
    ~WindowHooks() { engineHooks = {}; }
};

double run(const char* commandLine, double wait, double* code) {
    return RunProcess(RtString(commandLine), wait, 0.0, code);
}

}  // namespace

TEST(RunProcess, WaitsAndReportsTheExitCode) {
    WindowHooks hooks;
    double code = -1;
    EXPECT_EQ(run("sh -c \"exit 7\"", 1.0, &code), 1.0);
    EXPECT_EQ(code, 7.0);
    EXPECT_EQ(run("true", 1.0, &code), 1.0);
    EXPECT_EQ(code, 0.0);
    EXPECT_EQ(windowedCalls, 2);
    EXPECT_EQ(activateCalls, 2);
}

TEST(RunProcess, AChildEndingWith259IsNotTakenForOneStillRunning) {
    double code = -1;
    // The system keeps the low eight bits of an exit status: 259 arrives as 3,
    // and the wait ends when the child does.
    EXPECT_EQ(run("sh -c \"exit 259\"", 1.0, &code), 1.0);
    EXPECT_EQ(code, 3.0);
}

TEST(RunProcess, AChildEndedByASignalGives128PlusTheSignal) {
    double code = -1;
    EXPECT_EQ(run("sh -c \"kill -9 $$\"", 1.0, &code), 1.0);
    EXPECT_EQ(code, 137.0);
}

TEST(RunProcess, MissingProgramGivesZeroAndStillActivatesTheWindow) {
    WindowHooks hooks;
    double code = -1;
    EXPECT_EQ(run("/nonexistent/program arg", 1.0, &code), 0.0);
    EXPECT_EQ(code, 0.0);
    EXPECT_EQ(run("no-such-program-on-the-path", 1.0, &code), 0.0);
    EXPECT_EQ(run("", 1.0, &code), 0.0);
    EXPECT_EQ(run("   ", 1.0, nullptr), 0.0);
    EXPECT_EQ(activateCalls, 4);
}

TEST(RunProcess, WithoutWaitReturnsAtOnceAndLeavesTheCodeAtZero) {
    LogFolder folder;
    double code = -1;
    std::string marker = folder.dir().file("done");
    std::string line = "sh -c \"sleep 0.2; touch " + marker + "; exit 5\"";
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(run(line.c_str(), 0.0, &code), 1.0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
    EXPECT_EQ(code, 0.0);
    for (int i = 0; i < 500 && !testsupport::fileExists(marker); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(testsupport::fileExists(marker));
}

TEST(RunProcess, ArgumentsFollowTheQuotingRulesAndNoShellRuns) {
    LogFolder folder;
    std::string script = folder.dir().file("args.sh");
    testsupport::writeFileBytes(script, "for a in \"$@\"; do printf '[%s]' \"$a\"; done > \"$(dirname \"$0\")/args.txt\"\n");
    std::string line = "sh " + script + " \"a b\" c\\\"d \"\" $HOME *";
    double code = -1;
    EXPECT_EQ(run(line.c_str(), 1.0, &code), 1.0);
    EXPECT_EQ(code, 0.0);
    EXPECT_EQ(testsupport::readFileBytes(folder.dir().file("args.txt")), "[a b][c\"d][][$HOME][*]");
}

TEST(RunProcess, OnlyTheStandardDescriptorsReachTheChild) {
    int fd = open("/dev/null", O_RDONLY);  // no close-on-exec
    ASSERT_GE(fd, 0);
    ASSERT_EQ(dup2(fd, 9), 9);
    double code = -1;
    EXPECT_EQ(run("sh -c \"test -e /proc/self/fd/9\"", 1.0, &code), 1.0);
    EXPECT_EQ(code, 1.0);  // descriptor 9 is not there
    EXPECT_EQ(run("sh -c \"test -e /proc/self/fd/2\"", 1.0, &code), 1.0);
    EXPECT_EQ(code, 0.0);
    close(9);
    close(fd);
}

TEST(RunProcessAndExit, ShutsDownStartsTheCommandAndExitsWith0) {
    LogFolder folder;
    std::string marker = folder.dir().file("started");
    auto child = testsupport::runInChild([marker] {
        setRuntimeError(9);
        RunProcessAndExit(RtString(("touch " + marker).c_str()));
    });
    ASSERT_TRUE(child.exited);
    EXPECT_EQ(child.exitStatus, 0);
    EXPECT_EQ(child.out, "");
    EXPECT_EQ(folder.log(), "Shut down VNT\n");
    for (int i = 0; i < 500 && !testsupport::fileExists(marker); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(testsupport::fileExists(marker));
}
