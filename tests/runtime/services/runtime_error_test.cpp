// The error code, its texts, the debugger line, the assertion and the end
// command.
#include <gtest/gtest.h>

#include <string>

#include "runtime/engine/display_settings.h"
#include "runtime/engine/orderly_end.h"
#include "runtime/services/callbacks.h"
#include "runtime/services/runtime_error.h"
#include "service_test_helpers.h"
#include "test_project_hooks.h"

using servicestest::LogFolder;
using servicestest::StderrDebugger;
using testsupport::runInChild;

TEST(RuntimeError, NonZeroCodeSendsHexLineToAttachedDebugger) {
    platform::RecordingDebugger debugger;
    platform::ScopedDebuggerPort port(debugger);
    EXPECT_EQ(setRuntimeError(9), 9);
    EXPECT_EQ(setRuntimeError(20), 20);
    EXPECT_EQ(setRuntimeError(255), 255);
    EXPECT_EQ(setRuntimeError(-1), -1);
    ASSERT_EQ(debugger.texts().size(), 4u);
    EXPECT_EQ(debugger.texts()[0], "TXerror: 9\n");
    EXPECT_EQ(debugger.texts()[1], "TXerror: 14\n");
    EXPECT_EQ(debugger.texts()[2], "TXerror: ff\n");
    EXPECT_EQ(debugger.texts()[3], "TXerror: ffffffff\n");
    EXPECT_EQ(RtErrorCode, -1);
}

TEST(RuntimeError, WithoutDebuggerNothingIsSentButTheCodeIsStored) {
    platform::RecordingDebugger debugger(false);
    platform::ScopedDebuggerPort port(debugger);
    setRuntimeError(3);
    EXPECT_EQ(RtErrorCode, 3);
    EXPECT_TRUE(debugger.texts().empty());
}

TEST(RuntimeError, ZeroCopiesTheLineAndSendsNothing) {
    platform::RecordingDebugger debugger;
    platform::ScopedDebuggerPort port(debugger);
    setCurrentLine(7, 120);
    EXPECT_EQ(currentPosition, 7);
    EXPECT_EQ(currentLine, 120);
    setRuntimeError(9);
    setRuntimeError(0);
    EXPECT_EQ(RtErrorCode, 0);
    EXPECT_EQ(errorLine, 120);
    ASSERT_EQ(debugger.texts().size(), 1u);  // only the line of code 9
}

TEST(RuntimeError, ClearErrorCodeTouchesNothingElse) {
    platform::RecordingDebugger debugger;
    platform::ScopedDebuggerPort port(debugger);
    setCurrentLine(0, 5);
    setRuntimeError(7);
    setCurrentLine(0, 6);
    clearErrorCode();
    EXPECT_EQ(RtErrorCode, 0);
    EXPECT_EQ(errorLine, 5);
    EXPECT_EQ(debugger.texts().size(), 1u);
}

TEST(RuntimeError, ErrorTextsFollowTheTable) {
    struct Case {
        int32_t code;
        const char* text;
    } cases[] = {
        {0, "0000 success"},         {3, "0003 no such file"},  {7, "0007 out of memory"},
        {8, "0008 unknown error"},   {9, "0009 out of bounds"}, {20, "0020 out of data"},
        {21, "0021 unknown error"},  {1, "0001 unknown error"}, {12345, "12345 unknown error"},
        {-5, "-0005 unknown error"},
    };
    for (const Case& c : cases) {
        RtErrorCode = c.code;
        EXPECT_STREQ(GetErrorText().data, c.text) << c.code;
        EXPECT_EQ(RtErrorCode, c.code);  // reading the text does not change the code
    }
}

TEST(RuntimeError, TheSubjectLastsUntilTheNextCodeIsRecordedOrCleared) {
    setRuntimeError(3);
    setRuntimeErrorSubject("/x/tiles.png");
    EXPECT_STREQ(runtimeErrorSubject(), "/x/tiles.png");
    setRuntimeError(9);
    EXPECT_STREQ(runtimeErrorSubject(), "");
    setRuntimeErrorSubject(std::string(2000, 'a').c_str());
    EXPECT_EQ(std::string(runtimeErrorSubject()), std::string(1023, 'a'));
    clearErrorCode();
    EXPECT_STREQ(runtimeErrorSubject(), "");
    setRuntimeErrorSubject(nullptr);
    EXPECT_STREQ(runtimeErrorSubject(), "");
}

TEST(RuntimeError, AssertValueOfNonZeroDoesNothing) {
    clearErrorCode();  // the code of the process, which earlier cases may have set
    platform::RecordingDebugger debugger;
    platform::ScopedDebuggerPort port(debugger);
    AssertValue(5);
    AssertValue(-1);
    EXPECT_EQ(RtErrorCode, 0);
    EXPECT_TRUE(debugger.texts().empty());
}

TEST(RuntimeError, FailedAssertionEndsWithCode21AndLogsIt) {
    LogFolder folder;
    auto child = runInChild([] {
        StderrDebugger debugger;
        platform::ScopedDebuggerPort port(debugger);
        AssertValue(0);
        std::fputs("not reached", stdout);
    });
    ASSERT_TRUE(child.exited);
    EXPECT_EQ(child.exitStatus, 21);
    EXPECT_EQ(child.out, "exit");
    EXPECT_EQ(child.err, "TXAssertion: Value = 0\nTXerror: 15\n");
    EXPECT_EQ(folder.log(), "0021 unknown error\nShut down VNT\n");
}

TEST(RuntimeErrorDeathTest, FailedAssertionExitStatus) {
    LogFolder folder;
    EXPECT_EXIT(AssertValue(0), testing::ExitedWithCode(21), "");
}

TEST(RuntimeError, EndProgramIsAnOrderlyEndWithStatus0) {
    LogFolder folder;
    auto child = runInChild([] {
        setRuntimeError(3);  // an earlier, non-fatal failure
        loopFunctionName = "VNT_ON_LOOP";
        // The last release step shows what the shutdown had done by then.
        setShutdownStep(ShutdownStagePackArchives, [] {
            std::printf("loop [%s] hook %d;", loopFunctionName.data, testsupport::emptyProjectHookCalls);
        });
        EndProgram();
    });
    ASSERT_TRUE(child.exited);
    EXPECT_EQ(child.exitStatus, 0);
    EXPECT_EQ(child.out, "loop [] hook 1;exit");
    EXPECT_EQ(folder.log(), "Shut down VNT\n");
}

TEST(RuntimeError, DebugFlagLogsTheLinesBeforeTheErrorText) {
    LogFolder folder;
    auto child = runInChild([] {
        displaySettings.debug = 1;
        setCurrentLine(4, 12);
        setRuntimeError(9);
        setCurrentLine(5, 30);
        terminateProgramAndExit();
    });
    ASSERT_TRUE(child.exited);
    EXPECT_EQ(child.exitStatus, 9);
    EXPECT_EQ(folder.log(), "-End On Line\n11\n30\n5\n0009 out of bounds\nShut down VNT\n");
}
