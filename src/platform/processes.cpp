// Child processes over posix_spawnp and waitpid (child_spawn.h).
#include "platform/processes.h"

#include <sys/wait.h>
#include <thread>

#include "platform/child_spawn.h"

namespace platform {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The program word: no escapes, quotes only delimit.
const char* takeProgramWord(const char* p, std::string& word) {
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') word += *p++;
        if (*p == '"') ++p;
    } else {
        while (*p && !isBlank(*p)) word += *p++;
    }
    return p;
}

const char* takeArgumentWord(const char* p, std::string& word) {
    bool quoted = false;
    while (*p && (quoted || !isBlank(*p))) {
        if (*p == '\\') {
            size_t slashes = 0;
            while (*p == '\\') {
                ++slashes;
                ++p;
            }
            if (*p == '"') {
                word.append(slashes / 2, '\\');
                if (slashes % 2 == 1) {
                    word += '"';
                    ++p;
                }
            } else {
                word.append(slashes, '\\');
            }
        } else if (*p == '"') {
            ++p;
            if (quoted && *p == '"') {
                word += '"';
                ++p;
            } else {
                quoted = !quoted;
            }
        } else {
            word += *p++;
        }
    }
    return p;
}

uint32_t exitCodeOf(int status) {
    if (WIFEXITED(status)) return static_cast<uint32_t>(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return 128u + static_cast<uint32_t>(WTERMSIG(status));
    return 0;
}

}  // namespace

std::vector<std::string> splitCommandLine(const char* commandLine) {
    std::vector<std::string> words;
    if (!commandLine) return words;
    const char* p = commandLine;
    while (isBlank(*p)) ++p;
    if (!*p) return words;
    words.emplace_back();
    p = takeProgramWord(p, words.back());
    for (;;) {
        while (isBlank(*p)) ++p;
        if (!*p) break;
        words.emplace_back();
        p = takeArgumentWord(p, words.back());
    }
    return words;
}

bool startProgram(const std::vector<std::string>& args, ChildProcess* child) {
    child->pid = 0;
    if (args.empty() || args[0].empty()) return false;
    pid_t pid = 0;
    if (spawnChild(args[0].c_str(), true, args, pid) != 0) return false;
    child->pid = pid;
    return true;
}

bool startCommandLine(const char* commandLine, ChildProcess* child) {
    return startProgram(splitCommandLine(commandLine), child);
}

bool waitForProcess(ChildProcess& child, uint32_t* exitCode) {
    pid_t pid = child.pid;
    child.pid = 0;
    if (pid <= 0) return false;
    int status = 0;
    if (waitForChild(pid, status) != pid) return false;
    if (exitCode) *exitCode = exitCodeOf(status);
    return true;
}

void releaseProcess(ChildProcess& child) {
    pid_t pid = child.pid;
    child.pid = 0;
    if (pid <= 0) return;
    try {
        std::thread([pid] {
            int status = 0;
            waitForChild(pid, status);
        }).detach();
    } catch (...) {
        // No thread to spare: the child stays a zombie until this process ends.
    }
}

}  // namespace platform
