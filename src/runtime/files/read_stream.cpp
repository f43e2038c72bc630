// ReadStream over the disk opens that channels use (readers share a file,
// a writer holds it alone), the memory-block registry and the byte
// source's line reader.
//
// A disk stream reads at its own `position` (pread), so the record alone says
// where the next byte comes from; no operating-system file pointer has to be
// kept in step with it.
#include "runtime/files/read_stream.h"

#include <sys/stat.h>

#include "runtime/files/byte_source.h"
#include "runtime/files/case_blind_path.h"
#include "runtime/files/disk_files.h"
#include "runtime/files/file_paths.h"
#include "runtime/files/mem_blocks.h"

namespace {

// The stream's bytes from its position on; a block that is gone gives a
// source every read of which fails.
files::ByteSource sourceOf(const ReadStream& stream) {
    files::ByteSource source;
    source.handle = stream.handle;
    if (!stream.handle && stream.block) source.block = files::findMemBlock(stream.block, stream.size);
    source.size = stream.size;
    source.offset = stream.position;
    return source;
}

}  // namespace

bool readStreamOpen(ReadStream& stream, const char* name) {
    readStreamClose(stream);
    if (!name || !*name) return false;
    if (files::isMemBlockName(name)) {
        int64_t size = 0;
        uint32_t key = 0;
        if (!files::lookupMemBlockName(name, size, key)) return false;
        stream.block = key;
        stream.size = size;
        return true;
    }
    char path[files::kPathBufferSize];
    if (!files::resolveDiskPath(name, path)) return false;
    int fd = files::openExistingForReading(path);
    if (fd < 0) return false;
    struct stat st;
    if (fstat(fd, &st) != 0) {
        files::closeDiskFile(fd);
        return false;
    }
    stream.handle = fd;
    stream.size = st.st_size;
    return true;
}

bool readStreamRead(ReadStream& stream, uint8_t* buffer, int32_t count) {
    if (count < 0 || (!stream.handle && !stream.block)) return false;
    files::ByteSource source = sourceOf(stream);
    int64_t got = files::readSourceBytes(source, buffer, count);
    if (stream.handle) {  // a disk read moves by the whole count and must deliver it
        stream.position += count;
        return got == count;
    }
    if (got < 0) return false;
    stream.position += got;
    return true;
}

bool readStreamReadInt32(ReadStream& stream, int32_t& value) {
    uint32_t bits = static_cast<uint32_t>(value);
    uint8_t bytes[4] = {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
                        static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
    if (!readStreamRead(stream, bytes, 4)) return false;
    value = static_cast<int32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24);
    return true;
}

bool readStreamReadLine(ReadStream& stream, char* buffer, int32_t maxLen) {
    if (!buffer || maxLen < 2) return false;
    files::ByteSource source = sourceOf(stream);
    int64_t used = files::readSourceLine(source, buffer, maxLen);
    if (used < 0) return false;
    stream.position += used;
    return true;
}

void readStreamSeek(ReadStream& stream, int64_t position) { stream.position = position; }

void readStreamClose(ReadStream& stream) {
    files::closeDiskFile(stream.handle);
    stream = ReadStream{};
}
