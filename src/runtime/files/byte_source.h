// ByteSource: the bytes a file channel or a read stream reads, front to back,
// whether they lie in a disk file or in a memory block, and the one line
// reader over them, so disk files and blocks read the same lines.
//
// A descriptor is read either at the source's own offset (pread: the read
// streams, whose record alone says where the next byte comes from) or at the
// descriptor's file offset (read: the channels, which may stand on a device
// that cannot seek).
// Depends on the disk reads of disk_files.h.
#pragma once
#include <cstdint>

namespace files {

struct ByteSource {
    int handle = 0;                  // open descriptor; 0 = the block below
    const uint8_t* block = nullptr;  // the block's bytes, `size` of them; null (and no handle): every read fails
    int64_t size = 0;                // bytes of the block; not used for a descriptor
    int64_t offset = 0;              // the next byte from the start, moved by every read
    bool atFileOffset = false;       // descriptor: read at its file offset; `offset` then only counts bytes
};

// Up to `count` bytes into `buffer`, fewer only at the end of the data;
// `offset` moves by what arrived. -1 (nothing moved) on a read error, a
// negative count, a source with nothing to read, or an offset before the
// start (or, on a block, past its end).
int64_t readSourceBytes(ByteSource& source, void* buffer, int64_t count);

// The next text line into `buffer` (`maxLen` bytes, the NUL included, at
// least 2), without its "\n" and without a "\r" directly before it; the end of
// the data ends the last line as a "\n" would. A line of `maxLen` - 1 bytes
// fits (its "\n" takes the NUL's place); a longer one is cut after `maxLen`
// - 1 bytes, a "\r" there kept, and goes on in the next read.
// Returns the bytes the line used up, its "\n" included, or -1 when no byte
// was left or a read failed. The source reads ahead in pieces of 64 bytes:
// a caller moves its own position by the result, not by the source's offset.
int64_t readSourceLine(ByteSource& source, char* buffer, int32_t maxLen);

}  // namespace files
