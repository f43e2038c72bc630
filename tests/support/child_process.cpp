#include "child_process.h"

#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace testsupport {

namespace {

void drain(int outFd, int errFd, ChildResult& r) {
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    int open = 2;
    char buf[4096];
    while (open > 0) {
        if (poll(fds, 2, -1) < 0) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            ssize_t n = read(fds[i].fd, buf, sizeof buf);
            if (n <= 0) {
                fds[i].fd = -1;
                --open;
            } else {
                (i == 0 ? r.out : r.err).append(buf, static_cast<size_t>(n));
            }
        }
    }
}

}  // namespace

StartedChild startChild(const std::function<void()>& body, const std::string& stdinText) {
    int outPipe[2], errPipe[2], inPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0 || pipe(inPipe) != 0) return {};
    std::fflush(stdout);
    std::fflush(stderr);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(outPipe[1], 1);
        dup2(errPipe[1], 2);
        dup2(inPipe[0], 0);
        close(outPipe[0]); close(outPipe[1]);
        close(errPipe[0]); close(errPipe[1]);
        close(inPipe[0]); close(inPipe[1]);
        body();
        std::fflush(stdout);
        std::fflush(stderr);
        std::exit(0);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    close(inPipe[0]);
    if (!stdinText.empty()) {
        ssize_t ignored = write(inPipe[1], stdinText.data(), stdinText.size());
        (void)ignored;
    }
    close(inPipe[1]);
    return {pid, outPipe[0], errPipe[0]};
}

ChildResult finishChild(const StartedChild& child) {
    ChildResult r;
    if (child.pid < 0) return r;
    drain(child.out, child.err, r);
    close(child.out);
    close(child.err);
    int status = 0;
    waitpid(child.pid, &status, 0);
    if (WIFEXITED(status)) {
        r.exited = true;
        r.exitStatus = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        r.signal = WTERMSIG(status);
    }
    return r;
}

ChildResult runInChild(const std::function<void()>& body, const std::string& stdinText) {
    return finishChild(startChild(body, stdinText));
}

int startPausedChild(const std::function<void()>& body) {
    int ready[2];
    if (pipe(ready) != 0) return -1;
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        close(ready[0]);
        body();
        const ssize_t told = write(ready[1], "r", 1);
        (void)told;
        for (;;) pause();
    }
    close(ready[1]);
    char mark = 0;
    const bool bodyDone = pid > 0 && read(ready[0], &mark, 1) == 1;
    close(ready[0]);
    if (pid > 0 && !bodyDone) killChild(pid, SIGKILL);
    return bodyDone ? pid : -1;
}

bool killChild(int child, int signal) {
    int status = 0;
    return kill(child, signal) == 0 && waitpid(child, &status, 0) == child && WIFSIGNALED(status) &&
           WTERMSIG(status) == signal;
}

void limitFileSizes(long bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    const struct rlimit limit = {static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
    setrlimit(RLIMIT_FSIZE, &limit);
}

void limitAddressSpace(size_t bytes) {
    FILE* status = std::fopen("/proc/self/status", "r");
    unsigned long long heldKb = 0;
    for (char line[256]; status && std::fgets(line, sizeof line, status);) {
        if (std::sscanf(line, "VmSize: %llu kB", &heldKb) == 1) break;
    }
    if (status) std::fclose(status);
    const rlim_t most = static_cast<rlim_t>(heldKb * 1024 + bytes);
    const struct rlimit limit = {most, most};
    setrlimit(RLIMIT_AS, &limit);
}

}  // namespace testsupport
