// The file channel table and its commands, over the locked disk opens
// (disk_files.h), the byte source and its line reader (byte_source.h), the
// memory-block registry and the pack resolver.
//
// Disk channels read and write at the descriptor's own offset, which the
// channel moves where the record says so (seek, the end of a line), exactly
// like the record's `position`; so a channel opened for writing can be read
// back after a FileSeek.
#include "runtime/files/file_channels.h"

#include <bit>
#include <cfloat>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <type_traits>
#include <unistd.h>

#include "runtime/engine/orderly_end.h"
#include "runtime/engine/project_hooks.h"
#include "runtime/files/byte_source.h"
#include "runtime/files/case_blind_path.h"
#include "runtime/files/disk_files.h"
#include "runtime/files/file_paths.h"
#include "runtime/files/mem_blocks.h"
#include "runtime/files/pack_archive.h"
#include "runtime/services/runtime_error.h"

namespace {

constexpr int32_t kLineBytes = 1024;  // the longest line one read returns

FileChannel channels[kFileChannelCount];
// The path each channel was last opened with (or tried), as a message shows
// it: a fatal read or write names the file.
std::string channelPaths[kFileChannelCount];
// The mode a channel opened for writing gives its file after the last write,
// at the close: set-id bits, which the system clears on every write; 0 = none.
unsigned modesAtClose[kFileChannelCount];

void closeChannel(FileChannel& c) {
    unsigned& mode = modesAtClose[&c - channels];
    if (mode && fchmod(c.handle, static_cast<mode_t>(mode)) != 0) {
        // The file keeps the bits it has.
    }
    mode = 0;
    files::closeDiskFile(c.handle);
    c = FileChannel{};
}

// Closes the channels when the program's statics are torn down, 7 down to 0.
struct ChannelTableTearDown {
    ~ChannelTableTearDown() {
        for (int i = kFileChannelCount - 1; i >= 0; --i) closeChannel(channels[i]);
    }
} channelTableTearDown;

// A failed read or write: the program cannot go on; its text names the file.
void failTransfer(const FileChannel& c) {
    setRuntimeError(ErrorNoSuchFile);
    setRuntimeErrorSubject(channelPaths[&c - channels].c_str());
    terminateProgram();
}

// The channel, or null after a number above 7 was recorded (7) and the end
// run (it returns only while the program is already ending).
FileChannel* checkedChannel(uint32_t channel) {
    if (channel < kFileChannelCount) [[likely]] return &channels[channel];
    setRuntimeError(ErrorOutOfMemory);
    terminateProgram();
    return nullptr;
}

// The channel's bytes from its position on: a disk channel reads at its
// descriptor's offset (it may stand on a device that cannot seek); a block
// channel whose block is gone, or a free channel, gives a source every read
// of which fails.
files::ByteSource sourceOf(const FileChannel& c) {
    files::ByteSource source;
    source.handle = c.handle;
    source.atFileOffset = c.handle != 0;
    if (!c.handle) {
        source.block = c.block ? files::findMemBlock(c.block, c.size) : nullptr;
        source.size = c.size;
        source.offset = c.position;
    }
    return source;
}

bool openBlock(FileChannel& c, const char* name) {
    int64_t size = 0;
    uint32_t key = 0;
    if (!files::lookupMemBlockName(name, size, key)) return false;
    c.block = key;
    c.size = size;
    c.position = 0;
    return true;
}

void adoptDescriptor(FileChannel& c, int fd, bool takeSize) {
    c.handle = fd;
    c.position = 0;
    c.size = 0;
    struct stat st;
    if (takeSize && fstat(fd, &st) == 0) c.size = st.st_size;
}

enum class ShortBlock { Fatal, ZeroFill };

// Reads `width` bytes at the channel's position into `bytes`; false (after
// the fatal end was run) when it could not. On a block, ZeroFill takes what
// is left and leaves the rest of `bytes` as it is.
bool readFixed(FileChannel& c, uint8_t* bytes, int32_t width, ShortBlock shortBlock) {
    files::ByteSource source = sourceOf(c);
    int64_t got = c.position < 0 ? -1 : files::readSourceBytes(source, bytes, width);
    // A disk read must deliver the whole width; a block may come up short
    // where the caller fills the rest with zeros.
    bool enough = got == width || (got >= 0 && !c.handle && shortBlock == ShortBlock::ZeroFill);
    if (!enough) {
        failTransfer(c);
        return false;
    }
    c.position += got;
    return true;
}

void writeBytes(uint32_t channel, const void* bytes, size_t count) {
    FileChannel* c = checkedChannel(channel);
    if (!c || count == 0) return;
    if (!c->handle || !files::writeAll(c->handle, bytes, count)) failTransfer(*c);
}

// The unsigned integer type of a value's width.
template <size_t N>
using WireBits = std::conditional_t<N == 1, uint8_t,
                 std::conditional_t<N == 2, uint16_t, std::conditional_t<N == 4, uint32_t, uint64_t>>>;

template <class Wire>
void writeValue(uint32_t channel, Wire value) {
    auto bits = std::bit_cast<WireBits<sizeof(Wire)>>(value);
    uint8_t bytes[sizeof(Wire)];
    for (size_t i = 0; i < sizeof(Wire); ++i) bytes[i] = static_cast<uint8_t>(static_cast<uint64_t>(bits) >> (8 * i));
    writeBytes(channel, bytes, sizeof bytes);
}

// Reads a value of type Wire and converts it to the out-parameter's type;
// the out-parameter is left alone when the read fails.
template <class Wire, class Out>
void readValue(uint32_t channel, Out& out) {
    FileChannel* c = checkedChannel(channel);
    uint8_t bytes[sizeof(Wire)];
    if (!c || !readFixed(*c, bytes, sizeof(Wire), ShortBlock::Fatal)) return;
    uint64_t bits = 0;
    for (size_t i = 0; i < sizeof(Wire); ++i) bits |= static_cast<uint64_t>(bytes[i]) << (8 * i);
    out = static_cast<Out>(std::bit_cast<Wire>(static_cast<WireBits<sizeof(Wire)>>(bits)));
}

// A double as IEEE single; values beyond the single range become infinities.
float toSingle(double value) {
    if (value > FLT_MAX) return std::bit_cast<float>(0x7F800000u);
    if (value < -FLT_MAX) return std::bit_cast<float>(0xFF800000u);
    return static_cast<float>(value);
}

}  // namespace

