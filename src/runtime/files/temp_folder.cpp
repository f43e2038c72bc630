// The temporary folder from the environment (POSIX mkdir, lstat, mkdtemp).
//
// $TMPDIR is the user's own choice and is taken as the operating system
// gives it: a "\\" in it is part of a folder name on this system, not a
// separator, so it is left alone. Without it the shared /tmp is not used
// itself, where another user's file or FIFO of the log's name would take
// the writes or stop the program; the user gets a folder of their own in it,
// as long-standing tools keep theirs: /tmp/vantric-<uid>, made with mode
// 0700 when missing, and taken only when lstat shows a real folder (no
// link) that the user owns and no one else may enter. A stable name lets
// the user find the log after the run. The runtime folder of the session
// ($XDG_RUNTIME_DIR) is not used: it is meant for small files, while pack
// entries and textures go here too, and it is missing outside a login
// session, which would move the log from one way of starting to another.
//
// Another user may make a folder of that name first. Then the process makes
// a folder of its own with mkdtemp (/tmp/vantric-<uid>-XXXXXX), once, and
// keeps it: the one who took the name costs the user only the stable name.
// When /tmp takes no new folder at all, /tmp itself is left, where nothing
// new can be made either; the error log still writes only into a regular
// file the user owns.
#include "runtime/files/temp_folder.h"

#include <cstdlib>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isUsersOwnFolder(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 077) == 0;
}

std::string usersOwnFolder() {
    const std::string named = "/tmp/vantric-" + std::to_string(geteuid());
    mkdir(named.c_str(), 0700);  // fails when it exists; the check below decides
    if (isUsersOwnFolder(named)) return named;
    // Never destroyed: a line may still be logged while the process exits.
    static std::mutex& madeLock = *new std::mutex;
    static std::string& made = *new std::string;
    std::lock_guard<std::mutex> hold(madeLock);
    if (made.empty() || !isUsersOwnFolder(made)) {
        std::string pattern = named + "-XXXXXX";
        made = mkdtemp(pattern.data()) ? pattern : "";
    }
    return made.empty() ? "/tmp" : made;
}

}  // namespace

RtString temporaryFolder() {
    const char* dir = std::getenv("TMPDIR");
    struct stat st;
    const std::string folder =
        dir && *dir && stat(dir, &st) == 0 && S_ISDIR(st.st_mode) ? std::string(dir) : usersOwnFolder();
    RtString result(folder.c_str());
    if (result.data[result.length - 1] != '/') result.appendChar('/');
    return result;
}
