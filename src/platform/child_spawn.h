// Starting a child process cleanly, shared by the process commands and the
// file dialog: the child begins with default handling of every signal and
// none blocked, whatever this process has set up for itself, and inherits
// only descriptors 0 to 2. Waiting for a child retries when a signal
// interrupts the wait.
#pragma once
#include <functional>
#include <spawn.h>
#include <string>
#include <sys/types.h>
#include <vector>

namespace platform {

// Starts `program` with the words `args` (args[0] is the name the child
// sees). `searchPath` looks a bare program name up on PATH. `redirect`, when
// given, adds the file actions that set up descriptors 0 to 2; every
// descriptor above 2 is closed after them. Returns 0 with the child's id in
// `pid`, or the error number of the failed start.
int spawnChild(const char* program, bool searchPath, const std::vector<std::string>& args, pid_t& pid,
               const std::function<void(posix_spawn_file_actions_t&)>& redirect = nullptr);

// waitpid(pid, &status, 0), again after each interruption by a signal;
// its result: pid, or -1 with errno set.
pid_t waitForChild(pid_t pid, int& status);

}  // namespace platform
