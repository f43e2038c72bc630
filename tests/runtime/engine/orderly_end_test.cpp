// The orderly end: the shutdown's order and once-rules, the exit status and
// what goes to the error log and standard output.
#include <gtest/gtest.h>

#include <string>

#include "child_process.h"
#include "file_bytes.h"
#include "runtime/engine/display_settings.h"
#include "runtime/engine/orderly_end.h"
#include "runtime/services/callbacks.h"
#include "runtime/services/runtime_error.h"
#include "temp_dir.h"
#include "test_project_hooks.h"

using testsupport::runInChild;

namespace {

std::string order;

template <char Mark>
void step() {
    order += Mark;
}

double quitCallback() {
    order += 'Q';
    return 0.0;
}

const NamedRoutine kQuitTable[] = {{quitCallback, "VNT_ON_QUIT"}, {nullptr, nullptr}};

// Registers one step per stage, each named by a letter.
void registerAllSteps() {
    setShutdownStep(ShutdownStageVideo, step<'v'>);
    setShutdownStep(ShutdownStageWorkingDirectory, step<'w'>);
    setShutdownStep(ShutdownStageNetwork, step<'n'>);
    setShutdownStep(ShutdownStageInput, step<'i'>);
    setShutdownStep(ShutdownStageSound, step<'s'>);
    setShutdownStep(ShutdownStageGraphics2D, step<'2'>);
    setShutdownStep(ShutdownStageGraphics3D, step<'3'>);
    setShutdownStep(ShutdownStagePackArchives, step<'p'>);
}

// The error log's folder of one case, which also starts the case with no
// shutdown begun and no steps recorded, whatever the cases before it ran.
class LogFolder {
public:
    LogFolder() : tmp_("TMPDIR", dir_.path().c_str()) {
        resetOrderlyEnd();
        order.clear();
    }
    std::string log() const { return testsupport::readFileBytes(dir_.file("ErrorLog.txt")); }

private:
    testsupport::TempDir dir_;
    testsupport::ScopedEnv tmp_;
};

}  // namespace

TEST(ShutdownEngine, RunsTheQuitCallbackOnceThenTheStepsInOrder) {
    LogFolder folder;
    namedRoutineTable = kQuitTable;
    registerAllSteps();
    testsupport::emptyProjectHookCalls = 0;
    shutdownEngine();
    // Video and working directory come before the channels close.
    EXPECT_EQ(order, "Qvwnis23p");
    EXPECT_EQ(testsupport::emptyProjectHookCalls, 1);
    EXPECT_EQ(folder.log(), "Shut down VNT\n");

    // A second shutdown skips the callback and what is already released, but
    // releases what was registered since.
    setShutdownStep(ShutdownStageSound, step<'S'>);
    shutdownEngine();
    EXPECT_EQ(order, "Qvwnis23pS");
    EXPECT_EQ(folder.log(), "Shut down VNT\n");
    namedRoutineTable = nullptr;
}

namespace {
int hookCallsAtVideo = -1, hookCallsAtNetwork = -1;
}

TEST(ShutdownEngine, ChannelsCloseBetweenTheEarlyStepsAndTheObjects) {
    LogFolder folder;
    testsupport::emptyProjectHookCalls = 0;
    setShutdownStep(ShutdownStageVideo, [] { hookCallsAtVideo = testsupport::emptyProjectHookCalls; });
    setShutdownStep(ShutdownStageNetwork, [] { hookCallsAtNetwork = testsupport::emptyProjectHookCalls; });
    shutdownEngine();
    EXPECT_EQ(hookCallsAtVideo, 0);
    EXPECT_EQ(hookCallsAtNetwork, 1);
}

TEST(ShutdownEngine, NullUnregistersAndBadStagesAreIgnored) {
    LogFolder folder;
    order.clear();
    setShutdownStep(ShutdownStageInput, step<'i'>);
    setShutdownStep(ShutdownStageInput, nullptr);
    setShutdownStep(ShutdownStageCount, step<'x'>);
    setShutdownStep(static_cast<ShutdownStage>(-1), step<'y'>);
    shutdownEngine();
    EXPECT_EQ(order, "");
}

