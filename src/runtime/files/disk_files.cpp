// Disk opens over POSIX descriptors and flock, and the reads and writes that
// go on until the whole count is done. A file open for writing is held
// alone; readers share it with other readers, so two programs (or two
// channels) reading one level or picture never refuse each other, while a
// half-written file is still refused to them.
// A whole-file replacement writes beside its target and renames over it.
#include "runtime/files/disk_files.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {

namespace {

// Opens without waiting (a FIFO would block an open for reading), moves a
// descriptor 0 higher, refuses what is not a file or a device, takes the
// lock (LOCK_EX or LOCK_SH; files only: a device is shared by nature) and
// switches blocking back on. -1 on any failure.
int openLocked(const char* path, int flags, int lock = LOCK_EX) {
    if (!path || !*path) return -1;
    int fd = open(path, flags | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) return -1;
    if (fd == 0) {
        int moved = fcntl(fd, F_DUPFD_CLOEXEC, 1);
        close(fd);
        if (moved < 0) return -1;
        fd = moved;
    }
    struct stat st;
    bool usable = fstat(fd, &st) == 0 && (S_ISREG(st.st_mode) || S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode));
    if (usable && S_ISREG(st.st_mode) && flock(fd, lock | LOCK_NB) != 0) usable = errno != EWOULDBLOCK && errno != EINTR;
    int status = usable ? fcntl(fd, F_GETFL) : -1;
    if (status < 0 || fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// Reads until `count` bytes or the end of the file: at `offset` (pread), or
// at the file offset when `offset` is negative.
int64_t readLoop(int fd, void* buffer, size_t count, int64_t offset) {
    auto* to = static_cast<unsigned char*>(buffer);
    size_t done = 0;
    while (done < count) {
        ssize_t got = offset < 0 ? read(fd, to + done, count - done)
                                 : pread(fd, to + done, count - done, offset + static_cast<int64_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    return static_cast<int64_t>(done);
}

}  // namespace

int openExistingForReading(const char* diskPath) { return openLocked(diskPath, O_RDONLY, LOCK_SH); }

namespace {

enum class NameHolder { Free, Device, Refused };

// Readies the name for a new file: an empty directory is removed (any other
// directory refuses the name); a device is written as it is, never removed;
// a file that another opener holds, or one we may not write (read-only),
// refuses the name; any other file is held alone in `held` until the new one
// takes its name. A symbolic link (the link itself), a FIFO or a socket
// simply loses the name.
NameHolder claimName(const char* diskPath, int& held) {
    held = -1;
    struct stat st;
    if (lstat(diskPath, &st) != 0) return NameHolder::Free;
    if (S_ISDIR(st.st_mode)) return rmdir(diskPath) == 0 ? NameHolder::Free : NameHolder::Refused;
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return NameHolder::Device;
    if (!S_ISREG(st.st_mode)) return NameHolder::Free;
    if (access(diskPath, W_OK) != 0) return NameHolder::Refused;
    held = openLocked(diskPath, O_RDONLY | O_NOFOLLOW);
    return held < 0 ? NameHolder::Refused : NameHolder::Free;
}

// A new, empty file beside `target` under a name of its own, or -1.
int createPartial(const std::string& target, std::string& partial) {
    static std::atomic<unsigned> serial{0};  // replacements may be made on several threads
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        partial = folder + ".partial." + std::to_string(getpid()) + "." + std::to_string(++serial);
        int fd = openLocked(partial.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

}  // namespace

int createForWriting(const char* diskPath) {
    if (!diskPath || !*diskPath) return -1;
    int held = -1;
    switch (claimName(diskPath, held)) {
    case NameHolder::Refused:
        return -1;
    case NameHolder::Device:
        return openLocked(diskPath, O_RDWR);
    case NameHolder::Free:
        break;
    }
    // The name goes, so other names of the same file keep their bytes.
    unlink(diskPath);
    if (held >= 0) close(held);
    return openLocked(diskPath, O_RDWR | O_CREAT | O_EXCL);
}

FileReplacement::FileReplacement(const char* diskPath) {
    if (!diskPath || !*diskPath) return;
    target_ = diskPath;
    switch (claimName(diskPath, held_)) {
    case NameHolder::Refused:
        return;
    case NameHolder::Device:
        fd_ = openLocked(diskPath, O_RDWR);
        return;
    case NameHolder::Free:
        if (held_ >= 0) {
            fd_ = createPartial(target_, partial_);
            if (fd_ < 0) partial_.clear();
            return;
        }
        // No file bears the name: the new one takes it at once, held alone
        // while it is written, and goes again if it cannot be finished.
        unlink(diskPath);
        fd_ = openLocked(diskPath, O_RDWR | O_CREAT | O_EXCL);
        if (fd_ >= 0) partial_ = target_;
        return;
    }
}

FileReplacement::~FileReplacement() { drop(); }

bool FileReplacement::commit() {
    if (fd_ < 0) return false;
    // Only a file that replaces another is flushed before it takes the name:
    // after a crash the name holds the old bytes or all the new ones. A file
    // system that cannot flush (EINVAL, ENOTSUP) is not insisted on.
    const bool replacing = !partial_.empty() && partial_ != target_;
    bool done = !replacing || fsync(fd_) == 0 || errno == EINVAL || errno == ENOTSUP;
    done = close(fd_) == 0 && done;
    fd_ = -1;
    if (replacing && done) done = rename(partial_.c_str(), target_.c_str()) == 0;
    if (done) partial_.clear();
    drop();
    return done;
}

void FileReplacement::drop() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    if (!partial_.empty()) unlink(partial_.c_str());
    partial_.clear();
    if (held_ >= 0) close(held_);
    held_ = -1;
}

bool replaceWholeFile(const char* diskPath, const void* bytes, size_t count) {
    FileReplacement file(diskPath);
    return file.descriptor() >= 0 && writeAll(file.descriptor(), bytes, count) && file.commit();
}

int openForAppending(const char* diskPath) {
    int fd = openLocked(diskPath, O_WRONLY | O_CREAT);
    if (fd >= 0) lseek(fd, 0, SEEK_END);
    return fd;
}

bool writeAll(int fd, const void* bytes, size_t count) {
    auto* from = static_cast<const unsigned char*>(bytes);
    while (count > 0) {
        ssize_t done = write(fd, from, count);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        from += done;
        count -= static_cast<size_t>(done);
    }
    return true;
}

int64_t readUpTo(int fd, void* buffer, size_t count) { return readLoop(fd, buffer, count, -1); }

int64_t readUpToAt(int fd, void* buffer, size_t count, int64_t offset) {
    return offset < 0 ? -1 : readLoop(fd, buffer, count, offset);
}

void closeDiskFile(int fd) {
    if (fd > 0) close(fd);
}

}  // namespace files
