// Callbacks by name, the loop function, the pause flags and ShellOpen.
#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>
#include <thread>

#include "platform/shell_open.h"
#include "runtime/services/callbacks.h"
#include "runtime/services/pause_flags.h"
#include "runtime/services/runtime_error.h"
#include "runtime/services/shell_open_command.h"
#include "service_test_helpers.h"

using servicestest::calls;
using servicestest::LogFolder;
using servicestest::recordCall;
using servicestest::ScopedRoutineTable;

namespace {

constexpr char kPause[] = "VNT_ON_PAUSE";
constexpr char kResume[] = "VNT_ON_RESUME";
constexpr char kQuit[] = "VNT_ON_QUIT";
constexpr char kEmpty[] = "";
constexpr char kLoopA[] = "LoopA";
constexpr char kLoopB[] = "LoopB";

int loopACalls = 0;
int loopBCalls = 0;

double loopA() {
    calls().push_back(kLoopA);
    if (++loopACalls == 3) setLoopFunctionName(RtString(kLoopB));
    return 0.0;
}

double loopB() {
    calls().push_back(kLoopB);
    if (++loopBCalls == 2) setLoopFunctionName(RtString());
    return 0.0;
}

const NamedRoutine kTable[] = {
    {recordCall<kPause>, kPause},
    {recordCall<kResume>, kResume},
    {recordCall<kQuit>, kQuit},
    {loopA, kLoopA},
    {loopB, kLoopB},
    {recordCall<kEmpty>, kEmpty},
    {nullptr, nullptr},
};

// An opener script that writes its argument into opened.txt beside itself.
std::string writeOpener(const testsupport::TempDir& dir) {
    std::string script = dir.file("opener.sh");
    testsupport::writeFileBytes(script, "#!/bin/sh\nprintf '%s' \"$1\" > \"$(dirname \"$0\")/opened.tmp\"\n"
                                        "mv \"$(dirname \"$0\")/opened.tmp\" \"$(dirname \"$0\")/opened.txt\"\n");
    chmod(script.c_str(), 0755);
    return script;
}

// The opener is not waited for: look for its file for up to ten seconds.
std::string waitForOpened(const testsupport::TempDir& dir) {
    for (int i = 0; i < 1000; ++i) {
        if (testsupport::fileExists(dir.file("opened.txt"))) return testsupport::readFileBytes(dir.file("opened.txt"));
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return "(not opened)";
}

}  // namespace

TEST(CallByName, MissingRoutineIsNoErrorAndTellsTheDebugger) {
    platform::RecordingDebugger debugger;
    platform::ScopedDebuggerPort port(debugger);
    setRuntimeError(3);
    EXPECT_EQ(CallByName(RtString("VNT_ON_PAUSE")), 0);
    EXPECT_EQ(CallByName(RtString("VNT_ON_QUIT")), 0);
    EXPECT_EQ(CallByName(RtString("VNT_WIN32_MSG")), 0);
    EXPECT_EQ(CallByName(RtString("")), 0);
    EXPECT_EQ(RtErrorCode, 3);
    ASSERT_EQ(debugger.texts().size(), 3u);  // TXerror: 3, then two callback lines
    EXPECT_EQ(debugger.texts()[1], "TXCALLBYNAME \"VNT_ON_PAUSE\" *** failed ***\n");
    EXPECT_EQ(debugger.texts()[2], "TXCALLBYNAME \"\" *** failed ***\n");
}

TEST(CallByName, FoundRoutineRunsAndGives1) {
    ScopedRoutineTable table(kTable);
    platform::RecordingDebugger debugger;
    platform::ScopedDebuggerPort port(debugger);
    calls().clear();
    EXPECT_EQ(CallByName(RtString("VNT_ON_PAUSE")), 1);
    EXPECT_EQ(CallByName(RtString("VNT_ON_QUIT")), 1);
    ASSERT_EQ(calls().size(), 2u);
    EXPECT_EQ(calls()[0], "VNT_ON_PAUSE");
    EXPECT_EQ(calls()[1], "VNT_ON_QUIT");
    EXPECT_TRUE(debugger.texts().empty());
}

TEST(FindFunctionByName, MatchesWholeNamesWithCase) {
    ScopedRoutineTable table(kTable);
    EXPECT_EQ(findFunctionByName(RtString("vnt_on_pause")), nullptr);
    EXPECT_EQ(findFunctionByName(RtString("VNT_ON_PAUS")), nullptr);
    EXPECT_EQ(findFunctionByName(RtString("VNT_ON_PAUSEX")), nullptr);
    // The stored length counts: a NUL byte inside the name does not cut it.
    EXPECT_EQ(findFunctionByName(RtString::fromBytes("LoopA\0x", 7)), nullptr);
    EXPECT_EQ(findFunctionByName(RtString("LoopA")), &loopA);
    // The empty name matches only the row with the empty name.
    EXPECT_EQ(findFunctionByName(RtString()), &recordCall<kEmpty>);
}

TEST(FindFunctionByName, EmptyTableAndNullTableFindNothing) {
    EXPECT_EQ(findFunctionByName(RtString("LoopA")), nullptr);
    ScopedRoutineTable none(nullptr);
    EXPECT_EQ(findFunctionByName(RtString("LoopA")), nullptr);
}

TEST(LoopFunction, SwitchesAfterTheRunningCallAndEndsOnEmptyName) {
    ScopedRoutineTable table(kTable);
    calls().clear();
    loopACalls = loopBCalls = 0;
    setLoopFunctionName(RtString("LoopA"));
    EXPECT_EQ(loopACalls, 3);
    EXPECT_EQ(loopBCalls, 2);
    std::vector<std::string> expected = {"LoopA", "LoopA", "LoopA", "LoopB", "LoopB"};
    EXPECT_EQ(calls(), expected);
    EXPECT_TRUE(loopFunctionName.isEmpty());
    EXPECT_TRUE(pendingLoopFunctionName.isEmpty());
}

TEST(LoopFunction, UnknownNameReturnsAtOnce) {
    ScopedRoutineTable table(kTable);
    setLoopFunctionName(RtString("NoSuchLoop"));
    EXPECT_TRUE(loopFunctionName.equals("NoSuchLoop"));
    // The empty name from outside a loop stops nothing and runs nothing.
    loopFunctionName.clear();
    setLoopFunctionName(RtString());
    EXPECT_TRUE(loopFunctionName.isEmpty());
}

// The pause flags live for the whole process: each case gives back the
// values it found, so the next case starts from them.
class PauseFlags : public ::testing::Test {
protected:
    void TearDown() override {
        pauseFlag = pauseBefore_;
        pauseAllowed = allowedBefore_;
        escapeQuits = escapeQuitsBefore_;
    }

private:
    int32_t pauseBefore_ = pauseFlag;
    int32_t allowedBefore_ = pauseAllowed;
    int32_t escapeQuitsBefore_ = escapeQuits;
};

TEST_F(PauseFlags, StartValues) {
    EXPECT_EQ(pauseFlag, 0);
    EXPECT_EQ(pauseAllowed, 1);
    EXPECT_EQ(escapeQuits, 1);
    EXPECT_EQ(GetEscapeQuits(), 1);
}

TEST_F(PauseFlags, PauseTwiceCallsThePauseCallbackOnce) {
    ScopedRoutineTable table(kTable);
    calls().clear();
    setPaused(1);
    setPaused(7);
    EXPECT_EQ(pauseFlag, 1);
    setPaused(0);
    setPaused(0);
    EXPECT_EQ(pauseFlag, 0);
    std::vector<std::string> expected = {"VNT_ON_PAUSE", "VNT_ON_RESUME"};
    EXPECT_EQ(calls(), expected);
}

namespace {
int flagSeenByCallback = -1;
double notePauseFlag() {
    flagSeenByCallback = pauseFlag;
    return 0.0;
}
}  // namespace

TEST_F(PauseFlags, FlagIsSetBeforeTheCallbackRuns) {
    const NamedRoutine table[] = {{notePauseFlag, "VNT_ON_PAUSE"}, {nullptr, nullptr}};
    ScopedRoutineTable scoped(table);
    setPaused(1);
    EXPECT_EQ(flagSeenByCallback, 1);
}

TEST_F(PauseFlags, DisallowingResumesAndBlocksLaterPauses) {
    ScopedRoutineTable table(kTable);
    calls().clear();
    setPaused(1);
    SetPauseAllowed(0);
    EXPECT_EQ(pauseAllowed, 0);
    EXPECT_EQ(pauseFlag, 0);
    setPaused(1);
    EXPECT_EQ(pauseFlag, 0);
    SetPauseAllowed(5);
    EXPECT_EQ(pauseAllowed, 1);
    std::vector<std::string> expected = {"VNT_ON_PAUSE", "VNT_ON_RESUME"};
    EXPECT_EQ(calls(), expected);
}

TEST_F(PauseFlags, EscapeQuitsIsAFlag) {
    SetEscapeQuits(0);
    EXPECT_EQ(GetEscapeQuits(), 0);
    SetEscapeQuits(-3);
    EXPECT_EQ(escapeQuits, 1);
    EXPECT_EQ(GetEscapeQuits(), 1);
}

TEST(ShellOpen, WithoutEscapeQuitsOpensAndRunsOn) {
    LogFolder folder;
    platform::setShellOpener(writeOpener(folder.dir()).c_str());
    ScopedRoutineTable table(kTable);
    calls().clear();
    SetEscapeQuits(0);
    // One argument, and no shell to read anything into it.
    ShellOpen(RtString("https://example.org/a b; rm *"));
    EXPECT_EQ(waitForOpened(folder.dir()), "https://example.org/a b; rm *");
    EXPECT_TRUE(calls().empty());  // no shutdown, so no quit callback
    platform::setShellOpener(nullptr);
    SetEscapeQuits(1);
}

TEST(ShellOpen, WithEscapeQuitsShutsDownOpensAndEndsWithStatus0) {
    LogFolder folder;
    platform::setShellOpener(writeOpener(folder.dir()).c_str());
    auto child = testsupport::runInChild([] {
        const NamedRoutine table[] = {{[] {
                                           std::fputs("quit;", stdout);
                                           return 0.0;
                                       },
                                       "VNT_ON_QUIT"},
                                      {nullptr, nullptr}};
        namedRoutineTable = table;
        SetEscapeQuits(1);
        setRuntimeError(3);  // an earlier failure does not make this end a failure
        ShellOpen(RtString("readme.txt"));
        std::fputs("not reached", stdout);
    });
    platform::setShellOpener(nullptr);
    ASSERT_TRUE(child.exited);
    EXPECT_EQ(child.exitStatus, 0);
    EXPECT_EQ(child.out, "quit;exit");  // the quit callback runs once
    EXPECT_EQ(waitForOpened(folder.dir()), "readme.txt");
    EXPECT_EQ(folder.log(), "Shut down VNT\n");
}

TEST(ShellOpen, MissingOpenerIsLoggedOnce) {
    LogFolder folder;
    platform::setShellOpener("/nonexistent/opener");
    SetEscapeQuits(0);
    ShellOpen(RtString("a"));
    ShellOpen(RtString("b"));
    EXPECT_EQ(folder.log(), "ShellOpen: the desktop's opener (xdg-open) could not be started\n");
    platform::setShellOpener(nullptr);
    SetEscapeQuits(1);
}
