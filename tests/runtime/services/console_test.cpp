// The console streams.
#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include "runtime/services/console.h"
#include "service_test_helpers.h"

using servicestest::LogFolder;
using testsupport::runInChild;

namespace {
// Reads lines until the input ends and prints each in brackets.
void echoLines() {
    for (int i = 0; i < 5; ++i) std::printf("[%s]", InputLine().data);
}
}  // namespace

TEST(InputLine, OneLineWithoutItsLineEnd) {
    EXPECT_EQ(runInChild(echoLines, "abc\n").out, "[abc][][][][]");
    EXPECT_EQ(runInChild(echoLines, "abc").out, "[abc][][][][]");
    EXPECT_EQ(runInChild(echoLines, "").out, "[][][][][]");
    EXPECT_EQ(runInChild(echoLines, "a\r\n\nb\n").out, "[a\r][][b][][]");
}

TEST(InputLine, LongLinesComeInPiecesOf4094) {
    std::string line(5000, 'x');
    auto child = runInChild(
        [] {
            RtString first = InputLine();
            RtString second = InputLine();
            std::printf("%u %u", first.length, second.length);
        },
        line + "\n");
    EXPECT_EQ(child.out, "4094 906");
}

TEST(Console, PrintAddsNoLineEnd) {
    auto child = runInChild([] {
        PrintToStdout(RtString("out"));
        PrintToStdout(RtString());
        printToStderr(RtString("err"));
        PrintToStdout(RtString::fromBytes("a\0b", 3));  // up to the first NUL
        _exit(0);  // what was printed is already flushed
    });
    EXPECT_EQ(child.out, "outa");
    EXPECT_EQ(child.err, "err");
}

TEST(Console, DebugConsoleWithoutATerminalSaysSoOnce) {
    LogFolder folder;
    auto child = runInChild([] {
        setsid();  // no controlling terminal from here on
        OpenDebugConsole();
        OpenDebugConsole();
        PrintToStdout(RtString("still here"));
    });
    EXPECT_EQ(child.out, "still here");
    EXPECT_EQ(folder.log(), "OpenDebugConsole: no terminal for a console\n");
}
