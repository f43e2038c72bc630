// The window service asking again for a display named in the environment.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/gl_window.h"

namespace {

// A display named in the environment whose server takes half a second to
// turn each connection away: the window is asked for again only for about
// two seconds in all, however long each try takes.
TEST(GLWindow, ADisplayThatRefusesSlowlyIsAskedAgainForAboutTwoSecondsInAll) {
    // An abstract socket of a display number nobody holds, where each client
    // is held 500 ms and then let go without an answer.
    int listener = -1;
    int number = 0;
    for (int n = 400; n < 500 && listener < 0; ++n) {
        const std::string path = "/tmp/.X11-unix/X" + std::to_string(n);
        if (access(path.c_str(), F_OK) == 0 || access(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), F_OK) == 0)
            continue;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path + 1, path.data(), path.size());  // sun_path[0] = 0: abstract
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ASSERT_GE(fd, 0);
        const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size());
        if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 && listen(fd, 16) == 0) {
            listener = fd;
            number = n;
        } else {
            close(fd);
        }
    }
    ASSERT_GE(listener, 0) << "no free display number";
    std::atomic<bool> stop{false};
    std::thread server([&] {
        while (!stop) {
            pollfd waiting{listener, POLLIN, 0};
            if (poll(&waiting, 1, 50) <= 0) continue;
            const int client = accept(listener, nullptr, nullptr);
            if (client < 0) continue;
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            close(client);
        }
    });

    const std::string display = ":" + std::to_string(number);
    const char* keptDisplay = std::getenv("DISPLAY");
    const std::string keptDisplayText = keptDisplay ? keptDisplay : "";
    const char* keptDriver = std::getenv("SDL_VIDEODRIVER");
    const std::string keptDriverText = keptDriver ? keptDriver : "";
    setenv("DISPLAY", display.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    const auto start = std::chrono::steady_clock::now();
    platform::GLWindow* window = platform::createGLWindow(platform::WindowRequest{"slow", 64, 64, false, 0});
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (keptDisplay) setenv("DISPLAY", keptDisplayText.c_str(), 1);
    else unsetenv("DISPLAY");
    if (keptDriver) setenv("SDL_VIDEODRIVER", keptDriverText.c_str(), 1);
    else unsetenv("SDL_VIDEODRIVER");
    stop = true;
    server.join();
    close(listener);

    EXPECT_EQ(window, nullptr);
    EXPECT_GE(seconds, 1.9);  // it was asked again
    EXPECT_LT(seconds, 6.0) << "asked again for " << seconds << " s";
    EXPECT_EQ(std::string(platform::windowSystemError()).rfind("the video system cannot start", 0), 0u)
        << platform::windowSystemError();
}

}  // namespace