TEST(TerminateProgram, FatalErrorExitsWithItsCodeAndLogsItsText) {
    LogFolder folder;
    auto child = runInChild([] {
        registerAllSteps();
        namedRoutineTable = kQuitTable;
        setRuntimeError(9);
        terminateProgram();
        std::fputs("not reached", stdout);
    });
    ASSERT_TRUE(child.exited);
    EXPECT_EQ(child.exitStatus, 9);
    EXPECT_EQ(child.out, "exit");
    EXPECT_EQ(child.err, "");  // nothing a user could mend
    EXPECT_EQ(folder.log(), "0009 out of bounds\nShut down VNT\n");
}

TEST(TerminateProgram, AFatalErrorsTextNamesItsSubject) {
    LogFolder folder;
    auto child = runInChild([] {
        setRuntimeError(3);
        setRuntimeErrorSubject("/games/shoalrunner/Data/shol0.dat");
        terminateProgram();
    });
    ASSERT_TRUE(child.exited);
    EXPECT_EQ(child.exitStatus, 3);
    EXPECT_EQ(child.err, "0003 no such file: /games/shoalrunner/Data/shol0.dat\n");
    EXPECT_EQ(folder.log(), "0003 no such file: /games/shoalrunner/Data/shol0.dat\nShut down VNT\n");
}

TEST(TerminateProgram, OrderlyEndExitsWith0AndLogsNoError) {
    LogFolder folder;
    auto child = runInChild([] {
        setRuntimeError(0);
        terminateProgram();
    });
    ASSERT_TRUE(child.exited);
    EXPECT_EQ(child.exitStatus, 0);
    EXPECT_EQ(child.out, "exit");
    EXPECT_EQ(child.err, "");
    EXPECT_EQ(folder.log(), "Shut down VNT\n");
}

TEST(TerminateProgram, CallsDuringTheShutdownReturnAtOnce) {
    LogFolder folder;
    auto child = runInChild([] {
        setShutdownStep(ShutdownStageGraphics2D, [] {
            setRuntimeError(7);  // a fatal error while releasing
            terminateProgram();
            std::fputs("returned;", stdout);
        });
        setRuntimeError(3);
        terminateProgram();
    });
    ASSERT_TRUE(child.exited);
    EXPECT_EQ(child.exitStatus, 3);  // the code the end began with
    EXPECT_EQ(child.out, "returned;exit");
    EXPECT_EQ(folder.log(), "0003 no such file\nShut down VNT\n");
}

TEST(TerminateProgram, NoReturnFormEndsAtOnceDuringTheShutdown) {
    LogFolder folder;
    auto child = runInChild([] {
        setShutdownStep(ShutdownStageGraphics2D, [] {
            setRuntimeError(7);
            terminateProgramAndExit();
        });
        setShutdownStep(ShutdownStagePackArchives, [] { std::fputs("not reached", stdout); });
        setRuntimeError(0);
        terminateProgram();
    });
    ASSERT_TRUE(child.exited);
    EXPECT_EQ(child.exitStatus, 7);
    EXPECT_EQ(child.out, "");
}

TEST(TerminateProgram, DebugFlagLogsLineNumbers) {
    LogFolder folder;
    auto child = runInChild([] {
        displaySettings.debug = 1;
        setRuntimeError(0);
        terminateProgram();
    });
    EXPECT_EQ(child.exitStatus, 0);
    EXPECT_EQ(folder.log(), "-End On Line\n-1\n0\n0\nShut down VNT\n");
}

namespace {
void endWithCode(int32_t code) {
    setRuntimeError(code);
    terminateProgram();
}
}  // namespace

TEST(TerminateProgramDeathTest, ExitStatusIsTheRuntimeErrorCode) {
    LogFolder folder;
    EXPECT_EXIT(endWithCode(20), testing::ExitedWithCode(20), "");
    // A code the exit status cannot carry still reads as a failure.
    EXPECT_EXIT(endWithCode(256), testing::ExitedWithCode(1), "");
}

TEST(TerminateProgram, ExitStatusForCodes) {
    EXPECT_EQ(exitStatusForCode(0), 0);
    EXPECT_EQ(exitStatusForCode(21), 21);
    EXPECT_EQ(exitStatusForCode(255), 255);
    EXPECT_EQ(exitStatusForCode(256), 1);
    EXPECT_EQ(exitStatusForCode(-1), 1);
}
