// Pack reading over a ReadStream, every read bounded by the archive's size.
//
// The directory is read through a small window of the archive instead of
// field by field, so a walk over a long directory costs a few reads.
#include "runtime/files/pack_reader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "runtime/strings/ascii_text.h"

namespace files {

namespace {

constexpr int kTrailerSize = 7;
constexpr int64_t kDirectoryWindow = 4096;  // bytes of the directory read at a time

int32_t readI32(const uint8_t* p) {
    return static_cast<int32_t>(p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

bool PackReader::readAt(int64_t position, void* buffer, int64_t count) {
    if (position < 0 || count < 0 || count > stream_.size || position > stream_.size - count) return false;
    if (count == 0) return true;
    readStreamSeek(stream_, position);
    return readStreamRead(stream_, static_cast<uint8_t*>(buffer), static_cast<int32_t>(count));
}

PackOpenResult PackReader::open(const char* path) {
    if (!readStreamOpen(stream_, path) || stream_.size < kTrailerSize) {
        close();
        return PackOpenResult::NoPack;
    }
    uint8_t trailer[kTrailerSize];
    const int64_t trailerAt = stream_.size - kTrailerSize;
    if (!readAt(trailerAt, trailer, 3)) return PackOpenResult::Unreadable;
    if (std::memcmp(trailer, "sbX", 3) != 0) {
        close();
        return PackOpenResult::NoPack;
    }
    if (!readAt(trailerAt + 3, trailer + 3, 4)) return PackOpenResult::Unreadable;
    const int32_t d = readI32(trailer + 3);
    origin_ = d < 0 ? stream_.size : 0;
    directory_ = origin_ + d;
    return PackOpenResult::Ready;
}

bool PackReader::find(const char* baseName, PackEntry& entry) {
    // A window of the archive over the directory, refilled as the walk moves on.
    uint8_t window[kDirectoryWindow];
    int64_t windowStart = 0, windowLength = 0;
    int64_t at = directory_;
    auto take = [&](void* out, int64_t count) {
        if (at < 0 || at > stream_.size - count) return false;
        if (at < windowStart || at + count > windowStart + windowLength) {
            windowStart = at;
            windowLength = std::min(kDirectoryWindow, stream_.size - at);
            if (!readAt(windowStart, window, windowLength)) return false;
        }
        std::memcpy(out, window + (at - windowStart), static_cast<size_t>(count));
        at += count;
        return true;
    };
    for (;;) {
        uint8_t nameLength = 0;
        uint8_t numbers[8];
        if (!take(&nameLength, 1) || nameLength == 0) return false;
        if (!take(entry.name, nameLength) || !take(numbers, 8)) return false;
        entry.name[nameLength] = '\0';
        entry.offset = readI32(numbers);
        entry.packedSize = readI32(numbers + 4);
        if (rtstring::equalsIgnoringAsciiCase(entry.name, baseName)) return true;
    }
}

uint8_t* PackReader::readPacked(const PackEntry& entry) {
    const int64_t start = origin_ + entry.offset;
    const int64_t count = entry.packedSize;
    // The range is checked before anything is allocated for it.
    if (count < 0 || start < 0 || start > stream_.size - count) return nullptr;
    auto* buffer = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(count) + 1));
    if (buffer && !readAt(start, buffer, count)) {
        std::free(buffer);
        buffer = nullptr;
    }
    return buffer;
}

}  // namespace files