const FileChannel* fileChannel(uint32_t channel) {
    return channel < kFileChannelCount ? &channels[channel] : nullptr;
}

int32_t FreeFileChannel() {
    for (uint32_t i = 0; i < kFileChannelCount; ++i)
        if (!channels[i].handle && !channels[i].block) return static_cast<int32_t>(i);
    return -1;
}

int32_t OpenFile(uint32_t channel, const RtString& name, int32_t mode) {
    clearErrorCode();
    if (channel >= kFileChannelCount) {
        setRuntimeError(ErrorOutOfMemory);
        return 0;
    }
    FileChannel& c = channels[channel];
    closeChannel(c);
    channelPaths[channel] = files::pathForMessages(name.data);
    char diskName[files::kPathBufferSize];
    if (mode > 0) {
        if (files::isMemBlockName(name.data)) {
            if (openBlock(c, name.data)) return 1;
            setRuntimeError(ErrorNoSuchFile);
            return 0;
        }
        char resolved[files::kPathBufferSize] = "";
        if (!files::resolveDiskPath(name.data, diskName) ||
            !resolvePackedFile(filePackArchive(), diskName, resolved, 1)) {
            setRuntimeError(ErrorNoSuchFile);
        }
        if (!resolved[0]) return 0;
        if (files::isMemBlockName(resolved)) return openBlock(c, resolved) ? 1 : 0;
        int fd = files::openExistingForReading(resolved);
        if (fd < 0) return 0;
        adoptDescriptor(c, fd, true);
        return 1;
    }
    int fd = -1;
    if (!files::isMemBlockName(name.data) && files::resolveDiskPath(name.data, diskName))
        fd = mode == 0 ? files::createForWriting(diskName, modesAtClose[channel]) : files::openForAppending(diskName);
    if (fd < 0) {
        setRuntimeError(ErrorNoSuchFile);
        return 0;
    }
    adoptDescriptor(c, fd, false);
    return 1;
}

void CloseFile(uint32_t channel) {
    clearErrorCode();
    if (FileChannel* c = checkedChannel(channel)) closeChannel(*c);
}

namespace {
bool projectHookCalled = false;
}  // namespace

void closeAllFileChannels() {
    for (FileChannel& c : channels) closeChannel(c);
    if (!projectHookCalled) {
        projectHookCalled = true;
        if (projectHooks.emptyProjectHook) projectHooks.emptyProjectHook();
    }
}

void rearmProjectHookAtClose() { projectHookCalled = false; }

bool EndOfFile(uint32_t channel) {
    const FileChannel* c = checkedChannel(channel);
    return !c || c->position >= c->size;
}

int64_t FilePosition(uint32_t channel) {
    const FileChannel* c = checkedChannel(channel);
    return c ? c->position : 0;
}

void FileSeek(uint32_t channel, int64_t offset, int32_t mode) {
    FileChannel* c = checkedChannel(channel);
    if (!c || (!c->handle && !c->block)) return;
    int64_t base = mode == 0 ? 0 : (mode > 0 ? c->position : c->size);
    int64_t target = 0;
    if (__builtin_add_overflow(base, offset, &target)) target = offset < 0 ? INT64_MIN : INT64_MAX;
    c->position = target;
    // A position before the start cannot be the file's offset; reads there fail.
    if (c->handle && target >= 0) lseek(c->handle, static_cast<off_t>(target), SEEK_SET);
}

