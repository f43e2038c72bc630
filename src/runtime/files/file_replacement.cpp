// Whole-file replacement over a folder descriptor: the target found through
// its links, the old file claimed and held, a partial file written beside
// it, flushed and renamed over it.
#include "runtime/files/file_replacement.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "runtime/files/case_blind_path.h"
#include "runtime/files/disk_files.h"
#include "runtime/files/error_log.h"
#include "runtime/files/file_paths.h"

namespace files {

namespace {

constexpr int kLinkHops = 40;              // links followed before the target counts as a loop
constexpr size_t kPartialStemLetters = 200; // of the target's name in a partial's name, which stays within NAME_MAX

void logFailure(const std::string& what, const std::string& path, int cause) {
    appendToErrorLog((what + ": cannot write " + path + ": " + std::strerror(cause) + "\n").c_str());
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

// The partial files of a target share this beginning; the process and the
// serial follow it.
std::string partialStem(const std::string& name) {
    return "." + name.substr(0, kPartialStemLetters) + ".partial-";
}

// The process that made the partial file `entry` of the stem, or 0 when the
// entry is not one (the stem, then digits, "-", digits).
pid_t partialMaker(const char* entry, const std::string& stem) {
    if (std::strncmp(entry, stem.c_str(), stem.size()) != 0) return 0;
    const std::string rest = entry + stem.size();
    const size_t dash = rest.find('-');
    const auto isNumber = [](const std::string& text) {
        return !text.empty() && text.size() <= 10 && text.find_first_not_of("0123456789") == std::string::npos;
    };
    if (dash == std::string::npos || !isNumber(rest.substr(0, dash)) || !isNumber(rest.substr(dash + 1))) return 0;
    const long long pid = std::stoll(rest.substr(0, dash));
    return pid > 0 && pid <= INT_MAX ? static_cast<pid_t>(pid) : 0;
}

}  // namespace

FileReplacement::FileReplacement(const char* diskPath, const char* what)
    : what_(what ? what : ""), shownPath_(pathForMessages(diskPath)) {
    errno = ENOENT;  // the cause for a null or empty name
    if (!diskPath || !*diskPath || !findTarget(diskPath) || !begin()) fail();
}

FileReplacement::~FileReplacement() { drop(); }

// Follows symbolic links from `diskPath` to the file they lead to (which
// may not exist yet); leaves its folder open in folder_ and its name in
// name_. False, the cause in errno, when a folder on the way cannot be
// opened or the links loop.
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
        char link[kPathBufferSize];
        const ssize_t length = readlinkat(folder, name_.c_str(), link, sizeof link);
        if (length <= 0 || static_cast<size_t>(length) >= sizeof link || hop == kLinkHops) {
            const int why = length < 0 ? errno : length == 0 ? ENOENT : hop == kLinkHops ? ELOOP : ENAMETOOLONG;
            close(folder);
            errno = why;
            return false;
        }
        path.assign(link, static_cast<size_t>(length));
        shownPath_ = path[0] == '/' ? path : shownPath_.substr(0, shownPath_.rfind('/') + 1) + path;
        base = folder;  // a relative link is read from the link's own folder
    }
}

// Claims the target's name and opens the file the bytes go to. False, the
// cause in errno, when it cannot.
bool FileReplacement::begin() {
    const char* name = name_.c_str();
    switch (claimName(folder_, name, held_)) {
    case NameHolder::Refused:
        return false;
    case NameHolder::Device:
        fd_ = openAloneAt(folder_, name, O_RDWR);
        return fd_ >= 0;
    case NameHolder::Free:
        break;
    }
    // Nobody else is replacing this target now (its old file, if any, is ours).
    removeStalePartials();
    // A file that replaces none is made beside its name too, so that a save
    // cut short by a crash leaves no file rather than a truncated one; it
    // gets the permissions any new file gets.
    fd_ = createPartial(held_ >= 0 ? 0600 : 0666);
    if (fd_ < 0) return false;
    if (held_ >= 0) copyOwnerAndMode(held_, fd_);
    return true;
}

// A new, empty file beside the target under a name of its own, or -1.
int FileReplacement::createPartial(unsigned mode) {
    static std::atomic<unsigned> serial{0};  // replacements may be made on several threads
    const std::string stem = partialStem(name_) + std::to_string(getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        partial_ = stem + std::to_string(++serial);
        const int fd = openAloneAt(folder_, partial_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW, mode);
        if (fd >= 0) return fd;
        if (errno != EEXIST) break;
    }
    const int cause = errno;
    partial_.clear();
    errno = cause;
    return -1;
}

void FileReplacement::removeStalePartials() const {
    const int listing = openat(folder_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = listing < 0 ? nullptr : fdopendir(listing);
    if (!dir) {
        if (listing >= 0) close(listing);
        return;
    }
    const std::string stem = partialStem(name_);
    while (const dirent* entry = readdir(dir)) {
        const pid_t maker = partialMaker(entry->d_name, stem);
        if (maker > 0 && maker != getpid() && kill(maker, 0) != 0 && errno == ESRCH) unlinkat(folder_, entry->d_name, 0);
    }
    closedir(dir);
}

bool FileReplacement::write(const void* bytes, size_t count) {
    if (fd_ < 0) return false;
    return writeAll(fd_, bytes, count) || fail();
}

bool FileReplacement::commit() {
    if (fd_ < 0) return false;
    // Only a file that replaces another is flushed before it takes the name:
    // after a crash the name holds the old bytes or all the new ones. A file
    // system that cannot flush (EINVAL, ENOTSUP) is not insisted on.
    if (held_ >= 0 && fsync(fd_) != 0 && errno != EINVAL && errno != ENOTSUP) return fail();
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) return fail();
    if (!partial_.empty()) {  // else a device, written in place
        if (renameat(folder_, partial_.c_str(), folder_, name_.c_str()) != 0) return fail();
        // So that the new name outlives a crash; the file is in place in any case.
        fsync(folder_);
    }
    partial_.clear();
    drop();
    return true;
}

// Drops the replacement and logs the cause that errno holds; false.
bool FileReplacement::fail() {
    const int cause = errno;
    drop();
    logFailure(what_, shownPath_, cause);
    return false;
}

void FileReplacement::drop() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    if (!partial_.empty()) unlinkat(folder_, partial_.c_str(), 0);
    partial_.clear();
    if (held_ >= 0) close(held_);
    held_ = -1;
    if (folder_ >= 0) close(folder_);
    folder_ = -1;
}

bool replaceWholeFile(const char* diskPath, const void* bytes, size_t count, const char* what) {
    FileReplacement file(diskPath, what);
    return file.write(bytes, count) && file.commit();
}

bool saveWholeFile(const char* name, const void* bytes, size_t count, const char* what) {
    char diskPath[kPathBufferSize];
    if (!resolveDiskPath(name, diskPath)) {
        logFailure(what ? what : "", pathForMessages(name), name ? ENAMETOOLONG : ENOENT);
        return false;
    }
    return replaceWholeFile(diskPath, bytes, count, what);
}

}  // namespace files
