// Command-line splitting and child processes.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/processes.h"

using Words = std::vector<std::string>;

TEST(SplitCommandLine, BlanksSeparateWords) {
    EXPECT_EQ(platform::splitCommandLine("prog a  b\tc"), (Words{"prog", "a", "b", "c"}));
    EXPECT_EQ(platform::splitCommandLine("  prog  "), (Words{"prog"}));
    EXPECT_EQ(platform::splitCommandLine(""), Words{});
    EXPECT_EQ(platform::splitCommandLine(" \t "), Words{});
    EXPECT_EQ(platform::splitCommandLine(nullptr), Words{});
}

TEST(SplitCommandLine, ProgramWordTakesQuotesLiterallyInside) {
    EXPECT_EQ(platform::splitCommandLine("\"C:\\Program Files\\x.exe\" a"),
              (Words{"C:\\Program Files\\x.exe", "a"}));
    EXPECT_EQ(platform::splitCommandLine("dir\\prog\\ a"), (Words{"dir\\prog\\", "a"}));
    EXPECT_EQ(platform::splitCommandLine("\"unterminated prog"), (Words{"unterminated prog"}));
    EXPECT_EQ(platform::splitCommandLine("\"\" a"), (Words{"", "a"}));
}

TEST(SplitCommandLine, QuotesAndBackslashesInArguments) {
    struct Case {
        const char* line;
        Words words;
    } cases[] = {
        {"p \"a b\" c", {"p", "a b", "c"}},
        {"p a\"b c\"d", {"p", "ab cd"}},
        {"p \"\"", {"p", ""}},
        {"p \"\" \"\"", {"p", "", ""}},
        {"p \\\"a", {"p", "\"a"}},            // 1 backslash: a literal quote
        {"p \\\\\"a b\"", {"p", "\\a b"}},    // 2: one backslash, the quote opens
        {"p \\\\\\\"a", {"p", "\\\"a"}},      // 3: one backslash and a literal quote
        {"p a\\\\b", {"p", "a\\\\b"}},        // backslashes before other bytes stay
        {"p a\\", {"p", "a\\"}},
        {"p \"a\"\"b\"", {"p", "a\"b"}},      // "" inside quotes is one quote
        {"p \"a b", {"p", "a b"}},            // an open quote runs to the end
        {"p 'a b'", {"p", "'a", "b'"}},       // single quotes mean nothing
        {"p $HOME *", {"p", "$HOME", "*"}},   // nor does anything a shell would expand
    };
    for (const Case& c : cases) EXPECT_EQ(platform::splitCommandLine(c.line), c.words) << c.line;
}

TEST(ChildProcesses, StartWaitAndExitCodes) {
    platform::ChildProcess child;
    ASSERT_TRUE(platform::startCommandLine("sh -c \"exit 42\"", &child));
    EXPECT_GT(child.pid, 0);
    uint32_t code = 0;
    ASSERT_TRUE(platform::waitForProcess(child, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(child.pid, 0);
    EXPECT_FALSE(platform::waitForProcess(child, &code));  // forgotten
    ASSERT_TRUE(platform::startProgram({"sh", "-c", "kill -TERM $$"}, &child));
    ASSERT_TRUE(platform::waitForProcess(child, nullptr));
}

TEST(ChildProcesses, MissingProgramsDoNotStart) {
    platform::ChildProcess child;
    EXPECT_FALSE(platform::startProgram({}, &child));
    EXPECT_FALSE(platform::startProgram({""}, &child));
    EXPECT_FALSE(platform::startProgram({"/nonexistent/x"}, &child));
    EXPECT_FALSE(platform::startCommandLine("no-such-program-anywhere", &child));
    EXPECT_EQ(child.pid, 0);
}

namespace {
// The state letter of a process, '-' when it is gone. Read with plain POSIX
// calls: the process may vanish between the open and the read, which a
// stream reports by throwing.
char processState(int pid) {
    std::string path = "/proc/" + std::to_string(pid) + "/stat";
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return '-';
    char buf[512];
    ssize_t n = ::read(fd, buf, sizeof buf);
    ::close(fd);
    if (n <= 0) return '-';
    std::string text(buf, static_cast<size_t>(n));
    size_t close = text.rfind(')');
    return close == std::string::npos || close + 2 >= text.size() ? '-' : text[close + 2];
}
}  // namespace

TEST(ChildProcesses, ReleasedChildrenLeaveNoZombie) {
    platform::ChildProcess child;
    ASSERT_TRUE(platform::startProgram({"true"}, &child));
    int pid = child.pid;
    platform::releaseProcess(child);
    EXPECT_EQ(child.pid, 0);
    char state = 'Z';
    for (int i = 0; i < 500; ++i) {
        state = processState(pid);
        if (state == '-') break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(state, '-');  // gone entirely, not a zombie
}