int64_t FileSizeByName(const RtString& name) {
    clearErrorCode();
    if (files::isMemBlockName(name.data)) {
        int64_t size = 0;
        uint32_t key = 0;
        if (files::parseMemBlockName(name.data, size, key)) return size;
        setRuntimeError(ErrorNoSuchFile);
        return 0;
    }
    char diskName[files::kPathBufferSize];
    int fd = files::resolveDiskPath(name.data, diskName) ? files::openExistingForReading(diskName) : -1;
    if (fd < 0) {
        setRuntimeError(ErrorNoSuchFile);
        return 0;
    }
    struct stat st;
    int64_t size = fstat(fd, &st) == 0 ? st.st_size : 0;
    files::closeDiskFile(fd);
    return size;
}

void WriteLineToFile(uint32_t channel, const RtString& text) {
    FileChannel* c = checkedChannel(channel);
    if (!c) return;
    if (!c->handle || !files::writeAll(c->handle, text.data, text.length) || !files::writeAll(c->handle, "\r\n", 2))
        failTransfer(*c);
}

void WriteStringToFile(uint32_t channel, const RtString& text) { writeBytes(channel, text.data, text.length); }
void WriteFloatToFile(uint32_t channel, double value) { writeValue(channel, toSingle(value)); }
void WriteDoubleToFile(uint32_t channel, double value) { writeValue(channel, value); }
void WriteUInt32ToFile(uint32_t channel, int32_t value) { writeValue(channel, static_cast<uint32_t>(value)); }
void WriteInt32ToFile(uint32_t channel, int32_t value) { writeValue(channel, static_cast<uint32_t>(value)); }
void WriteUInt16ToFile(uint32_t channel, int32_t value) { writeValue(channel, static_cast<uint16_t>(value)); }
void WriteInt16ToFile(uint32_t channel, int32_t value) { writeValue(channel, static_cast<uint16_t>(value)); }
void WriteUInt8ToFile(uint32_t channel, int32_t value) { writeValue(channel, static_cast<uint8_t>(value)); }
void WriteInt8ToFile(uint32_t channel, int32_t value) { writeValue(channel, static_cast<uint8_t>(value)); }

void ReadUInt32FromFile(uint32_t channel, int32_t& value) { readValue<uint32_t>(channel, value); }
void ReadInt32FromFile(uint32_t channel, int32_t& value) { readValue<int32_t>(channel, value); }
void ReadUInt16FromFile(uint32_t channel, int32_t& value) { readValue<uint16_t>(channel, value); }
void ReadInt16FromFile(uint32_t channel, int32_t& value) { readValue<int16_t>(channel, value); }
void ReadUInt8FromFile(uint32_t channel, int32_t& value) { readValue<uint8_t>(channel, value); }
void ReadInt8FromFile(uint32_t channel, int32_t& value) { readValue<int8_t>(channel, value); }
void ReadFloatFromFile(uint32_t channel, double& value) { readValue<float>(channel, value); }
void ReadDoubleFromFile(uint32_t channel, double& value) { readValue<double>(channel, value); }

void ReadBytesFromFile(uint32_t channel, RtString& out, int32_t n) {
    if (n <= 0) {
        out.clear();
        return;
    }
    FileChannel* c = checkedChannel(channel);
    if (!c) return;
    // n bytes and 32 zero bytes behind them (n + 31, and writableBuffer's one more).
    const uint32_t room = static_cast<uint32_t>(n) + 32;
    char* buffer = out.writableBuffer(room - 1);
    std::memset(buffer, 0, room);
    if (!readFixed(*c, reinterpret_cast<uint8_t*>(buffer), n, ShortBlock::ZeroFill)) {
        buffer[0] = '\0';
        out.length = 0;
        return;
    }
    out.length = static_cast<uint32_t>(n);
}

void ReadLineFromFile(uint32_t channel, RtString& out) {
    FileChannel* c = checkedChannel(channel);
    if (!c) return;
    char* text = out.writableBuffer(kLineBytes);
    std::memset(text, 0, kLineBytes + 1);
    files::ByteSource source = sourceOf(*c);
    int64_t used = c->position < 0 ? -1 : files::readSourceLine(source, text, kLineBytes + 1);
    if (used < 0) {
        text[0] = '\0';
        failTransfer(*c);
    } else {
        c->position += used;
        // The reader read ahead of the line's end: the descriptor goes back
        // to the byte after it.
        if (source.atFileOffset && source.offset != used) lseek(c->handle, c->position, SEEK_SET);
    }
    out.recountLength();
}

void ReadLineAsInt(uint32_t channel, int32_t& value) {
    RtString line;
    ReadLineFromFile(channel, line);
    value = line.toInt();
}

void ReadLineAsFloat(uint32_t channel, double& value) {
    RtString line;
    ReadLineFromFile(channel, line);
    value = line.toDouble();
}
