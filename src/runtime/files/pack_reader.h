// Reading a pack: the trailer, the directory and an entry's packed bytes,
// from an archive that is a disk file or a memory block.
//
// Pack format, all integers little-endian: the archive's last 7 bytes are the
// trailer, "sbX" and the directory position D (i32). D >= 0 counts from the
// archive's first byte; D < 0 counts back from its end, and then every entry
// offset does too. The directory is a list of entries, ended by a length byte
// of 0: name length n (u8, 1 to 255), the base name (n bytes, no NUL), the
// data offset (i32), the packed size (i32). An entry's data is a mode-1 codec
// stream (see lz_codec.h).
//
// Every read is checked against the archive's size: a malformed pack (an
// archive shorter than its trailer, a directory or entry outside the archive,
// a directory cut off inside an entry, a packed size larger than the archive)
// never makes the reader read outside the archive or allocate more than it.
#pragma once
#include <cstdint>

#include "runtime/files/read_stream.h"

namespace files {

struct PackEntry {
    char name[256];      // the stored name, NUL-terminated
    int32_t offset;      // as stored: counted from the start, or from the end when D < 0
    int32_t packedSize;  // as stored
};

enum class PackOpenResult {
    Ready,       // trailer found, directory located
    NoPack,      // the archive cannot be opened, is shorter than the trailer or lacks "sbX"
    Unreadable,  // the trailer or D cannot be read
};

class PackReader {
public:
    PackReader() = default;
    ~PackReader() { close(); }
    PackReader(const PackReader&) = delete;
    PackReader& operator=(const PackReader&) = delete;

    // `path` is a disk path or a MemBlockName.
    PackOpenResult open(const char* path);
    // Walks the directory from its start for the first entry whose name
    // equals `baseName` without regard to the case of ASCII letters. False
    // when the directory ends, or is cut off, before such an entry.
    bool find(const char* baseName, PackEntry& entry);
    // The entry's packed bytes in a new malloc buffer of packedSize + 1
    // bytes, or null when they do not lie inside the archive.
    uint8_t* readPacked(const PackEntry& entry);
    void close() { readStreamClose(stream_); }

private:
    bool readAt(int64_t position, void* buffer, int64_t count);

    ReadStream stream_{};
    int64_t origin_ = 0;     // what D and the entry offsets count from
    int64_t directory_ = 0;  // where the directory begins
};

}  // namespace files
