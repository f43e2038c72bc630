// Disk files as the channels, the read streams, the line file, the INI
// write-back and the copy command open them: names resolved without regard to
// case (case_blind_path.h), and every open locked.
//
// The lock is an advisory flock on every open made here: an open for
// writing takes it alone, without waiting, so a file being written is
// neither read half-made nor written by a second opener until it is closed;
// an open for reading shares it with other readers. A save in place also
// marks the file it writes (a record lock, which no channel or reader
// takes), so that an open for reading kept out by a holder tells:
// - a save in place (marked), which ends in well under a second: waited
//   for, kBusyWaitMs at most, and the file then read whole. The same while
//   a save in place waits for its own hold (on a channel, say, up to that
//   bound too). Who pays: the reader, and only while a save of that very
//   file lasts; one of bytes in pieces (a slow download in place) may hold
//   it longer, and a reader then fails once the bound fills;
// - a write or append channel held open (a log, a score file), which may
//   stay open for the program's whole life; the moment a write channel
//   claims a name; a save by an earlier version of this layer, which does
//   not mark; another program's flock: refused at once.
// Departure: a file opened for reading without sharing kept every other
// opener out, and one being written refused its reader at once, so two
// programs loading one level, or a program loading a level another saved,
// refused each other and the program ended with "no such file". A lock or
// mark that the file system does not support is not insisted on (an open
// for reading is then refused at once by any writer).
//
// Descriptors are never 0 (0 means "none" in the channel records) and are
// closed on exec. Opens do not wait on FIFOs; directories, FIFOs and sockets
// are not files here.
// Whole files put in the place of others are file_replacement.h's.
// Depends on POSIX openat, fstatat, flock, record locks, fchown, fchmod,
// lseek, read, pread, write, nanosleep and sigaction.
#pragma once
#include <cstddef>
#include <cstdint>

namespace files {

// How long an open waits while another opener holds the file in a way
// that keeps it out. Who pays: the opener's thread, and only while a save
// writes that very file (a saver's hold also waits for a channel); once
// the bound fills, the open fails as for a file that is not there (EBUSY).
inline constexpr unsigned kBusyWaitMs = 1000;

// Read mode: an existing file, for reading only, shared with other readers;
// a save in place that holds it is waited for, kBusyWaitMs at most, and any
// other writer refuses it at once. The descriptor, or -1 (EBUSY for a file
// another opener holds).
int openExistingForReading(const char* diskPath);

// Write mode: a new, empty file of that name, open for reading and writing.
// What bore the name goes first: an empty directory is removed (anything
// else in a directory fails the open), a file or a symbolic link loses this
// name only, so other names of the same file keep their bytes. A file held
// by another opener, or one we may not write, is left untouched and the
// open fails. A device is opened as it is. The new file keeps the old one's
// permission bits, owner and group as far as copyOwnerAndMode can give them
// (a private file stays private); its set-user-id and set-group-id bits,
// which the system clears on a write, are left for the closer to give after
// the last write: they come back in `modeAtClose` (0 when there are none).
// The descriptor, or -1.
int createForWriting(const char* diskPath, unsigned& modeAtClose);

// Gives the file open at `to` the owner and group of the one open at `from`
// (the group alone where the owner cannot be given), then its permission
// bits: without set-user-id where the owner stays the saver, and with the
// group's bits no wider than everyone's where the group stays the saver's.
// The set-id bits are not given yet: the mode with them is returned, to be
// given after the last write. What the file system cannot keep stays as made.
unsigned copyOwnerAndMode(int from, int to);

// What bears a name that a new file is to take, relative to `folder` (an
// open directory, or AT_FDCWD): an empty directory is removed and the name
// is Free (any other directory Refuses it); a device is a Device, written as
// it is and never removed; a file that another opener holds, or one we may
// not write (read-only), Refuses the name; any other file leaves it Free and
// is held alone in `held` (its descriptor, else -1) until the new one takes
// its place. A symbolic link (the link itself), a FIFO or a socket simply
// leaves the name Free. A refusal leaves its cause in errno.
enum class NameHolder { Free, Device, Refused };
NameHolder claimName(int folder, const char* name, int& held);

// The locked open of this layer relative to `folder` (an open directory, or
// AT_FDCWD), held alone: `flags` as for openat, `mode` for a file it
// creates. The descriptor, or -1 with the cause in errno (EBUSY for a file
// another opener holds).
int openAloneAt(int folder, const char* name, int flags, unsigned mode = 0666);

// The same open with the lock `lock` (LOCK_SH, shared with readers, or
// LOCK_EX, alone), waiting up to `waitMs` while another opener holds a lock
// that keeps it out: -1 with EBUSY when one still does then. Who pays for
// the wait: the caller, and only while someone else holds the file.
int openHeldAt(int folder, const char* name, int flags, int lock, unsigned waitMs, unsigned mode = 0666);

// The hold of a save in place: the existing file `name` in `folder`, opened
// with `flags`, marked as written by a save (readers kept out wait for it,
// above) and then held alone, waiting up to kBusyWaitMs for another opener
// that keeps it out. The mark goes with the descriptor's close. The
// descriptor, or -1 as openHeldAt.
int openToSaveInPlaceAt(int folder, const char* name, int flags);

// A record lock of the whole file open at `fd` (F_RDLCK or F_WRLCK), of the
// open itself rather than of the process, never waiting. The marks of this
// layer: a save in place marks the file it writes with a read lock (other
// saves' marks share it), a saver marks its partial file with a write lock
// and a sweep of stale partials tries a read lock. flock, which every
// opener here takes, never meets one, so a sweep that tries a file just
// renamed into place keeps nobody out of it. False, the cause in errno,
// when another open holds one that keeps it out (isLockConflict) or the
// file system keeps none.
bool lockRecord(int fd, short type);
bool isLockConflict(int cause);

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

// Closes a descriptor of this layer, its lock first, then its mark (which
// the system alone would drop first), so that a reader the lock kept out
// still finds the mark; 0 does nothing.
void closeDiskFile(int fd);

// A file-size limit (ulimit -f) makes a write past it fail with EFBIG, as a
// full disk fails one, instead of ending the process with SIGXFSZ: the
// layer catches that signal with a handler that does nothing, installed
// once at start-up unless the program has a disposition of its own for it.
// A handler rather than "ignore", so that programs started from this one get
// the default back.

}  // namespace files
