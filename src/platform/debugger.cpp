// Debugger presence from /proc/self/status and output to standard error.
#include "platform/debugger.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

class ProcessDebugger final : public DebuggerPort {
public:
    bool attached() override {
        int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        char text[4096];
        size_t used = 0;
        for (;;) {
            ssize_t n = ::read(fd, text + used, sizeof text - 1 - used);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            used += static_cast<size_t>(n);
            if (used == sizeof text - 1) break;
        }
        ::close(fd);
        text[used] = '\0';
        return tracerPidFromStatus(text) != 0;
    }

    void output(const char* text) override {
        size_t left = std::strlen(text);
        while (left > 0) {
            ssize_t n = ::write(STDERR_FILENO, text, left);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return;  // nobody to tell; the line is lost, as with no debugger
            text += n;
            left -= static_cast<size_t>(n);
        }
    }
};

ProcessDebugger processDebugger;
DebuggerPort* current = &processDebugger;

}  // namespace

DebuggerPort& debuggerPort() { return *current; }

void setDebuggerPort(DebuggerPort* port) { current = port ? port : &processDebugger; }

bool isDebuggerPresent() { return current->attached(); }

void outputDebugText(const char* text) {
    if (text) current->output(text);
}

std::string RecordingDebugger::joined() const {
    std::string all;
    for (const std::string& t : texts_) all += t;
    return all;
}

ScopedDebuggerPort::ScopedDebuggerPort(DebuggerPort& port) : previous_(current) { current = &port; }

ScopedDebuggerPort::~ScopedDebuggerPort() { current = previous_; }

long tracerPidFromStatus(const char* statusText) {
    static const char key[] = "TracerPid:";
    for (const char* p = statusText; p && *p;) {
        if (std::strncmp(p, key, sizeof key - 1) == 0) {
            char* end = nullptr;
            long pid = std::strtol(p + sizeof key - 1, &end, 10);
            return end == p + sizeof key - 1 ? 0 : pid;
        }
        p = std::strchr(p, '\n');
        if (p) ++p;
    }
    return 0;
}

}  // namespace platform
