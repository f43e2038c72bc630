// Whole-file saves: the INI and line-file write-backs, the copy command, the
// game's progress and level saves, image and model saving and downloads to a
// file. A save changes only the file it was asked to, keeps all that file
// had (every name, owner, group, mode, access list and attribute), leaves it
// whole when it cannot finish, and never ends the program.
//
// A save goes one of two ways, chosen per file as a careful editor chooses:
// - By rename, where the rename keeps everything. The new bytes go to a
//   partial file beside the old one, ".<name>.partial-<process>-<serial>",
//   made private (0600) and marked as its writer's while it is written (a
//   record lock, a kind of lock that readers and writers of the file it
//   becomes never take, so that another save's sweep, which tries it, never
//   keeps them out once the partial has taken the name). After the last
//   write it is given the old file's owner and group, then every extended
//   attribute (the access list among them: a list the folder's default gave
//   it is replaced by the old file's, or removed where the old file had
//   none, so a save never widens who may read), then the old mode: the
//   system strips set-id bits and file capabilities on a write and on a
//   change of owner, so they come last. Then it is flushed and renamed over
//   the old file, and the folder is flushed. A save cut short at any point
//   leaves the old file whole. A name that no file bears is taken the same
//   way (without the flushes), so no one sees the new file half made.
// - In place where the rename would lose something or is refused: a file
//   with a second name, one whose owner, group or an attribute the saver
//   cannot give, one the system refuses to rename over (one mounted over its
//   name), one in a folder that takes no new file (no permission, or mounted
//   read-only). The file is opened for writing as it is held, so a file
//   the system copies on its first write (one in an overlay's lower layer)
//   is the copy from the start. Bytes handed over whole (replaceWholeFile)
//   are used where they stand; bytes that come in pieces go to the partial
//   file while the disk takes them, else to memory. At the commit the old
//   bytes are read into memory as the backup, the new ones written over
//   them from the start, the file cut to their length and flushed. A
//   failure there (a full disk, a size limit) writes the backup back and
//   cuts the file to its old length. The file stays the very file it was, so every name sees
//   the new bytes and owner, group, mode, list and attributes stay
//   (attributes the write strips are given back); set-id bits the system
//   cleared on the write are set again only where the saver owns the file,
//   since only the owner may. A kill during that final write can leave the
//   file part new, part old.
//   What an in-place save sets aside is one copy of the old file in memory
//   (the backup), and the new bytes that come in pieces: on disk, or in
//   memory where the disk has no room for them or the folder takes no
//   file. On disk it needs no more room than the new bytes take beyond the
//   old ones, as a save in place always did. That memory is taken from the
//   system page by page (mapped_bytes.h): short of it, the save fails as on
//   a full disk, the old file whole. Who pays: the saver, with memory as
//   large as the file it saves, twice where the pieces cannot go to disk.
// - A device is written as it is, in place.
//
// Several savers of one file, in one program or several, all land, the last
// to finish winning, as with an editor or `mv`; a reader of this layer sees
// only whole versions. The old file is held from the start of the save to
// its end: shared with readers and other savers by rename (each renames its
// own partial file; a file renamed over keeps its bytes for whoever has it
// open), alone for a save in place, so that no reader sees it half written
// and no second writer gets in; a save in place also marks it, so that a
// reader it keeps out waits for it (disk_files.h). Holding it waits up to
// kBusyWaitMs for another opener that keeps it out (a save in place, a
// write channel, or for a save in place a reader); who pays when that
// bound fills: the saver that waited, whose save fails (logged, the file
// unchanged). A file that lost its name between its open and its hold
// (another save renamed over it) is let go and the file now bearing the
// name is held instead: a save never writes into a file that no longer
// bears its name, and one that returns true has its bytes under the name
// at that moment.
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
//   never removes a folder. So does a file the saver may not write.
// - The folder is opened once at the start and every step after is made
//   relative to it, so a change of the current folder changes nothing.
// - A save that does not finish leaves no partial file. Partial files of the
//   same target that no writer holds any more (their writer was killed) are
//   removed when the next save of that target begins; only regular files,
//   only those that no writer marks as its own, whatever process made them.
// - A failure is logged once in the error log as `what` + ": cannot write "
//   + the whole path + ": " + the reason, the path's control characters
//   escaped (log_text.h). A file-size limit fails a save as a full disk does
//   (disk_files.h).
// Depends on POSIX openat, fstatat, faccessat, readlinkat, renameat, fsync,
// fchown, fchmod, ftruncate, flock, record locks, the *xattr calls and readdir, on
// disk_files.h, mapped_bytes.h and the error log.
#pragma once
#include <cstddef>
#include <string>
#include <sys/stat.h>

#include "runtime/files/mapped_bytes.h"

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
    // Puts the new bytes in place, `lastBytes` after those written before
    // (none by default). False (the old file left as it was, the partial
    // file removed, the failure logged) when it cannot.
    bool commit(const void* lastBytes = nullptr, size_t count = 0);

private:
    enum class Way { None, Rename, InPlace, Device };
    enum class Hold { Held, Moved, Failed };

    bool findTarget(const char* diskPath);
    bool begin();
    Hold hold(int lock);
    bool holdAlone();
    int refuseInSharedFolder(const char* what);
    bool startPartial(unsigned mode);
    int createPartial(unsigned mode);
    void removeStalePartials() const;
    bool renameIntoPlace();
    bool giveAllTheOldFileHad();
    bool moveToMemory();
    bool writeInPlace(const void* bytes, size_t count);
    bool fail();
    void dropPartial();
    void drop();

    std::string what_;
    std::string shownPath_;  // the target's whole path, for the log
    std::string why_;        // the reason to log where the system's own says too little
    std::string name_;       // the target's name in its folder
    std::string partial_;    // the new file's name there until it takes name_
    MappedBytes newBytes_;   // in place without a partial file: the bytes to write at the commit
    size_t partialBytes_ = 0;  // the new bytes written to the partial file
    Way way_ = Way::None;
    int folder_ = -1;
    int fd_ = -1;    // the partial file, or the device
    int held_ = -1;  // the old file, held (alone when heldAlone_) until the save ends
    bool heldAlone_ = false;
    struct stat old_ {};  // the old file as the save found it
};

// `count` bytes put in the place of the file at `diskPath` through a
// FileReplacement: false, with the old file as it was, when they cannot be.
bool replaceWholeFile(const char* diskPath, const void* bytes, size_t count, const char* what);

// The same for a name as game code writes it, resolved as the file channels
// resolve it (case_blind_path.h); a name that cannot be a path fails, logged.
bool saveWholeFile(const char* name, const void* bytes, size_t count, const char* what);

}  // namespace files
