// Disk opens over POSIX descriptors, flock and record locks, and the reads
// and writes that go on until the whole count is done. A file open for
// writing is held alone; readers share it with other readers, so two
// programs (or two channels) reading one level or picture never refuse each
// other, while a file a save is writing in place is waited for.
#include "runtime/files/disk_files.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {

namespace {

void ignoreFileSizeSignal(int) {}

// At start-up, before any file is written. Who pays when a size limit fills:
// only the write past it, which fails (a save keeps the old file, a channel
// ends the program in order) instead of the whole process being killed.
struct FileSizeSignalHandler {
    FileSizeSignalHandler() {
        struct sigaction now {};
        if (sigaction(SIGXFSZ, nullptr, &now) != 0 || (now.sa_flags & SA_SIGINFO) || now.sa_handler != SIG_DFL) return;
        struct sigaction quiet {};
        quiet.sa_handler = ignoreFileSizeSignal;
        quiet.sa_flags = SA_RESTART;
        sigemptyset(&quiet.sa_mask);
        sigaction(SIGXFSZ, &quiet, nullptr);
    }
} fileSizeSignalHandler;

// A wait for a lock looks again every millisecond. A save in place
// running flat out lets its file go for moments only, and a waiter that
// looked less often (it backed off to 16 ms) could miss every one of them
// for the whole bound and fail. Who pays: the waiter, a thousand looks a
// second of a few microseconds each, and only while it waits.
constexpr unsigned kLockLookMs = 1;

// How an open takes its flock (lock: LOCK_SH or LOCK_EX), and whom it waits
// for, waitMs at most, while another opener's keeps it out.
struct Locking {
    int lock = LOCK_SH;
    unsigned waitMs = 0;
    bool onlyForSaves = false;  // waits only while a save in place holds it; else refused at once
    bool marksSave = false;     // a save in place: marked before it is held, so none who waits is refused
};

// True while any open holds a record lock of the file open at `fd`. What
// gives that: a save in place, holding the file or waiting for its hold;
// for a moment, a partial file just renamed into place (its writer's mark,
// or a sweep's try of it); another program's own record lock, which is
// then waited for like a save, kBusyWaitMs at most. No channel and no
// reader takes one.
bool markedBySave(int fd) {
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    return fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
}

// One try at the lock: true when taken (or when the file system keeps no
// locks, which is not insisted on).
bool tryLock(int fd, int lock) {
    if (flock(fd, lock | LOCK_NB) == 0) return true;
    return errno != EWOULDBLOCK && errno != EINTR;
}

// Takes the lock (and the mark) on `fd` without blocking, looking again
// every kLockLookMs as `how` says. The bound counts looks, not the clock:
// on a loaded machine the save waited for runs slow too, and the waiter's
// pauses stretch with it, so that the load alone does not make it give up
// (a refused level ends the game). Who pays: the waiter, longer there.
bool lockWithin(int fd, const Locking& how) {
    for (unsigned waited = 0;; waited += kLockLookMs) {
        // Another save's mark is shared; only a partial's writer, for the
        // moment after its rename, keeps a new one out.
        const bool marked = !how.marksSave || lockRecord(fd, F_RDLCK) || !isLockConflict(errno);
        if (marked && tryLock(fd, how.lock)) return true;
        // A save marks before it takes the lock and lets the lock go before
        // the mark (closeDiskFile): a holder found without the mark is one
        // that does not mark, or a save that ended between the two looks,
        // which the second try then finds gone.
        if (how.onlyForSaves && !markedBySave(fd)) {
            if (tryLock(fd, how.lock)) return true;
            if (!markedBySave(fd)) return false;
        }
        if (waited >= how.waitMs) return false;
        const struct timespec pause = {0, static_cast<long>(kLockLookMs) * 1000000L};
        nanosleep(&pause, nullptr);
    }
}

// Opens without waiting (a FIFO would block an open for reading), moves a
// descriptor 0 higher, refuses what is not a file or a device, takes the
// lock as `how` says (files only: a device is shared by nature), and
// switches blocking back on. -1 on any failure, its cause in errno (EBUSY
// for a lock still held by another).
int openLocked(int folder, const char* path, int flags, const Locking& how, mode_t mode = 0666) {
    if (!path || !*path) {
        errno = ENOENT;
        return -1;
    }
    int fd = openat(folder, path, flags | O_CLOEXEC | O_NONBLOCK, mode);
    if (fd < 0) return -1;
    if (fd == 0) {
        int moved = fcntl(fd, F_DUPFD_CLOEXEC, 1);
        close(fd);
        if (moved < 0) return -1;
        fd = moved;
    }
    struct stat st;
    int cause = 0;
    if (fstat(fd, &st) != 0) cause = errno;
    else if (!S_ISREG(st.st_mode) && !S_ISCHR(st.st_mode) && !S_ISBLK(st.st_mode)) cause = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    else if (S_ISREG(st.st_mode) && !lockWithin(fd, how)) cause = EBUSY;
    int status = cause ? -1 : fcntl(fd, F_GETFL);
    if (status < 0 || fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        if (!cause) cause = errno;
        close(fd);
        errno = cause;
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

int openExistingForReading(const char* diskPath) {
    const Locking waitingForSaves{.lock = LOCK_SH, .waitMs = kBusyWaitMs, .onlyForSaves = true};
    return openLocked(AT_FDCWD, diskPath, O_RDONLY, waitingForSaves);
}

int openAloneAt(int folder, const char* name, int flags, unsigned mode) {
    return openLocked(folder, name, flags, Locking{.lock = LOCK_EX}, static_cast<mode_t>(mode));
}

int openHeldAt(int folder, const char* name, int flags, int lock, unsigned waitMs, unsigned mode) {
    return openLocked(folder, name, flags, Locking{.lock = lock, .waitMs = waitMs}, static_cast<mode_t>(mode));
}

int openToSaveInPlaceAt(int folder, const char* name, int flags) {
    return openLocked(folder, name, flags, Locking{.lock = LOCK_EX, .waitMs = kBusyWaitMs, .marksSave = true});
}

bool lockRecord(int fd, short type) {
    struct flock whole {};
    whole.l_type = type;
    whole.l_whence = SEEK_SET;
    return fcntl(fd, F_OFD_SETLK, &whole) == 0;
}

bool isLockConflict(int cause) { return cause == EAGAIN || cause == EACCES; }

NameHolder claimName(int folder, const char* name, int& held) {
    held = -1;
    struct stat st;
    if (fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return NameHolder::Free;
    if (S_ISDIR(st.st_mode)) return unlinkat(folder, name, AT_REMOVEDIR) == 0 ? NameHolder::Free : NameHolder::Refused;
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return NameHolder::Device;
    if (!S_ISREG(st.st_mode)) return NameHolder::Free;
    if (faccessat(folder, name, W_OK, 0) != 0) return NameHolder::Refused;
    held = openAloneAt(folder, name, O_RDONLY | O_NOFOLLOW);
    return held < 0 ? NameHolder::Refused : NameHolder::Free;
}

int createForWriting(const char* diskPath, unsigned& modeAtClose) {
    modeAtClose = 0;
    if (!diskPath || !*diskPath) return -1;
    int held = -1;
    switch (claimName(AT_FDCWD, diskPath, held)) {
    case NameHolder::Refused:
        return -1;
    case NameHolder::Device:
        return openAloneAt(AT_FDCWD, diskPath, O_RDWR);
    case NameHolder::Free:
        break;
    }
    // The name goes, so other names of the same file keep their bytes.
    unlink(diskPath);
    // In the place of a file the new one is private until it has the old
    // one's owner and mode, so nobody opens a private file's successor.
    const int fd = openAloneAt(AT_FDCWD, diskPath, O_RDWR | O_CREAT | O_EXCL, held >= 0 ? 0600 : 0666);
    if (held >= 0) {
        if (fd >= 0) modeAtClose = copyOwnerAndMode(held, fd);
        close(held);
    }
    return fd;
}

unsigned copyOwnerAndMode(int from, int to) {
    struct stat old;
    if (fstat(from, &old) != 0) return 0;
    mode_t mode = old.st_mode & 07777;
    if (fchown(to, old.st_uid, old.st_gid) != 0) {
        // The file stays the saver's, and set-user-id would now run as the
        // saver; where the group cannot be given either, the saver's group
        // gets no more than everyone else had.
        mode &= ~static_cast<mode_t>(S_ISUID);
        if (fchown(to, static_cast<uid_t>(-1), old.st_gid) != 0) {
            mode = (mode & ~static_cast<mode_t>(S_ISGID | S_IRWXG)) | (mode & S_IRWXO) << 3;
        }
    }
    const mode_t setId = S_ISUID | S_ISGID;
    if (fchmod(to, mode & ~setId) != 0) return 0;  // a file system without modes keeps its own
    return mode & setId ? mode : 0;
}

int openForAppending(const char* diskPath) {
    int fd = openAloneAt(AT_FDCWD, diskPath, O_WRONLY | O_CREAT);
    if (fd >= 0) lseek(fd, 0, SEEK_END);
    return fd;
}

bool writeAll(int fd, const void* bytes, size_t count) {
    auto* from = static_cast<const unsigned char*>(bytes);
    while (count > 0) {
        ssize_t done = write(fd, from, count);
        if (done < 0 && errno == EINTR) continue;
        if (done == 0) errno = ENOSPC;  // nothing taken and no cause given: the device is full
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
    if (fd <= 0) return;
    flock(fd, LOCK_UN);  // before the system drops the mark with the descriptor
    close(fd);
}

}  // namespace files
