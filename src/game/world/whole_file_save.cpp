// The whole-file save: write beside, flush, rename over.
// Depends on the disk layer (case-blind names, locked opens, whole writes)
// and POSIX fsync, access, rename and unlink.
#include "game/world/whole_file_save.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "runtime/files/case_blind_path.h"
#include "runtime/files/disk_files.h"

namespace {
constexpr char kNewSuffix[] = ".new";

// The old file may be replaced: none is there, or a regular file that we
// may write and that no writer holds (the disk layer's rule for a file
// opened for writing). A folder or anything else by that name stays.
bool mayReplace(const char* diskPath) {
    struct stat st;
    if (lstat(diskPath, &st) != 0) return true;
    if (S_ISLNK(st.st_mode)) return true;  // the link goes, as a save by channel removes it
    if (!S_ISREG(st.st_mode) || access(diskPath, W_OK) != 0) return false;
    const int held = files::openExistingForReading(diskPath);
    if (held < 0) return false;
    files::closeDiskFile(held);
    return true;
}
}  // namespace

bool saveWholeFile(const RtString& name, const void* bytes, size_t count) {
    char diskPath[files::kPathBufferSize];
    if (!files::resolveDiskPath(name.data, diskPath)) return false;
    const size_t length = std::strlen(diskPath);
    if (length + sizeof kNewSuffix > sizeof diskPath) return false;
    if (!mayReplace(diskPath)) return false;
    char newPath[files::kPathBufferSize];
    std::memcpy(newPath, diskPath, length);
    std::memcpy(newPath + length, kNewSuffix, sizeof kNewSuffix);

    const int fd = files::createForWriting(newPath);
    if (fd < 0) return false;
    // Flushed before the rename, so that after a crash the name holds the
    // old bytes or all of the new ones.
    const bool written = files::writeAll(fd, bytes, count) && fsync(fd) == 0;
    files::closeDiskFile(fd);
    if (written && rename(newPath, diskPath) == 0) return true;
    unlink(newPath);
    return false;
}
