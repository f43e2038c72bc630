// The byte source's reads and its line reader.
#include "runtime/files/byte_source.h"

#include <algorithm>
#include <cstring>

#include "runtime/files/disk_files.h"

namespace files {

namespace {

constexpr int64_t kLinePiece = 64;  // bytes a line read asks for at a time

// Ends a line of `length` bytes; a "\r" before a line end goes.
void endLine(char* buffer, int64_t length, bool endedByLineEnd) {
    if (endedByLineEnd && length > 0 && buffer[length - 1] == '\r') --length;
    buffer[length] = '\0';
}

}  // namespace

int64_t readSourceBytes(ByteSource& source, void* buffer, int64_t count) {
    if (count < 0) return -1;
    int64_t got = -1;
    if (source.handle) {
        auto bytes = static_cast<size_t>(count);
        got = source.atFileOffset ? readUpTo(source.handle, buffer, bytes) : readUpToAt(source.handle, buffer, bytes, source.offset);
    } else if (source.block && source.offset >= 0 && source.offset <= source.size) {
        got = std::min(count, source.size - source.offset);
        if (got > 0) std::memcpy(buffer, source.block + source.offset, static_cast<size_t>(got));
    }
    if (got > 0) source.offset += got;
    return got;
}

int64_t readSourceLine(ByteSource& source, char* buffer, int32_t maxLen) {
    // A line's "\n" (or the "\r" of its "\r\n") may take the buffer's last
    // byte, where the NUL goes, so a line that fills the buffer is one line
    // and no empty one follows it.
    const int64_t limit = maxLen;
    int64_t total = 0;
    for (;;) {
        if (total == limit) {
            // A "\r\n" split by the buffer's end still ends the line here.
            char next = 0;
            if (buffer[limit - 1] == '\r' && readSourceBytes(source, &next, 1) == 1 && next == '\n') {
                buffer[limit - 1] = '\0';
                return limit + 1;
            }
            // No line end within the buffer: cut, its last byte left for the next read.
            endLine(buffer, limit - 1, false);
            return limit - 1;
        }
        int64_t ask = std::min(kLinePiece, limit - total);
        char* piece = buffer + total;
        int64_t got = readSourceBytes(source, piece, ask);
        if (got < 0 || (got == 0 && total == 0)) return -1;
        if (auto* lineEnd = static_cast<char*>(std::memchr(piece, '\n', static_cast<size_t>(got)))) {
            int64_t length = lineEnd - buffer;
            endLine(buffer, length, true);
            return length + 1;
        }
        total += got;
        if (got < ask) {  // the end of the data ends the line, also right after a full piece
            endLine(buffer, total, true);
            return total;
        }
    }
}

}  // namespace files
