// The WAV reader. Only what a PCM sound needs is read: the "fmt " chunk's
// first 16 bytes and the "data" chunk; other chunks are skipped by their
// stated size. The buffer takes the file's rate, block alignment and sample
// width, stereo for more than one channel; the device decides whether it
// can play that.
//
// Deliberate departures. After a chunk of odd size its pad byte is skipped
// when there is one (a NUL), so files that follow the RIFF rule load as well
// as those written without the pad. For files that lie about their sizes:
// every header and chunk header must be there in full (a short memory block
// does not leave stale bytes in them); a "fmt " chunk shorter than 16 bytes
// is refused; and the buffer is never made larger than the data that is
// there: a disk file shorter than its "data" chunk claims fails before
// anything is allocated, and a memory block gives a buffer of the bytes it
// holds.
// Depends on ReadStream and SoundSlot.
#include "sound/wave_loader.h"

#include <cstring>

#include "runtime/files/read_stream.h"
#include "sound/sound_slot.h"

namespace {

struct ChunkHeader {
    char id[4];
    uint32_t size;
};

int64_t bytesLeft(const ReadStream& stream) {
    return stream.position < 0 || stream.position > stream.size ? -1 : stream.size - stream.position;
}

bool readWhole(ReadStream& stream, uint8_t* out, uint32_t count) {
    if (bytesLeft(stream) < static_cast<int64_t>(count)) return false;
    return readStreamRead(stream, out, static_cast<int32_t>(count));
}

uint32_t littleEndian32(const uint8_t* bytes) {
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

uint16_t littleEndian16(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8)); }

bool readChunkHeader(ReadStream& stream, ChunkHeader& header) {
    uint8_t bytes[8];
    if (!readWhole(stream, bytes, sizeof bytes)) return false;
    std::memcpy(header.id, bytes, 4);
    header.size = littleEndian32(bytes + 4);
    return true;
}

bool skip(ReadStream& stream, uint32_t count) {
    if (bytesLeft(stream) < static_cast<int64_t>(count)) return false;
    readStreamSeek(stream, stream.position + count);
    return true;
}

// After a chunk of odd size: RIFF pads every chunk to an even length with a
// NUL byte, which some writers leave out. A chunk id never begins with a
// NUL, so the byte is skipped only when it is one.
void skipPadByte(ReadStream& stream) {
    const int64_t at = stream.position;
    uint8_t pad = 0;
    if (readWhole(stream, &pad, 1) && pad != 0) readStreamSeek(stream, at);
}

// Skips the `rest` bytes of a chunk of `chunkSize` bytes that are still
// unread, and its pad byte.
bool skipChunkRest(ReadStream& stream, uint32_t rest, uint32_t chunkSize) {
    if (!skip(stream, rest)) return false;
    if (chunkSize % 2 != 0) skipPadByte(stream);
    return true;
}

// Reads chunk headers, skipping every chunk until one named `id`.
bool findChunk(ReadStream& stream, const char* id, ChunkHeader& header) {
    for (;;) {
        if (!readChunkHeader(stream, header)) return false;
        if (std::memcmp(header.id, id, 4) == 0) return true;
        if (!skipChunkRest(stream, header.size, header.size)) return false;
    }
}

struct StreamCloser {
    ReadStream& stream;
    ~StreamCloser() { readStreamClose(stream); }
};

bool readWave(SoundSlot& slot, ReadStream& stream) {
    uint8_t riff[12];
    if (!readWhole(stream, riff, sizeof riff)) return false;
    if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) return false;

    ChunkHeader header;
    if (!findChunk(stream, "fmt ", header) || header.size < 16) return false;
    uint8_t format[16];
    if (!readWhole(stream, format, sizeof format)) return false;
    if (!skipChunkRest(stream, header.size - 16, header.size)) return false;
    const uint16_t channels = littleEndian16(format + 2);
    const uint32_t samplesPerSecond = littleEndian32(format + 4);
    const uint16_t blockAlign = littleEndian16(format + 12);
    const uint16_t bitsPerSample = littleEndian16(format + 14);

    if (!findChunk(stream, "data", header)) return false;
    uint32_t dataBytes = header.size;
    const int64_t left = bytesLeft(stream);
    if (static_cast<int64_t>(dataBytes) > left) {
        if (stream.block == 0) return false;  // a disk file shorter than its data chunk
        dataBytes = static_cast<uint32_t>(left);
    }
    if (!slot.createBuffer(dataBytes, samplesPerSecond, bitsPerSample, blockAlign, channels > 1)) {
        return false;
    }
    return slot.fillBuffer(stream, dataBytes, -1);
}

}  // namespace

bool loadWaveIntoBuffer(SoundSlot& slot) {
    if (slot.fileName == nullptr || slot.fileName[0] == '\0') return false;
    ReadStream stream{};
    if (!readStreamOpen(stream, slot.fileName)) return false;
    StreamCloser closer{stream};
    if (readWave(slot, stream)) return true;
    if (slot.voices[0] != nullptr) {
        slot.voices[0]->release();
        slot.voices[0] = nullptr;
    }
    return false;
}
