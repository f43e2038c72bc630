// Runs a piece of a test in a forked child and reports how the child ended
// and what it wrote, for paths that end the process (the orderly end after a
// fatal runtime error) where more than GoogleTest's death tests must be seen:
// both output streams and the exact exit status.
#pragma once
#include <cstddef>
#include <functional>
#include <string>

namespace testsupport {

struct ChildResult {
    bool exited = false;     // ended through exit(); false when killed by a signal
    int exitStatus = -1;     // valid when exited
    int signal = 0;          // valid when !exited
    std::string out;         // everything written to standard output
    std::string err;         // everything written to standard error
};

// The body runs in the child; when it returns, the child exits with 0.
ChildResult runInChild(const std::function<void()>& body, const std::string& stdinText = "");

// The same in two steps, for several children running at once: startChild
// returns as soon as the child runs, finishChild waits for it. Start them
// from one thread while no other runs: a child of a process whose other
// threads hold locks (the allocator's, say) may wait on them for ever.
struct StartedChild {
    int pid = -1;
    int out = -1;
    int err = -1;
};
StartedChild startChild(const std::function<void()>& body, const std::string& stdinText = "");
ChildResult finishChild(const StartedChild& child);

// The body runs in a child that then waits to be killed: for what a process
// leaves behind when it is killed halfway. Returns once the body is done;
// the child's id, or -1 when it could not be started.
int startPausedChild(const std::function<void()>& body);
// Ends such a child with the signal and waits for it; true when the signal
// ended it.
bool killChild(int child, int signal);

// For a child: no file may grow past `bytes`, and a write past it fails
// (as on a full disk) instead of ending the process.
void limitFileSizes(long bytes);
// For a child: the address space may grow by `bytes` beyond what it holds
// now, and no further (the system then gives no more memory).
void limitAddressSpace(size_t bytes);

}  // namespace testsupport
