// Debugger presence and the real port's output.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "child_process.h"
#include "platform/debugger.h"

TEST(Debugger, TracerPidIsReadFromTheStatusText) {
    EXPECT_EQ(platform::tracerPidFromStatus("Name:\tx\nTracerPid:\t0\nUid:\t0\n"), 0);
    EXPECT_EQ(platform::tracerPidFromStatus("Name:\tx\nTracerPid:\t4321\nUid:\t0\n"), 4321);
    EXPECT_EQ(platform::tracerPidFromStatus("TracerPid:\t17"), 17);
    EXPECT_EQ(platform::tracerPidFromStatus("Name:\tTracerPid:\t9\n"), 0);  // only at a line start
    EXPECT_EQ(platform::tracerPidFromStatus("TracerPid:\tx\n"), 0);
    EXPECT_EQ(platform::tracerPidFromStatus(""), 0);
    EXPECT_EQ(platform::tracerPidFromStatus(nullptr), 0);
}

TEST(Debugger, RealPresenceFollowsTheProcessStatus) {
    std::ifstream status("/proc/self/status");
    std::string text((std::istreambuf_iterator<char>(status)), std::istreambuf_iterator<char>());
    EXPECT_EQ(platform::isDebuggerPresent(), platform::tracerPidFromStatus(text.c_str()) != 0);
}

TEST(Debugger, RealPortWritesTheTextAsItStandsToStandardError) {
    auto child = testsupport::runInChild([] {
        platform::outputDebugText("TXerror: 9\n");
        platform::outputDebugText(nullptr);
        platform::outputDebugText("BPff");
    });
    EXPECT_EQ(child.err, "TXerror: 9\nBPff");
    EXPECT_EQ(child.out, "");
}

TEST(Debugger, ScopedPortsNestAndTheRealOneComesBack) {
    platform::DebuggerPort* real = &platform::debuggerPort();
    platform::RecordingDebugger outer, inner(false);
    {
        platform::ScopedDebuggerPort a(outer);
        EXPECT_TRUE(platform::isDebuggerPresent());
        {
            platform::ScopedDebuggerPort b(inner);
            EXPECT_FALSE(platform::isDebuggerPresent());
            platform::outputDebugText("to inner");
        }
        platform::outputDebugText("to outer");
    }
    EXPECT_EQ(&platform::debuggerPort(), real);
    EXPECT_EQ(outer.joined(), "to outer");
    EXPECT_EQ(inner.joined(), "to inner");
    platform::setDebuggerPort(&outer);
    platform::setDebuggerPort(nullptr);
    EXPECT_EQ(&platform::debuggerPort(), real);
}
