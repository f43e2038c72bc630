// Disk files as the channels, the read streams, the line file, the INI
// write-back and the copy command open them: names resolved without regard to
// case (case_blind_path.h), and every open locked.
//
// The lock is an advisory flock, taken without waiting on every open made
// here: an open for writing takes it alone, so a file being written is
// neither read half-made nor written by a second opener until it is closed;
// an open for reading shares it with other readers. Departure: a file opened
// for reading without sharing kept every other opener out, so two programs
// loading one level, or two channels reading one file, refused each other
// and the program ended with "no such file". A lock that the file system
// does not support is not insisted on.
//
// Descriptors are never 0 (0 means "none" in the channel records) and are
// closed on exec. Opens do not wait on FIFOs; directories, FIFOs and sockets
// are not files here.
// Depends on POSIX open, flock, lseek, read, pread, write, fsync and rename.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace files {

// Read mode: an existing file, for reading only, shared with other readers
// and refused while a writer holds it. The descriptor, or -1.
int openExistingForReading(const char* diskPath);

// Write mode: a new, empty file of that name, open for reading and writing.
// What bore the name goes first: an empty directory is removed (anything
// else in a directory fails the open), a file or a symbolic link loses this
// name only, so other names of the same file keep their bytes. A file held
// by another opener, or one we may not write, is left untouched and the
// open fails. A device is opened as it is. The descriptor, or -1.
int createForWriting(const char* diskPath);

// A whole file put in the place of `diskPath`. When a file bears the name,
// the new bytes go to a file of a name of its own in the same folder, which
// takes the name only once every byte is down (and on the disk), so a write
// that cannot finish (a full disk, a size limit) leaves the old file as it
// was; until then the old file is held alone, so no reader sees it replaced
// halfway and no second writer gets in. Otherwise the new file takes the
// name at once, held alone while it is written. Anything else that bears the
// name is dealt with as createForWriting does; a device is written in place.
// A replacement not committed is dropped: the file it was making goes.
class FileReplacement {
public:
    explicit FileReplacement(const char* diskPath);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Where the bytes go (open for reading and writing); -1 when the
    // replacement could not begin.
    int descriptor() const { return fd_; }
    // Puts the new file in place. False (the old one left as it was, the
    // partial file removed) when it could not.
    bool commit();

private:
    void drop();

    std::string target_;
    std::string partial_;  // the new file's name: its own, or the target's; empty for a device
    int fd_ = -1;
    int held_ = -1;  // the old file, held alone against other openers until it is replaced
};

// `count` bytes put in the place of the file at `diskPath` through a
// FileReplacement: false, with the old file as it was, when they cannot be.
bool replaceWholeFile(const char* diskPath, const void* bytes, size_t count);

// Append mode: the file, created when missing, for writing only, with the
// file offset at its end. The descriptor, or -1.
int openForAppending(const char* diskPath);

// All `count` bytes, continuing after partial writes; false on an error.
bool writeAll(int fd, const void* bytes, size_t count);

// Reads up to `count` bytes at the file offset, continuing after partial
// reads until the end of the file. The bytes delivered, or -1 on an error.
int64_t readUpTo(int fd, void* buffer, size_t count);
// The same at `offset` (pread), the file offset left alone; -1 also for a
// negative offset.
int64_t readUpToAt(int fd, void* buffer, size_t count, int64_t offset);

// Closes a descriptor of this layer (its lock goes with it); 0 does nothing.
void closeDiskFile(int fd);

}  // namespace files
