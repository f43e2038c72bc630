// Debugger lines and the breakpoint command.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/debugger.h"
#include "runtime/services/debug_output.h"
#include "runtime/services/engine_hooks.h"
#include "runtime/services/pause_flags.h"

namespace {

// One list for the breakpoint's steps and the debugger's texts, to see their order.
std::vector<std::string> steps;

class SteppingDebugger : public platform::DebuggerPort {
public:
    explicit SteppingDebugger(bool attached) : attached_(attached) {}
    bool attached() override { return attached_; }
    void output(const char* text) override { steps.push_back(std::string("debugger ") + text); }

private:
    bool attached_;
};

void installInputHooks() {
    steps.clear();
    engineHooks.releaseMouseDevice = [] { steps.push_back("release mouse"); };
    engineHooks.refreshKeyboard = [] { steps.push_back("refresh keyboard"); };
    engineHooks.pollAllMice = [] { steps.push_back("poll mice"); };
}

// The breakpoint changes the process's pause flag, activation request and
// input hooks: a case holds one of these to start and end with them as the
// program starts.
struct ProgramStartFlags {
    ProgramStartFlags() { reset(); }
    ~ProgramStartFlags() { reset(); }
    static void reset() {
        pauseFlag = 0;
        windowActivationRequest = 0;
        engineHooks = {};
    }
};

}  // namespace

TEST(DebugOutput, PrefixesTXOnlyWhileAttached) {
    platform::RecordingDebugger debugger;
    platform::ScopedDebuggerPort port(debugger);
    debugOutput(RtString("bounds: [3]\n"));
    debugOutputText(nullptr);
    debugger.setAttached(false);
    debugOutput(RtString("lost"));
    ASSERT_EQ(debugger.texts().size(), 2u);
    EXPECT_EQ(debugger.texts()[0], "TXbounds: [3]\n");
    EXPECT_EQ(debugger.texts()[1], "TX");
}

TEST(DebugOutput, TextIsSentUpToItsFirstNulByte) {
    platform::RecordingDebugger debugger;
    platform::ScopedDebuggerPort port(debugger);
    debugOutput(RtString::fromBytes("ab\0cd", 5));
    EXPECT_EQ(debugger.joined(), "TXab");
}

TEST(DebugBreakpoint, WithoutDebuggerChangesNothing) {
    ProgramStartFlags flags;
    SteppingDebugger debugger(false);
    platform::ScopedDebuggerPort port(debugger);
    installInputHooks();
    pauseFlag = 1;
    DebugBreakpoint(255);
    EXPECT_TRUE(steps.empty());
    EXPECT_EQ(pauseFlag, 1);
    EXPECT_EQ(windowActivationRequest, 0);
    engineHooks = {};
}

TEST(DebugBreakpoint, WithDebuggerRunsItsStepsInOrder) {
    ProgramStartFlags flags;
    SteppingDebugger debugger(true);
    platform::ScopedDebuggerPort port(debugger);
    installInputHooks();
    pauseFlag = 1;
    DebugBreakpoint(255);
    std::vector<std::string> expected = {"release mouse", "debugger BPff", "refresh keyboard", "poll mice"};
    EXPECT_EQ(steps, expected);
    EXPECT_EQ(pauseFlag, 0);
    EXPECT_EQ(windowActivationRequest, 1);
    engineHooks = {};
}

TEST(DebugBreakpoint, NegativeIdShowsItsTwosComplementAndNoInputObjectIsFine) {
    ProgramStartFlags flags;
    SteppingDebugger debugger(true);
    platform::ScopedDebuggerPort port(debugger);
    steps.clear();
    engineHooks = {};
    DebugBreakpoint(-1);
    DebugBreakpoint(0);
    std::vector<std::string> expected = {"debugger BPffffffff", "debugger BP0"};
    EXPECT_EQ(steps, expected);
}
