// Whole-file saves: the INI and line-file write-backs, the copy command, the
// game's progress and level saves, image and model saving and downloads to a
// file. A save changes only the file it was asked to, keeps all that file
// had (every name, owner, group, mode, access list and attribute), leaves it
// whole when it cannot finish, and never ends the program.
//
// A save goes one of two ways, chosen per file as a careful editor chooses:
// - By rename, where the rename keeps everything: the old file is a regular
//   file with one name on the folder's own file system, and the saver can
//   give a new file its owner, group and every extended attribute. The new
//   bytes go to a partial file beside it, ".<name>.partial-<process>-<serial>",
//   made private (0600) and held locked while it is written. It is given the
//   old owner and group first, then the old attributes (the access list
//   among them: a list the folder's default gave it is replaced by the old
//   file's, or removed where the old file had none, so a save never widens
//   who may read), then after the last write the old mode (the system clears
//   set-id bits on a write), and is flushed and renamed over the old file;
//   the folder is flushed after. A save cut short at any point leaves the old
//   file whole. A name that no file bears is taken the same way (without the
//   flushes), so no one sees the new file half made and a crash leaves none.
// - In place otherwise: a file with a second name, one whose owner, group or
//   an attribute the saver cannot give, one mounted over its name, one in a
//   folder the saver may not create in (or mounted read-only), and one the
//   system refuses to rename over (the rename's failure turns the save in
//   place, not into a failure).
//   The new bytes are kept in memory until the commit; then the old bytes
//   are read into memory as the backup, the new ones written over them from
//   the start, the file cut to their length and flushed. A failure there
//   (a full disk, a size limit) writes the backup back and cuts the file to
//   its length. The file stays the very file it was, so every name sees the
//   new bytes and owner, group, mode, list and attributes stay; set-id bits
//   the system cleared on the write are set again where the saver owns the
//   file. The backup is kept in memory, not in a file, because a folder the
//   saver may not create in is one reason to write in place at all; the
//   memory is the saver's, as large as its own file. Only a kill during the
//   commit's write can leave such a file part new.
// - A device is written as it is, in place.
//
// The rules that hold either way:
// - Symbolic links are followed to the file they lead to (which may not
//   exist yet), at most 40 of them, whatever the length of their text, and
//   as the system itself follows them: a link that stands in a sticky folder
//   everyone may write (a shared temporary folder) is followed only when it
//   is the saver's own or the folder owner's. Any other fails the save, and
//   so does a file there that is neither's (another user may have planted
//   it to receive the saver's bytes), as the system refuses to create over
//   one.
// - A folder of the name fails the save before anything is written; a save
//   never removes a folder.
// - The old file is held alone (disk_files.h) from the start of the save to
//   its end, so no reader of this layer sees it replaced halfway and no
//   second writer gets in; a file we may not write, or one another opener
//   holds, is refused.
// - The folder is opened once at the start and every step after is made
//   relative to it, so a change of the current folder changes nothing.
// - A save that does not finish leaves no partial file. Partial files of the
//   same target that no writer holds any more (their writer was killed) are
//   removed when the next save of that target begins; only regular files,
//   only those the sweep can lock itself, whatever process made them.
// - A failure is logged once in the error log as `what` + ": cannot write "
//   + the whole path + ": " + the reason, the path's control characters
//   escaped (log_text.h). A file-size limit fails a save as a full disk does
//   (disk_files.h).
// Depends on POSIX openat, fstatat, readlinkat, renameat, fsync, fchown,
// fchmod, ftruncate, flock, the *xattr calls and readdir, on disk_files.h and
// on the error log.
#pragma once
#include <cstddef>
#include <string>
#include <sys/stat.h>

namespace files {

class FileReplacement {
public:
    // Begins the replacement of the file at `diskPath`; `what` names the
    // saver in the error log ("SaveLevel").
    FileReplacement(const char* diskPath, const char* what);
    // Drops a replacement not committed: the file it was making goes, the
    // old one stays as it was.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // The open file the save stands on (the partial file, the device, or the
    // old file written in place); -1 when the replacement could not begin or
    // has failed. Bytes go through write(), never straight to it.
    int descriptor() const;
    // All `count` bytes after those written before; false (the replacement
    // dropped, the failure logged) when they cannot be written.
    bool write(const void* bytes, size_t count);
    // Puts the new bytes in place. False (the old file left as it was, the
    // partial file removed, the failure logged) when it cannot.
    bool commit();

private:
    enum class Way { None, Rename, InPlace, Device };

    bool findTarget(const char* diskPath);
    bool begin();
    int refuseInSharedFolder(const char* what);
    bool startPartial(unsigned mode);
    int createPartial(unsigned mode);
    void removeStalePartials() const;
    bool renameIntoPlace();
    bool writeInPlace();
    bool fail();
    void dropPartial();
    void drop();

    std::string what_;
    std::string shownPath_;  // the target's whole path, for the log
    std::string why_;        // the reason to log where the system's own says too little
    std::string name_;       // the target's name in its folder
    std::string partial_;    // the new file's name there until it takes name_
    std::string newBytes_;   // in place: the bytes to write at the commit
    Way way_ = Way::None;
    int folder_ = -1;
    int fd_ = -1;    // the partial file, or the device
    int held_ = -1;  // the old file, held alone until the save ends
    struct stat old_ {};  // the old file as the save found it
};

// `count` bytes put in the place of the file at `diskPath` through a
// FileReplacement: false, with the old file as it was, when they cannot be.
bool replaceWholeFile(const char* diskPath, const void* bytes, size_t count, const char* what);

// The same for a name as game code writes it, resolved as the file channels
// resolve it (case_blind_path.h); a name that cannot be a path fails, logged.
bool saveWholeFile(const char* name, const void* bytes, size_t count, const char* what);

}  // namespace files
