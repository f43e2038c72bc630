// Whole-file replacement over a folder descriptor: the target found through
// its links as the system would follow them, the old file claimed and held,
// and the new bytes put in its place by rename or in place, whichever keeps
// all the old file had.
#include "runtime/files/file_replacement.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "runtime/files/case_blind_path.h"
#include "runtime/files/disk_files.h"
#include "runtime/files/error_log.h"
#include "runtime/files/file_paths.h"
#include "runtime/files/log_text.h"

namespace files {

namespace {

constexpr int kLinkHops = 40;                // links followed before the target counts as a loop, as the system counts
constexpr size_t kLongestLinkText = 1 << 16;  // bytes; far beyond what the system lets a link hold
constexpr size_t kPartialStemLetters = 200;  // of the target's name in a partial's name, which stays within NAME_MAX
constexpr const char* kAccessList = "system.posix_acl_access";
// Times a save looks again when the file it held lost its name to another
// save's rename; each look is quick, so only a save racing a storm of
// others ever runs out of them.
constexpr int kHoldAttempts = 100;

// `shownPath` as pathForMessages gives it, its control characters escaped.
void logFailure(const std::string& what, const std::string& shownPath, const std::string& reason) {
    appendToErrorLog((what + ": cannot write " + shownPath + ": " + reason + "\n").c_str());
}

// Opens the folder of `path` (relative to `base` when the path is) and puts
// the last component in `name`. The folder's descriptor, or -1.
int openFolderOf(int base, const std::string& path, std::string& name) {
    const size_t slash = path.rfind('/');
    name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty()) {
        errno = EISDIR;
        return -1;
    }
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    return openat(base, folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// The text of the link `name` in `folder`, however long; false, the cause
// in errno, when it cannot be read.
bool readLink(int folder, const std::string& name, std::string& text) {
    for (size_t room = 256; room <= kLongestLinkText; room *= 2) {
        text.resize(room);
        const ssize_t length = readlinkat(folder, name.c_str(), text.data(), room);
        if (length < 0) return false;
        if (static_cast<size_t>(length) < room) {
            text.resize(static_cast<size_t>(length));
            errno = ENOENT;
            return length > 0;
        }
    }
    errno = ENAMETOOLONG;
    return false;
}

// The system's own rule for shared folders: in a sticky folder everyone may
// write, a link is followed, and a file written into, only when it belongs to
// the saver or to the folder's owner, so nobody can plant there a link that
// leads another user's save to that user's own files, nor a file of their
// own that a save would fill.
bool mayUseInSharedFolder(int folder, const struct stat& entry) {
    struct stat dir;
    if (fstat(folder, &dir) != 0) return false;
    const bool shared = (dir.st_mode & S_ISVTX) && (dir.st_mode & S_IWOTH);
    return !shared || entry.st_uid == geteuid() || entry.st_uid == dir.st_uid;
}

// The partial files of a target share this beginning; the process and the
// serial follow it.
std::string partialStem(const std::string& name) {
    return "." + name.substr(0, kPartialStemLetters) + ".partial-";
}

// True when `entry` is the name of a partial file of the stem: the stem,
// then digits, "-", digits.
bool isPartialName(const char* entry, const std::string& stem) {
    if (std::strncmp(entry, stem.c_str(), stem.size()) != 0) return false;
    const std::string rest = entry + stem.size();
    const size_t dash = rest.find('-');
    const auto isNumber = [](const std::string& text) {
        return !text.empty() && text.size() <= 10 && text.find_first_not_of("0123456789") == std::string::npos;
    };
    return dash != std::string::npos && isNumber(rest.substr(0, dash)) && isNumber(rest.substr(dash + 1));
}

bool flushed(int fd) { return fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP; }

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// True while `name` in `folder` still bears the file `held` (fstat of it).
bool stillNamed(int folder, const std::string& name, const struct stat& held) {
    struct stat named;
    return held.st_nlink > 0 && fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(named, held);
}

// `count` bytes written over the file open at `fd` from its start, the file
// cut to their length and flushed; false, the cause in errno, on an error.
bool putWhole(int fd, const void* bytes, size_t count) {
    return lseek(fd, 0, SEEK_SET) == 0 && writeAll(fd, bytes, count) && ftruncate(fd, static_cast<off_t>(count)) == 0 &&
           flushed(fd);
}

// The whole file open at `from` written over the one open at `to` from its
// start, piece by piece, `to` cut to its length and flushed; false, the
// cause in errno, on an error.
bool copyWhole(int from, int to) {
    char piece[64 * 1024];
    off_t at = 0;
    if (lseek(to, 0, SEEK_SET) != 0) return false;
    for (;;) {
        const int64_t got = readUpToAt(from, piece, sizeof piece, at);
        if (got < 0) return false;
        if (got == 0) break;
        if (!writeAll(to, piece, static_cast<size_t>(got))) return false;
        at += got;
    }
    return ftruncate(to, at) == 0 && flushed(to);
}

// Calls `list` or `get` (the *xattr calls on a descriptor) with a buffer
// grown until the answer fits; false on an error.
template <class Call>
bool readGrowing(std::string& out, Call call) {
    for (;;) {
        const ssize_t size = call(nullptr, 0);
        if (size < 0) return false;
        out.resize(static_cast<size_t>(size));
        const ssize_t got = call(out.data(), out.size());
        if (got >= 0) {
            out.resize(static_cast<size_t>(got));
            return true;
        }
        if (errno != ERANGE) return false;  // else it grew in between
    }
}

// The extended attributes of the file open at `fd`, name and value; false
// on an error (ENOTSUP: the file system keeps none).
using Attributes = std::vector<std::pair<std::string, std::string>>;
bool readAttributes(int fd, Attributes& out) {
    std::string names;
    if (!readGrowing(names, [&](char* room, size_t size) { return flistxattr(fd, room, size); })) return false;
    for (size_t at = 0; at < names.size(); at += std::strlen(names.c_str() + at) + 1) {
        const char* name = names.c_str() + at;
        std::string value;
        if (!readGrowing(value, [&](char* room, size_t size) { return fgetxattr(fd, name, room, size); })) return false;
        out.emplace_back(name, std::move(value));
    }
    return true;
}

// Gives the file open at `to` the owner and group of the one open at `from`
// (`old`), then each of its extended attributes, the access list among
// them (a list `to` got from its folder's default goes where `from` has
// none), then its mode. False where the owner, group or an attribute cannot
// be given: a rename would lose it.
bool giveOwnerAttributesAndMode(int from, const struct stat& old, int to) {
    if (fchown(to, old.st_uid, old.st_gid) != 0) return false;
    Attributes attributes;
    if (!readAttributes(from, attributes) && errno != ENOTSUP) return false;  // none to lose without them
    bool hadList = false;
    for (const auto& [name, value] : attributes) {
        if (fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0) return false;
        hadList = hadList || name == kAccessList;
    }
    if (!hadList && fremovexattr(to, kAccessList) != 0 && errno != ENODATA && errno != ENOTSUP) return false;
    if (fchmod(to, old.st_mode & 07777) != 0) {
        // A file system without modes keeps its own.
    }
    return true;
}

// Gives the file open at `fd` back each attribute of `had` that it lost
// (a write strips file capabilities); what cannot be given stays lost.
void giveBackAttributes(int fd, const Attributes& had) {
    for (const auto& [name, value] : had) {
        if (fgetxattr(fd, name.c_str(), nullptr, 0) < 0 && errno == ENODATA) {
            fsetxattr(fd, name.c_str(), value.data(), value.size(), XATTR_CREATE);
        }
    }
}

}  // namespace

FileReplacement::FileReplacement(const char* diskPath, const char* what)
    : what_(what ? what : ""), shownPath_(diskPath ? absolutePath(diskPath) : "NULL") {
    errno = ENOENT;  // the cause for a null or empty name
    if (!diskPath || !*diskPath || !findTarget(diskPath) || !begin()) fail();
}

FileReplacement::~FileReplacement() { drop(); }

int FileReplacement::descriptor() const {
    if (way_ == Way::None) return -1;
    return fd_ >= 0 ? fd_ : held_;
}

// Follows symbolic links from `diskPath` to the file they lead to (which
// may not exist yet); leaves its folder open in folder_ and its name in
// name_. False, the cause in errno (and why_ where it says too little),
// when a folder on the way cannot be opened, a link may not be followed or
// the links loop.
bool FileReplacement::findTarget(const char* diskPath) {
    std::string path = diskPath;
    int base = AT_FDCWD;
    for (int hop = 0;; ++hop) {
        const int folder = openFolderOf(base, path, name_);
        const int cause = errno;
        if (base != AT_FDCWD) close(base);
        if (folder < 0) {
            errno = cause;
            return false;
        }
        struct stat st;
        if (fstatat(folder, name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISLNK(st.st_mode)) {
            folder_ = folder;
            return true;
        }
        std::string link;
        int why = 0;
        if (hop == kLinkHops) {
            why = ELOOP;
        } else if (!mayUseInSharedFolder(folder, st)) {
            why = refuseInSharedFolder("a symbolic link");
        } else if (!readLink(folder, name_, link)) {
            why = errno;
        }
        if (why != 0) {
            close(folder);
            errno = why;
            return false;
        }
        shownPath_ = link[0] == '/' ? link : shownPath_.substr(0, shownPath_.rfind('/') + 1) + link;
        path = link;
        base = folder;  // a relative link is read from the link's own folder
    }
}

// Looks at what bears the target's name, holds it and takes the way the
// save goes. False, the cause in errno, when the save cannot begin.
bool FileReplacement::begin() {
    const char* name = name_.c_str();
    for (int attempt = 0; attempt < kHoldAttempts; ++attempt) {
        struct stat st;
        if (fstatat(folder_, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            // A new file gets the permissions any new file gets.
            return errno == ENOENT && startPartial(0666);
        }
        if (S_ISDIR(st.st_mode)) {
            errno = EISDIR;
            return false;
        }
        // Written in place where a rename is refused, another user's file would
        // be filled with the saver's bytes.
        if (!mayUseInSharedFolder(folder_, st)) {
            errno = refuseInSharedFolder("a file");
            return false;
        }
        if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) {
            way_ = Way::Device;
            fd_ = openAloneAt(folder_, name, O_RDWR);
            return fd_ >= 0;
        }
        if (!S_ISREG(st.st_mode)) return startPartial(0666);  // a FIFO or a socket gives way to the file
        if (faccessat(folder_, name, W_OK, AT_EACCESS) != 0) return false;
        // The new bytes go to a partial file wherever the folder takes one;
        // a folder closed to new files, or mounted read-only with the file
        // mounted writable into it, leaves them to memory and the save in
        // place. So does a second name, which a renamed file would not have.
        const bool partial = startPartial(0600);
        if (!partial && errno != EACCES && errno != EPERM && errno != EROFS) return false;
        const bool inPlace = !partial || st.st_nlink > 1;
        switch (hold(inPlace ? LOCK_EX : LOCK_SH)) {
        case Hold::Held:
            way_ = inPlace ? Way::InPlace : Way::Rename;
            return true;
        case Hold::Failed:
            return false;
        case Hold::Moved:  // another save renamed over it: the file now there is the old one
            dropPartial();
            break;
        }
    }
    errno = EBUSY;
    return false;
}

// Opens the file bearing the target's name (not a link), locks it (`lock`),
// waiting up to kBusyWaitMs for an opener that keeps it out, and keeps it
// in held_ with its state in old_ while the name still bears it. Moved when
// the name went to another file, or to none, between the open and the lock.
FileReplacement::Hold FileReplacement::hold(int lock) {
    closeDiskFile(held_);
    // Held alone, it is written in place: opened for writing before it is
    // looked at, so that a file the system copies on its first open for
    // writing (in an overlay's lower layer) is held as the copy, and marked
    // as a save's, so that readers wait for it (disk_files.h).
    held_ = lock == LOCK_EX ? openToSaveInPlaceAt(folder_, name_.c_str(), O_RDWR | O_NOFOLLOW)
                            : openHeldAt(folder_, name_.c_str(), O_RDONLY | O_NOFOLLOW, LOCK_SH, kBusyWaitMs);
    heldAlone_ = held_ >= 0 && lock == LOCK_EX;
    if (held_ < 0) {
        if (errno == ENOENT || errno == ELOOP) return Hold::Moved;
        if (errno == EBUSY) why_ = std::string(std::strerror(EBUSY)) + " (another opener held it for over a second)";
        return Hold::Failed;
    }
    if (fstat(held_, &old_) != 0) return Hold::Failed;
    if (stillNamed(folder_, name_, old_)) return Hold::Held;
    closeDiskFile(held_);
    held_ = -1;
    heldAlone_ = false;
    return Hold::Moved;
}

// Holds alone the file bearing the target's name, for a save in place that
// began by rename: whatever another save put there meanwhile is the file
// written. False, the cause in errno, when it cannot be held.
bool FileReplacement::holdAlone() {
    for (int attempt = 0; !heldAlone_ && attempt < kHoldAttempts; ++attempt) {
        struct stat st;
        if (fstatat(folder_, name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
        if (!S_ISREG(st.st_mode)) {
            errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
            return false;
        }
        if (hold(LOCK_EX) == Hold::Failed) return false;
    }
    if (!heldAlone_) errno = EBUSY;
    return heldAlone_;
}

// Why a save in a shared sticky folder is refused (`what` stands there); the
// cause, EACCES.
int FileReplacement::refuseInSharedFolder(const char* what) {
    why_ = std::string(std::strerror(EACCES)) + " (" + what +
           " in a shared sticky folder, owned by neither the saver nor the folder's owner)";
    return EACCES;
}

// Clears the target's stale partial files and makes its own; the save then
// goes by rename. False, the cause in errno, when it cannot be made.
bool FileReplacement::startPartial(unsigned mode) {
    removeStalePartials();
    fd_ = createPartial(mode);
    if (fd_ < 0) return false;
    way_ = Way::Rename;
    return true;
}

// A new, empty file beside the target under a name of its own, marked as
// its writer's for as long as it is written; -1 when it cannot be made.
int FileReplacement::createPartial(unsigned mode) {
    static std::atomic<unsigned> serial{0};  // replacements may be made on several threads
    const std::string stem = partialStem(name_) + std::to_string(getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        partial_ = stem + std::to_string(++serial);
        // Also held shared, as readers hold files, so that the sweep of an
        // earlier version of this routine, which takes a partial alone,
        // leaves it be; readers of the file it becomes are not kept out.
        const int fd = openHeldAt(folder_, partial_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW, LOCK_SH, 0, mode);
        if (fd < 0) {
            if (errno == EEXIST || errno == EBUSY) continue;  // EBUSY: such a sweep has it
            break;
        }
        // Another save's sweep may take the new file between its making and
        // its mark: while the sweep holds its lock the mark fails (and the
        // sweep removes it); once the sweep has removed it, the file has no
        // name left. The next name is free of it either way. A file system
        // without record locks is not insisted on.
        struct stat made;
        if ((lockRecord(fd, F_WRLCK) || !isLockConflict(errno)) && fstat(fd, &made) == 0 && made.st_nlink > 0) return fd;
        close(fd);
        errno = EBUSY;
    }
    const int cause = errno;
    partial_.clear();
    errno = cause;
    return -1;
}

// Removes the partial files of this target that no writer holds. Every
// writer marks its own for as long as it writes, so one without the mark
// was left by a writer that ended mid-save, in whatever process (or process
// namespace: a process number proves nothing) it ran. Only regular files go,
// and only the file that was tried, not one that took its name since; the
// lock tried is one that no reader or writer of the target takes, so one
// that another save has just renamed into place keeps nobody out while the
// sweep has it. Who pays: the saver, one look at each entry of the folder.
void FileReplacement::removeStalePartials() const {
    const int listing = openat(folder_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listing < 0 ? nullptr : fdopendir(listing);
    if (!dir) {
        if (listing >= 0) close(listing);
        return;
    }
    const std::string stem = partialStem(name_);
    while (const dirent* entry = readdir(dir)) {
        if (!isPartialName(entry->d_name, stem)) continue;
        const int fd = openat(folder_, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;  // a link, or gone
        struct stat locked, named;
        if (fstat(fd, &locked) == 0 && S_ISREG(locked.st_mode) && lockRecord(fd, F_RDLCK) &&
            fstatat(folder_, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(named, locked))
            unlinkat(folder_, entry->d_name, 0);
        close(fd);
    }
    closedir(dir);
}

bool FileReplacement::write(const void* bytes, size_t count) {
    if (way_ == Way::None) return false;
    if (fd_ < 0) return newBytes_.append(bytes, count) || fail();  // in place, no partial file
    if (writeAll(fd_, bytes, count)) {
        partialBytes_ += count;
        return true;
    }
    // A save in place needs no room for a second copy on disk: where the
    // disk takes no more, what the partial file holds moves to memory.
    if (way_ != Way::InPlace || (errno != ENOSPC && errno != EDQUOT) || !moveToMemory()) return fail();
    return newBytes_.append(bytes, count) || fail();
}

// The new bytes written so far from the partial file to memory, and the
// partial file gone; false, the cause in errno, when memory cannot take them.
bool FileReplacement::moveToMemory() {
    if (!newBytes_.resize(partialBytes_)) return false;
    if (readUpToAt(fd_, newBytes_.data(), partialBytes_, 0) != static_cast<int64_t>(partialBytes_)) {
        if (errno == 0) errno = EIO;
        return false;
    }
    dropPartial();
    return true;
}

bool FileReplacement::commit(const void* lastBytes, size_t count) {
    if (way_ == Way::None) return false;
    // Bytes for a save in place that hold the whole file are used where they
    // stand: they need no partial file.
    const bool whole = way_ == Way::InPlace && partialBytes_ == 0 && newBytes_.size() == 0;
    if (whole) dropPartial();
    if (count > 0 && !whole && !write(lastBytes, count)) return false;
    switch (way_) {
    case Way::None:
        return false;
    case Way::Rename:
        if (!renameIntoPlace()) return false;
        break;
    case Way::InPlace:
        if (!(whole ? writeInPlace(lastBytes, count) : writeInPlace(newBytes_.data(), newBytes_.size()))) return false;
        break;
    case Way::Device: {
        const int fd = fd_;
        fd_ = -1;
        if (close(fd) != 0) return fail();
        break;
    }
    }
    drop();
    return true;
}

// The partial file takes the target's name. A file that replaces another is
// given all it had after the last write, then flushed, so after a crash the
// name holds the old file or the whole new one (a file system that cannot
// flush is not insisted on). What it cannot be given, and a rename the
// system refuses (the name is a mount point, say), send the bytes in place.
bool FileReplacement::renameIntoPlace() {
    if (held_ >= 0 && !giveOwnerAttributesAndMode(held_, old_, fd_)) return writeInPlace(nullptr, 0);
    if (held_ >= 0 && !flushed(fd_)) return fail();
    if (renameat(folder_, partial_.c_str(), folder_, name_.c_str()) == 0) {
        partial_.clear();
        close(fd_);  // its lock goes with it
        fd_ = -1;
        fsync(folder_);  // so that the new name outlives a crash; the file is in place in any case
        return true;
    }
    if (held_ < 0) return fail();
    return writeInPlace(nullptr, 0);
}

// The new bytes (the partial file's, else `count` of them at `bytes`) over
// the old file's, which are put back when that fails. The old bytes are
// still the file's blocks while the new ones are written (the file is cut
// only at the end), so putting them back needs no more room.
bool FileReplacement::writeInPlace(const void* bytes, size_t count) {
    if (!holdAlone()) return fail();  // held open for writing: a running program says "Text file busy"
    const int out = held_;
    struct stat st;
    if (fstat(out, &st) != 0) return fail();
    Attributes had;
    readAttributes(out, had);  // those a write strips are given back
    MappedBytes backup;
    const size_t oldSize = static_cast<size_t>(st.st_size);
    bool written = backup.resize(oldSize);
    if (written && readUpToAt(out, backup.data(), oldSize, 0) != static_cast<int64_t>(oldSize)) {
        if (errno == 0) errno = EIO;
        written = false;
    }
    if (written) {
        written = fd_ >= 0 ? copyWhole(fd_, out) : putWhole(out, bytes, count);
        if (!written) {
            const int cause = errno;
            putWhole(out, backup.data(), oldSize);
            errno = cause;
        }
    }
    const int cause = errno;
    // The system clears set-id bits on a write by anyone but a privileged
    // process; the owner may set them again, anyone else may not.
    if ((old_.st_mode & (S_ISUID | S_ISGID)) && old_.st_uid == geteuid() && fchmod(out, old_.st_mode & 07777) != 0) {
        // They stay cleared.
    }
    giveBackAttributes(out, had);
    errno = cause;
    if (written && !stillNamed(folder_, name_, old_)) {
        why_ = "the file lost its name while it was written";
        written = false;
    }
    return written || fail();
}

// Drops the replacement and logs the cause (why_, or the one errno holds); false.
bool FileReplacement::fail() {
    const int cause = errno;
    drop();
    logFailure(what_, escapeForLog(shownPath_), why_.empty() ? std::strerror(cause) : why_);
    return false;
}

void FileReplacement::dropPartial() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    partialBytes_ = 0;
    if (!partial_.empty()) unlinkat(folder_, partial_.c_str(), 0);
    partial_.clear();
}

void FileReplacement::drop() {
    dropPartial();
    way_ = Way::None;
    newBytes_.clear();
    closeDiskFile(held_);
    held_ = -1;
    heldAlone_ = false;
    if (folder_ >= 0) close(folder_);
    folder_ = -1;
}

bool replaceWholeFile(const char* diskPath, const void* bytes, size_t count, const char* what) {
    FileReplacement file(diskPath, what);
    return file.commit(bytes, count);
}

bool saveWholeFile(const char* name, const void* bytes, size_t count, const char* what) {
    char diskPath[kPathBufferSize];
    if (!resolveDiskPath(name, diskPath)) {
        logFailure(what ? what : "", pathForMessages(name), std::strerror(name ? ENAMETOOLONG : ENOENT));
        return false;
    }
    return replaceWholeFile(diskPath, bytes, count, what);
}

}  // namespace files
