// ReadStream: the loaders' private reader over a disk file or a "mem://"
// block. It is held by its caller, opens names as given (a caller that wants
// packed files resolves the name itself with resolvePackedFile first), and
// reports failure only by its result: it never records an RtErrorCode.
//
// A disk file is opened as the channels open theirs (disk_files.h), with the
// lock in its shared form: a file that a file channel holds (one being
// written, say) is refused, so a loader never reads a half-written file, and
// while the stream is open no channel may open the file. FIFOs and sockets
// are not files here.
//
// A block stream keeps the block's key, not its bytes, and looks the block
// up on every read, so a stream whose block has been released (by the next
// resolve on the pack context that made it) fails instead of reading freed
// memory.
//
// Lines are read by the channels' line reader (byte_source.h): the end of a
// block ends its last line as the end of a disk file does (a "\r" there is
// dropped on both), so the same bytes read the same lines.
#pragma once
#include <cstdint>

struct ReadStream {
    int handle = 0;         // open file descriptor; 0 = none (a zeroed record holds nothing)
    uint32_t block = 0;     // key of the memory block (see mem_blocks.h); 0 = none
    int64_t size = 0;       // bytes: the file's size, or the size written in the block's name
    int64_t position = 0;   // next byte to read, from the start
};

// Closes what the record holds, then opens `name`. False for a null or empty
// name, a block name whose block is unknown, released or smaller than the
// size in the name, a name of 1,024 characters or more, a directory, a file
// that another opener holds (see above), or a file that cannot be opened; the
// record is then empty (size 0).
bool readStreamOpen(ReadStream& stream, const char* name);

// Reads `count` bytes. Disk: the position advances by `count` first; true
// only when all `count` bytes arrived. Block: copies what is left up to
// `count` bytes (the rest of the buffer keeps its contents), advances by what
// it copied and returns true, also for fewer bytes; false when the position
// lies outside the block or the block is gone. A negative count, or a record
// holding nothing, gives false.
bool readStreamRead(ReadStream& stream, uint8_t* buffer, int32_t count);

// Reads 4 bytes, little-endian, into `value`. Result rules as readStreamRead;
// bytes that a short block read did not deliver keep those of `value`.
bool readStreamReadInt32(ReadStream& stream, int32_t& value);

// Reads the next text line into `buffer` (`maxLen` bytes, the NUL included),
// without its "\n" and without a "\r" directly before it; the end of the data
// ends the last line as a "\n" would. A line of `maxLen` - 1 bytes fits
// (no empty line follows it); a longer one is cut after `maxLen` - 1 bytes,
// a "\r" at the cut kept, and the next call continues it.
// False when no byte is left, when `maxLen` is below 2, or when the record
// holds nothing.
bool readStreamReadLine(ReadStream& stream, char* buffer, int32_t maxLen);

// Moves the read position; no bounds are applied, a read from outside the
// data fails or delivers nothing.
void readStreamSeek(ReadStream& stream, int64_t position);

// Closes the file, forgets the block; every field becomes 0.
void readStreamClose(ReadStream& stream);
