// Child processes over posix_spawnp and waitpid.
#include "platform/processes.h"

#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

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
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    // Only the standard descriptors reach the child.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    // The child starts with default signal handling and nothing blocked,
    // whatever this process has set up for itself.
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    pid_t pid = 0;
    int failed = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (failed != 0) return false;
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
    pid_t done;
    while ((done = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    if (done != pid) return false;
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
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (...) {
        // No thread to spare: the child stays a zombie until this process ends.
    }
}

}  // namespace platform
