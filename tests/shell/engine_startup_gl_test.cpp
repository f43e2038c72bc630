// The engine start-up on a real (offscreen) window: its log lines in order,
// the objects it makes, and the orderly failure without a window.
#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <cstring>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <cstdlib>

#include "child_process.h"
#include "engine_harness.h"
#include "file_bytes.h"
#include "gfx2d/opengl_rainbows.h"
#include "input/input_state.h"
#include "platform/system_info.h"
#include "runtime/engine/engine_state.h"
#include "runtime/services/isaac.h"
#include "runtime/services/pause_flags.h"
#include "runtime/services/process_strings.h"
#include "runtime/services/timers.h"
#include "shell/engine_startup.h"
#include "temp_dir.h"

namespace {

using namespace testsupport;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(EngineStartup, LogsOneLinePerStepInOrder) {
    TempDir folder;
    ASSERT_TRUE(startTestEngine(folder.path()));
    std::vector<std::string> lines = linesOf(errorLogText());
    const std::vector<std::string> expected = {
        "Start new log...",
        "Timer started",
        "Window created: 640x480, ",
        "Random seeded",
        "Network object created",
        "Input created",
        "Display mode: windowed",
        "Input started",
        "Working folder: " + platform::executableFolder(),
        "Pack archives opened",
        "Frame clock started",
        "Screen cleared",
        "Font 0: built-in",
        "Mouse mode: cursor hidden",
        "Sound device created",
        "Init Finalized",
    };
    ASSERT_EQ(lines.size(), expected.size()) << visible(errorLogText());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(lines[i].compare(0, expected[i].size(), expected[i]), 0)
            << "line " << i << ": " << lines[i] << " (expected " << expected[i] << ")";
    }
    EXPECT_NE(lines[2].find("Compatibility Profile"), std::string::npos) << lines[2];
}

TEST(EngineStartup, EachRunDrawsOtherRandomNumbers) {
    auto firstDraws = [] {
        TempDir folder;
        return runInChild([&] {
            timerStart = 0.0;  // as in a fresh process: no timer reading taken yet
            if (!startTestEngine(folder.path())) return;
            std::printf("%d %d", RandomInt(1000000), RandomInt(1000000));
        }).out;
    };
    std::string first = firstDraws();
    EXPECT_FALSE(first.empty());
    EXPECT_NE(firstDraws(), first);
}

TEST(EngineStartup, MakesEachObjectAndTakesTheExecutablesFolder) {
    TempDir folder;
    EngineOptions options;
    options.mouseHidden = 0;
    options.projectName = "Startup_Test";
    ASSERT_TRUE(startTestEngine(folder.path(), options));
    ASSERT_NE(engine.graphics2D, nullptr);
    ASSERT_NE(engine.input, nullptr);
    EXPECT_EQ(engine.input->mouseCount, 1);
    EXPECT_EQ(engine.input->mouseMode, 1);
    EXPECT_EQ(engine.input->cooperativeLevel, InputState::kLevelShared);
    EXPECT_EQ(engine.input->deviceWindow, engine.graphics2D->window);
    EXPECT_TRUE(windowTitleString().equals(RtString("Startup_Test")));
    EXPECT_EQ(pauseAllowed, 1);
    EXPECT_EQ(frameTimeNow, activeTimeOffset);
    EXPECT_EQ(frameTimePrevious, activeTimeOffset);
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(std::string(cwd), platform::executableFolder());
    EXPECT_NE(errorLogText().find("Mouse mode: arrow cursor\n"), std::string::npos);
}

TEST(EngineStartup, ASecondStartMakesNothingNew) {
    TempDir folder;
    ASSERT_TRUE(startTestEngine(folder.path()));
    OpenGLRainbows* graphics = engine.graphics2D;
    InputState* input = engine.input;
    std::string log = errorLogText();
    EXPECT_TRUE(startEngine(RtString("Again")));
    EXPECT_EQ(engine.graphics2D, graphics);
    EXPECT_EQ(engine.input, input);
    EXPECT_EQ(errorLogText(), log);
}

TEST(EngineStartup, WithoutAWindowTheProgramEndsInOrderWithStatusOne) {
    TempDir folder;
    ChildResult r = runInChild([&] {
        setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
        startTestEngine(folder.path());
        std::printf("ran on blind");
    });
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.exitStatus, kNoWindowExitStatus);
    EXPECT_EQ(r.out.find("ran on blind"), std::string::npos);
    EXPECT_EQ(r.err.rfind("Window failed: the video system cannot start", 0), 0u) << r.err;
    std::string log = readFileBytes(folder.file("ErrorLog.txt"));
    EXPECT_EQ(log.rfind("Start new log...\nTimer started\nWindow failed: the video system cannot start", 0), 0u)
        << visible(log);
    EXPECT_NE(log.find("Shut down VNT\n"), std::string::npos) << visible(log);
    EXPECT_EQ(log.find("Init Finalized"), std::string::npos);
}

