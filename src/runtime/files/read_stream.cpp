// ReadStream over POSIX descriptors and the memory-block registry.
//
// A disk stream reads at its own `position` (pread), so the record alone says
// where the next byte comes from; no operating-system file pointer has to be
// kept in step with it.
#include "runtime/files/read_stream.h"


#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "runtime/files/case_blind_path.h"
#include "runtime/files/file_paths.h"
#include "runtime/files/mem_blocks.h"

namespace {

constexpr int32_t kLinePiece = 64;  // bytes a disk line read asks for at a time

// Reads up to `count` bytes at `offset`, stopping early only at the end of the
// file. The bytes delivered, or -1 on an error.
int64_t readAt(int fd, uint8_t* buffer, int64_t count, int64_t offset) {
    if (offset < 0) return -1;
    int64_t done = 0;
    while (done < count) {
        ssize_t got = pread(fd, buffer + done, static_cast<size_t>(count - done), offset + done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        done += got;
    }
    return done;
}

// Descriptor 0 is "none" in the record; an open that lands on it (standard
// input closed) moves to a higher number.
int openForReading(const char* path) {
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd == 0) {
        int moved = fcntl(fd, F_DUPFD_CLOEXEC, 1);
        close(fd);
        fd = moved;
    }
    return fd;
}

// Ends the line at `length` bytes of `buffer`, dropping a "\r" before the end.
void terminateLine(char* buffer, int64_t length, bool endedByNewline) {
    if (endedByNewline && length > 0 && buffer[length - 1] == '\r') --length;
    buffer[length] = '\0';
}

bool readDiskLine(ReadStream& stream, char* buffer, int32_t maxLen) {
    const int64_t limit = maxLen - 1;  // the NUL stays inside the buffer
    int64_t total = 0;
    for (;;) {
        if (total == limit) {  // a long line: the next call continues it
            buffer[total] = '\0';
            return true;
        }
        int64_t ask = std::min<int64_t>(kLinePiece, limit - total);
        uint8_t* piece = reinterpret_cast<uint8_t*>(buffer) + total;
        int64_t got = readAt(stream.handle, piece, ask, stream.position);
        if (got < 0 || (got == 0 && total == 0)) return false;
        if (auto* newline = static_cast<uint8_t*>(std::memchr(piece, '\n', static_cast<size_t>(got)))) {
            int64_t length = total + (newline - piece);
            stream.position += newline - piece + 1;
            terminateLine(buffer, length, true);
            return true;
        }
        stream.position += got;
        total += got;
        if (got < ask) {  // the end of the file ends the line
            terminateLine(buffer, total, true);
            return true;
        }
    }
}

bool readBlockLine(ReadStream& stream, const uint8_t* data, char* buffer, int32_t maxLen) {
    if (stream.position < 0 || stream.position >= stream.size) return false;
    const uint8_t* start = data + stream.position;
    int64_t available = std::min<int64_t>(stream.size - stream.position, maxLen - 1);
    auto* newline = static_cast<const uint8_t*>(std::memchr(start, '\n', static_cast<size_t>(available)));
    int64_t length = newline ? newline - start : available;
    std::memcpy(buffer, start, static_cast<size_t>(length));
    bool atEnd = !newline && stream.position + length == stream.size;
    stream.position += newline ? length + 1 : length;
    terminateLine(buffer, length, newline || atEnd);
    return true;
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
    int fd = openForReading(path);
    if (fd < 0) return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(fd);
        return false;
    }
    stream.handle = fd;
    stream.size = st.st_size;
    return true;
}

bool readStreamRead(ReadStream& stream, uint8_t* buffer, int32_t count) {
    if (count < 0) return false;
    if (stream.handle) {
        int64_t at = stream.position;
        stream.position += count;
        return readAt(stream.handle, buffer, count, at) == count;
    }
    if (!stream.block) return false;
    const uint8_t* data = files::findMemBlock(stream.block, stream.size);
    if (!data || stream.position < 0 || stream.position > stream.size) return false;
    int64_t taken = std::min<int64_t>(count, stream.size - stream.position);
    if (taken > 0) std::memcpy(buffer, data + stream.position, static_cast<size_t>(taken));
    stream.position += taken;
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
    if (stream.handle) return readDiskLine(stream, buffer, maxLen);
    if (!stream.block) return false;
    const uint8_t* data = files::findMemBlock(stream.block, stream.size);
    return data && readBlockLine(stream, data, buffer, maxLen);
}

void readStreamSeek(ReadStream& stream, int64_t position) { stream.position = position; }

void readStreamClose(ReadStream& stream) {
    if (stream.handle) close(stream.handle);
    stream = ReadStream{};
}
