// The file dialog as a child process (zenity or kdialog) over posix_spawn:
// the chosen name arrives on the child's standard output, one line; exit
// status 0 means a choice was made. The child's standard input and error
// are /dev/null (the toolkits print warnings there), and it inherits no
// other descriptor.
#include "platform/file_dialog.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/child_spawn.h"

namespace platform {

namespace {

FileDialogBackend currentBackend = nullptr;

bool hasDisplay() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

// The program's full path from PATH, or "" when it is not there.
std::string findOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string list = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        std::string dir = list.substr(start, end - start);
        std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return "";
}

// "*.png;*.bmp" as the blank-separated list both programs take.
std::string patternList(const std::string& patterns) {
    std::string list;
    size_t start = 0;
    while (start <= patterns.size()) {
        size_t end = patterns.find(';', start);
        if (end == std::string::npos) end = patterns.size();
        std::string one = patterns.substr(start, end - start);
        while (!one.empty() && one.front() == ' ') one.erase(0, 1);
        while (!one.empty() && one.back() == ' ') one.pop_back();
        if (!one.empty()) list += (list.empty() ? "" : " ") + one;
        start = end + 1;
    }
    return list;
}

std::string startFolder(const FileDialogRequest& request) {
    std::string dir = request.initialDirectory.empty() ? "." : request.initialDirectory;
    if (dir.back() != '/') dir += '/';
    return dir;
}

// Runs the program and collects its standard output; false when it could
// not be started. `status` is the child's wait status.
bool runCollecting(const std::string& program, const std::vector<std::string>& words, std::string& output,
                   int& status) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) return false;
    pid_t pid = 0;
    const int failed = spawnChild(program.c_str(), false, words, pid, [&](posix_spawn_file_actions_t& actions) {
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    });
    close(pipeEnds[1]);
    if (failed != 0) {
        close(pipeEnds[0]);
        return false;
    }
    char chunk[1024];
    for (;;) {
        ssize_t got = read(pipeEnds[0], chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        output.append(chunk, static_cast<size_t>(got));
    }
    close(pipeEnds[0]);
    return waitForChild(pid, status) >= 0;
}

}  // namespace

std::vector<std::string> fileDialogArguments(const std::string& program, const FileDialogRequest& request) {
    std::vector<std::string> words{program};
    if (program == "kdialog") {
        words.push_back(request.open ? "--getopenfilename" : "--getsavefilename");
        words.push_back(startFolder(request));
        std::string filter;
        for (const FileDialogFilter& f : request.filters) {
            std::string list = patternList(f.patterns);
            if (list.empty()) continue;
            if (!filter.empty()) filter += "\n";
            filter += list + "|" + f.description;
        }
        if (!filter.empty()) words.push_back(filter);
        return words;
    }
    words.push_back("--file-selection");
    if (!request.open) words.push_back("--save");
    words.push_back("--filename=" + startFolder(request));
    for (const FileDialogFilter& f : request.filters) {
        std::string list = patternList(f.patterns);
        if (!list.empty()) words.push_back("--file-filter=" + f.description + " | " + list);
    }
    return words;
}

FileDialogAnswer runProcessFileDialog(const FileDialogRequest& request) {
    FileDialogAnswer answer;
    answer.outcome = FileDialogOutcome::Unavailable;
    if (!hasDisplay()) return answer;
    std::string program = "zenity";
    std::string path = findOnPath(program);
    if (path.empty()) path = findOnPath(program = "kdialog");
    if (path.empty()) return answer;
    std::string output;
    int status = 0;
    if (!runCollecting(path, fileDialogArguments(program, request), output, status)) return answer;
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
    bool chosen = WIFEXITED(status) && WEXITSTATUS(status) == 0 && !output.empty();
    answer.outcome = chosen ? FileDialogOutcome::Chosen : FileDialogOutcome::Cancelled;
    if (chosen) answer.path = output;
    return answer;
}

void setFileDialogBackend(FileDialogBackend backend) { currentBackend = backend; }

FileDialogAnswer runFileDialog(const FileDialogRequest& request) {
    return currentBackend ? currentBackend(request) : runProcessFileDialog(request);
}

}  // namespace platform
