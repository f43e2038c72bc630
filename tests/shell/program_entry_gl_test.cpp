// The whole process entry with the stand-in program: settings, start-up, the
// main routine, and the orderly end with status 0.
#include <gtest/gtest.h>

#include "child_process.h"
#include "file_bytes.h"
#include "runtime/engine/display_settings.h"
#include "runtime/engine/project_hooks.h"
#include "runtime/services/callbacks.h"
#include "runtime/services/process_strings.h"
#include "shell/frame_end.h"
#include "shell/program_entry.h"
#include "temp_dir.h"
#include "test_project_hooks.h"

namespace {

using namespace testsupport;

double gameThatRunsThreeFrames() {
    std::printf("[%s]", GetCommandLineString().data);
    for (int i = 0; i < 3; ++i) EndFrame();
    std::printf("[game done]");
    return 0.0;
}

TEST(ProgramEntry, RunsTheProgramAndEndsInOrder) {
    TempDir folder;
    ChildResult r = runInChild([&] {
        setenv("TMPDIR", folder.path().c_str(), 1);
        setenv("HOME", folder.path().c_str(), 1);
        displaySettings = DisplaySettings{0, 1, 60, 0, 0, 240, 320};
        projectNameString() = RtString("Entry_Test");
        gameMainBody = gameThatRunsThreeFrames;
        projectHooks = ProjectHooks{};  // the entry registers the table it is given
        const char* argv[] = {"shoalrunner", "two words", nullptr};
        runProgram(2, const_cast<char**>(argv), testProjectHooks);
        std::printf("[returned]");
    });
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out, "[shoalrunner \"two words\"][game done]exit");
    std::string log = readFileBytes(folder.file("ErrorLog.txt"));
    EXPECT_EQ(log.rfind("Start new log...\n", 0), 0u) << visible(log);
    EXPECT_NE(log.find("Window created: 320x240"), std::string::npos) << visible(log);
    EXPECT_NE(log.find("Init Finalized\nShut down VNT\n"), std::string::npos) << visible(log);
}

int loopCalls = 0;
double loopRoutine() {
    std::printf("[loop %d]", ++loopCalls);
    if (loopCalls == 3) setLoopFunctionName(RtString(""));
    return 0.0;
}

TEST(ProgramEntry, RunsTheLoopFunctionAfterTheMainRoutine) {
    TempDir folder;
    static const NamedRoutine table[] = {{loopRoutine, "VNT_ON_LOOP"}, {nullptr, nullptr}};
    ChildResult r = runInChild([&] {
        setenv("TMPDIR", folder.path().c_str(), 1);
        setenv("HOME", folder.path().c_str(), 1);
        displaySettings = DisplaySettings{0, 1, 60, 0, 0, 240, 320};
        namedRoutineTable = table;
        gameMainBody = [] { std::printf("[main]"); return 0.0; };
        const char* argv[] = {"shoalrunner", nullptr};
        runProgram(1, const_cast<char**>(argv), testProjectHooks);
    });
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out, "[main][loop 1][loop 2][loop 3]exit");
}

}  // namespace
