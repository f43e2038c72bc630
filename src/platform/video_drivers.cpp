// The choice of video drivers from the environment (POSIX stat, Unix sockets).
#include "platform/video_drivers.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

bool isSet(const char* value) { return value != nullptr && *value != 0; }

// The number of a local X display, or -1 for a display over the network or
// a text that names none.
int localXDisplayNumber(const char* display) {
    const char* colon = std::strrchr(display, ':');
    if (colon == nullptr) return -1;
    const std::string host(display, static_cast<size_t>(colon - display));
    if (!host.empty() && host != "unix") return -1;
    char* end = nullptr;
    const long number = std::strtol(colon + 1, &end, 10);
    if (end == colon + 1 || (*end != 0 && *end != '.') || number < 0 || number > 65535) return -1;
    return static_cast<int>(number);
}

// A non-blocking connect, closed at once without a word: a server that
// takes it (or whose queue is full) is there.
bool socketAnswers(const std::string& path, bool abstract) {
    sockaddr_un address{};
    if (path.size() + 1 >= sizeof address.sun_path) return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + (abstract ? 1 : 0), path.data(), path.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + (abstract ? 1 : 0) + path.size() +
                                               (abstract ? 0 : 1));
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool answers = connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 || errno == EAGAIN ||
                         errno == EINPROGRESS;
    close(fd);
    return answers;
}

// Where the Wayland client library looks for the socket: an absolute name
// as it is, any other inside the runtime folder, which must be an absolute
// folder (the library refuses anything else, and says so on stderr).
bool waylandSocketFindable(const VideoEnvironment& environment, std::string& skipped) {
    if (environment.waylandDisplay[0] == '/') return true;
    struct stat st;
    const char* folder = environment.runtimeFolder;
    if (isSet(folder) && folder[0] == '/' && stat(folder, &st) == 0 && S_ISDIR(st.st_mode)) return true;
    skipped = std::string("Video driver wayland skipped: display ") + environment.waylandDisplay +
              " needs XDG_RUNTIME_DIR, which is not an absolute folder\n";
    return false;
}

}  // namespace

bool localXServerListens(const char* display) {
    const int number = isSet(display) ? localXDisplayNumber(display) : -1;
    if (number < 0) return false;
    const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
    return socketAnswers(path, true) || socketAnswers(path, false);
}

const char* displayCardOfUser() {
    static char path[32];
    for (int card = 0; card < 16; ++card) {
        std::snprintf(path, sizeof path, "/dev/dri/card%d", card);
        if (access(path, R_OK | W_OK) == 0) return path;
    }
    return nullptr;
}

std::vector<VideoDriverTry> videoDriversToTry(const VideoEnvironment& environment, std::string& skipped) {
    skipped.clear();
    std::vector<VideoDriverTry> tries;
    const bool xNamed = isSet(environment.xDisplay);
    if (isSet(environment.namedDrivers)) {
        VideoDriverTry named{environment.namedDrivers, xNamed ? environment.xDisplay : "", true, false};
        named.serverListens = localXServerListens(environment.xDisplay);
        tries.push_back(named);
        return tries;
    }
    if (xNamed) {
        tries.push_back({"x11", environment.xDisplay, false, localXServerListens(environment.xDisplay)});
    }
    if (isSet(environment.waylandDisplay) && waylandSocketFindable(environment, skipped)) {
        tries.push_back({"wayland", environment.waylandDisplay, false, false});
    }
    if (!xNamed && !isSet(environment.waylandDisplay) && isSet(environment.displayCard)) {
        tries.push_back({"kmsdrm", environment.displayCard, false, false});
    }
    return tries;
}

}  // namespace platform
