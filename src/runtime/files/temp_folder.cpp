// The temporary folder from the environment (POSIX stat).
//
// $TMPDIR is taken as the operating system gives it: a "\\" in it is part of
// a folder name on this system, not a separator, so it is left alone.
#include "runtime/files/temp_folder.h"

#include <cstdlib>
#include <sys/stat.h>

RtString temporaryFolder() {
    const char* dir = std::getenv("TMPDIR");
    struct stat st;
    if (!dir || !*dir || stat(dir, &st) != 0 || !S_ISDIR(st.st_mode)) dir = "/tmp";
    RtString folder(dir);
    if (folder.data[folder.length - 1] != '/') folder.appendChar('/');
    return folder;
}
