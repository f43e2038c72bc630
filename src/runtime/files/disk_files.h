// Disk files as the channels, the read streams, the line file, the INI
// write-back and the copy command open them: names resolved without regard to
// case (case_blind_path.h), and every open exclusive, as if no other opener
// may share the file.
//
// Exclusive opening is emulated with an advisory lock (flock, not waiting)
// taken on every open made here; a file that another opener of this layer
// holds cannot be opened again until it is closed, and is then neither
// truncated nor changed. A lock that the file system does not support is not
// insisted on.
// Departure: the read streams, which only read, take the lock in its shared
// form. A file a channel holds (one being written, say) still refuses them
// and a stream still keeps every channel out, but two streams may read one
// file at once, so two copies of the program resolving packed files from the
// same executable do not turn each other's pack off.
//
// Descriptors are never 0 (0 means "none" in the channel records) and are
// closed on exec. Opens do not wait on FIFOs; directories, FIFOs and sockets
// are not files here.
// Depends on POSIX open, flock, lseek, read, pread and write.
#pragma once
#include <cstddef>
#include <cstdint>

namespace files {

// Read mode: an existing file, for reading only. The descriptor, or -1.
int openExistingForReading(const char* diskPath);

// Read mode for the read streams: the same, with the shared lock.
int openSharedForReading(const char* diskPath);

// Write mode: a new, empty file of that name, open for reading and writing.
// What bore the name goes first: an empty directory is removed (anything
// else in a directory fails the open), a file or a symbolic link loses this
// name only, so other names of the same file keep their bytes. A file held
// by another opener, or one we may not write, is left untouched and the
// open fails. A device is opened as it is. The descriptor, or -1.
int createForWriting(const char* diskPath);

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
