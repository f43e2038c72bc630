// Whole-file saves: the INI and line-file write-backs, the copy command, the
// game's progress and level saves, image and model saving and downloads to a
// file. A save puts a whole new file in the place of the old one, so a save
// that cannot finish (a full disk, a size limit, a lost connection, a crash)
// leaves the old file as it was, and one that finishes leaves exactly the
// new bytes.
//
// The rules that must hold:
// - Where a file bears the name, the new bytes go to a partial file beside
//   it, ".<name>.partial-<process>-<serial>", which is flushed and renamed
//   over the old one once every byte is down; the folder is flushed after
//   the rename. Until then the old file is held alone (disk_files.h), so no
//   reader sees it replaced halfway and no second writer gets in. The new
//   file takes the old one's permission bits, and its owner and group where
//   the process may give them.
// - A name that no file bears is taken by the new file the same way, through
//   a partial file renamed to it once written (only that file is not
//   flushed), so no one sees it half made and a crash leaves no file.
// - A symbolic link stays: the file it leads to (through further links) is
//   the one replaced, or made when it does not exist yet.
// - The folder is opened once at the start and every step after is made
//   relative to it, so a change of the current folder during a save changes
//   nothing.
// - A save that does not finish leaves no partial file. Partial files of the
//   same target that a process which no longer runs left behind (killed
//   mid-save) are removed when the next save of that target begins.
// - An empty folder of the name is replaced, any other folder refuses the
//   save; a file we may not write, or one another opener holds, is refused;
//   a device is written in place.
// - A failure is logged once in the error log as `what` + ": cannot write "
//   + the whole path + ": " + the system's reason.
// Depends on POSIX openat, fstatat, readlinkat, renameat, fsync, fchown,
// fchmod and readdir, on disk_files.h and on the error log.
#pragma once
#include <cstddef>
#include <string>

namespace files {

class FileReplacement {
public:
    // Begins the replacement of the file at `diskPath`; `what` names the
    // saver in the error log ("SaveLevel").
    FileReplacement(const char* diskPath, const char* what);
    // Drops a replacement not committed: the file it was making goes.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Where the bytes go (open for reading and writing); -1 when the
    // replacement could not begin or has failed.
    int descriptor() const { return fd_; }
    // All `count` bytes at the descriptor's offset; false (the replacement
    // dropped, the failure logged) when they cannot be written.
    bool write(const void* bytes, size_t count);
    // Puts the new file in place. False (the old one left as it was, the
    // partial file removed, the failure logged) when it cannot.
    bool commit();

private:
    bool findTarget(const char* diskPath);
    bool begin();
    int createPartial(unsigned mode);
    void removeStalePartials() const;
    bool fail();
    void drop();

    std::string what_;
    std::string shownPath_;  // the target's whole path, for the log
    std::string name_;       // the target's name in its folder
    std::string partial_;    // the new file's name there until it takes name_; empty for a device
    int folder_ = -1;
    int fd_ = -1;
    int held_ = -1;  // the old file, held alone until it is replaced
};

// `count` bytes put in the place of the file at `diskPath` through a
// FileReplacement: false, with the old file as it was, when they cannot be.
bool replaceWholeFile(const char* diskPath, const void* bytes, size_t count, const char* what);

// The same for a name as game code writes it, resolved as the file channels
// resolve it (case_blind_path.h); a name that cannot be a path fails, logged.
bool saveWholeFile(const char* name, const void* bytes, size_t count, const char* what);

}  // namespace files
