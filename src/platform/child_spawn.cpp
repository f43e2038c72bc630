// Clean child start-up over posix_spawn, and the interrupted wait (see
// child_spawn.h).
#include "platform/child_spawn.h"

#include <cerrno>
#include <csignal>
#include <sys/wait.h>

extern char** environ;

namespace platform {

int spawnChild(const char* program, bool searchPath, const std::vector<std::string>& args, pid_t& pid,
               const std::function<void(posix_spawn_file_actions_t&)>& redirect) {
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    if (redirect) redirect(actions);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    const int failed = searchPath ? posix_spawnp(&pid, program, &actions, &attributes, argv.data(), environ)
                                  : posix_spawn(&pid, program, &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return failed;
}

pid_t waitForChild(pid_t pid, int& status) {
    pid_t done;
    while ((done = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    return done;
}

}  // namespace platform