TEST(EngineStartup, WithoutADisplayTheProgramEndsAtOnceInsteadOfRunningUnseen) {
    TempDir folder;
    auto started = std::chrono::steady_clock::now();
    ChildResult r = runInChild([&] {
        unsetenv("SDL_VIDEODRIVER");  // the driver is SDL's own choice
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        startTestEngine(folder.path());
        std::printf("ran on unseen");
    });
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.exitStatus, kNoWindowExitStatus);
    EXPECT_EQ(r.out.find("ran on unseen"), std::string::npos);
    EXPECT_NE(r.err.find("Window failed: no display\n"), std::string::npos) << r.err;
    std::string log = readFileBytes(folder.file("ErrorLog.txt"));
    EXPECT_EQ(log.rfind("Start new log...\nTimer started\nWindow failed: no display\n", 0), 0u) << visible(log);
    EXPECT_LT(seconds, 1.0);
}

// A display number no X server holds (no lock file, no socket file, no
// abstract socket), or 0 when none is found.
int freeDisplayNumber() {
    const std::string sockets = readFileBytes("/proc/net/unix");
    for (int n = 200; n < 300; ++n) {
        const std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
        if (access(lock.c_str(), F_OK) == 0 || access(socket.c_str(), F_OK) == 0) continue;
        if (sockets.find("@" + socket + "\n") == std::string::npos) return n;
    }
    return 0;
}

// A display server that turns every client away with a reason, as a
// server does a client without the display's cookie.
class RefusingXServer {
public:
    static constexpr const char* kReason = "No way in";

    explicit RefusingXServer(int display) : listening_(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        const std::string path = "/tmp/.X11-unix/X" + std::to_string(display);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path + 1, path.data(), path.size());  // an abstract name
        const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size());
        listens_ = bind(listening_, reinterpret_cast<sockaddr*>(&address), length) == 0 && listen(listening_, 16) == 0;
        if (listens_) serving_ = std::thread([this] { serve(); });
    }
    ~RefusingXServer() {
        shutdown(listening_, SHUT_RDWR);  // ends the accept
        if (serving_.joinable()) serving_.join();
        close(listening_);
    }
    bool listens() const { return listens_; }

private:
    // Reads the client's setup request and answers it with a failure (in
    // the client's byte order) carrying kReason.
    void serve() {
        for (int client; (client = accept(listening_, nullptr, nullptr)) >= 0; close(client)) {
            unsigned char request[12];
            if (recv(client, request, sizeof request, MSG_WAITALL) != 12) continue;
            const bool little = request[0] == 'l';
            const auto u16 = [&](int at) { return little ? request[at] | request[at + 1] << 8 : request[at] << 8 | request[at + 1]; };
            std::vector<char> authorization(((u16(6) + 3) & ~3) + ((u16(8) + 3) & ~3));
            if (!authorization.empty()) recv(client, authorization.data(), authorization.size(), MSG_WAITALL);
            const std::string reason(kReason);
            const size_t padded = (reason.size() + 3) & ~size_t{3};
            std::string reply(8 + padded, '\0');
            reply[1] = static_cast<char>(reason.size());
            reply[little ? 2 : 3] = 11;  // protocol 11.0
            reply[little ? 6 : 7] = static_cast<char>(padded / 4);
            reply.replace(8, reason.size(), reason);
            send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
        }
    }

    int listening_;
    bool listens_ = false;
    std::thread serving_;
};

// A display that no server holds, or whose server refuses the window with a
// reason, whether SDL's driver is ours to choose or the user named it: one
// line, the end at once, nothing from the libraries of drivers that cannot
// serve.
TEST(EngineStartup, ADisplayNoServerHoldsEndsAtOnceInOneLine) {
    const int display = freeDisplayNumber();
    ASSERT_NE(display, 0);
    const std::string name = ":" + std::to_string(display);
    // Starts the engine on the display with the driver (null: SDL's choice
    // as ours to make); expects the end in one line on standard error.
    const auto startFailsAtOnce = [&](const char* driver, const std::string& line) {
        TempDir folder;
        const auto started = std::chrono::steady_clock::now();
        ChildResult r = runInChild([&] {
            if (driver) setenv("SDL_VIDEODRIVER", driver, 1);
            else unsetenv("SDL_VIDEODRIVER");
            unsetenv("WAYLAND_DISPLAY");
            unsetenv("XDG_RUNTIME_DIR");
            setenv("DISPLAY", name.c_str(), 1);
            startTestEngine(folder.path());
        });
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        const char* which = driver ? driver : "SDL's choice";
        ASSERT_TRUE(r.exited) << which;
        EXPECT_EQ(r.exitStatus, kNoWindowExitStatus) << which;
        EXPECT_EQ(r.out, "exit") << which;  // the orderly end's word, without a line end
        EXPECT_EQ(r.err, line) << which;
        EXPECT_LT(seconds, 0.5) << which;
    };
    {
        RefusingXServer server(display);
        ASSERT_TRUE(server.listens());
        const std::string refused = "Window failed: cannot open display " + name + " (" + RefusingXServer::kReason + ")\n";
        startFailsAtOnce(nullptr, refused);
        startFailsAtOnce("x11", refused);
    }
    startFailsAtOnce(nullptr, "Window failed: cannot open display " + name + "\n");
    startFailsAtOnce("x11", "Window failed: the video system cannot start: x11 not available\n");
}

TEST(EngineStartup, ABadWindowSizeIsAStartFailureToo) {
    TempDir folder;
    ChildResult r = runInChild([&] {
        EngineOptions options;
        options.width = 0;
        startTestEngine(folder.path(), options);
    });
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.exitStatus, kNoWindowExitStatus);
    EXPECT_NE(r.err.find("Window failed: bad window size 0x480"), std::string::npos) << r.err;
}

}  // namespace
