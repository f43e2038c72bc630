// The pack archive contexts and the resolver over PackReader and the codec.
//
// Temporary files are made with an exclusive create that follows no link,
// readable by the user alone (0600), after whatever bore the name was
// removed; a name that is taken again between the two steps makes the
// resolve fail rather than write through someone else's file. A temporary
// file that cannot be written whole is removed and counts as not made.
#include "runtime/files/pack_archive.h"


#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

#include "runtime/engine/orderly_end.h"
#include "runtime/files/case_blind_path.h"
#include "runtime/files/disk_files.h"
#include "runtime/files/lz_codec.h"
#include "runtime/files/mem_blocks.h"
#include "runtime/files/pack_reader.h"
#include "runtime/files/temp_folder.h"

namespace {

constexpr const char* kOwnExecutable = "/proc/self/exe";

PackArchive* fileContext = nullptr;
PackArchive* videoContext = nullptr;

void releaseProduct(PackArchive& context) {
    if (context.lastBlockKey) files::unregisterMemBlock(context.lastBlockKey);
    context.lastBlockKey = 0;
    std::free(context.lastBlock);
    context.lastBlock = nullptr;
    if (context.lastTempFile[0]) files::removeFileOrEmptyDirectory(context.lastTempFile);
    context.lastTempFile[0] = '\0';
}

const char* baseNameOf(const char* name) {
    const char* base = name;
    for (const char* c = name; *c; ++c)
        if (*c == '/' || *c == '\\') base = c + 1;
    return base;
}

void setPath(PackArchive& context, const RtString& path) {
    context.path[0] = '\0';
    if (path.length < files::kPathBufferSize) std::memcpy(context.path, path.data, path.length + 1);
}

// The decoded entry: its bytes (malloc, may be null for 0 bytes) and count.
struct DecodedEntry {
    uint8_t* bytes = nullptr;
    uint32_t length = 0;
    ~DecodedEntry() { std::free(bytes); }
};

// An entry that does not decode gives 0 bytes.
void decodeEntry(files::PackReader& pack, const files::PackEntry& entry, DecodedEntry& decoded) {
    uint8_t* packed = pack.readPacked(entry);
    pack.close();
    if (!packed) return;
    std::unique_ptr<LzDecoder> decoder(new LzDecoder);  // no need to clear its 256 KB bucket table
    decoder->mode = kLzModeLzo;
    decoded.length = lzDecode(*decoder, packed, static_cast<uint32_t>(entry.packedSize));
    std::free(packed);
    decoded.bytes = decoder->output;
    decoder->output = nullptr;
}

char letterFor(int32_t field) { return static_cast<char>('A' + static_cast<uint8_t>(field) % 26); }

// Writes the decoded entry to its temporary file, whose path goes to `path`.
bool writeTemporaryFile(const files::PackEntry& entry, const DecodedEntry& decoded, char (&path)[files::kPathBufferSize]) {
    RtString folder = temporaryFolder();
    int length = std::snprintf(path, sizeof path, "%ssbx%c%c%s", folder.data, letterFor(entry.offset),
                               letterFor(entry.packedSize), entry.name);
    if (length < 0 || static_cast<size_t>(length) >= sizeof path) return false;
    files::removeFileOrEmptyDirectory(path);
    int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    bool written = files::writeAll(fd, decoded.bytes, decoded.length);
    if (close(fd) != 0) written = false;
    if (!written) unlink(path);
    return written;
}

}  // namespace

int32_t resolvePackedFile(PackArchive* context, const char* name, char* outName, uint8_t toMemory) {
    if (context) releaseProduct(*context);
    if (!outName) return 0;
    outName[0] = '\0';
    if (!name || !*name) return 0;
    char diskPath[files::kPathBufferSize];
    if (!files::toDiskPath(name, diskPath)) return 0;
    std::strcpy(outName, name);
    // A block name is never a disk file, whatever the disk holds. A disk file
    // keeps the caller's name; one found only under another letter case
    // comes back under its real name.
    if (!files::isMemBlockName(name)) {
        if (files::isExistingFile(diskPath)) return 1;
        files::resolveCaseBlind(diskPath, diskPath);
        if (files::isExistingFile(diskPath)) {
            std::strcpy(outName, diskPath);
            return 1;
        }
    }

    if (!context || !context->enabled) return 0;
    if (!context->path[0]) {
        context->enabled = 0;
        return 0;
    }
    files::PackReader pack;
    switch (pack.open(context->path)) {
    case files::PackOpenResult::NoPack:
        context->enabled = 0;
        return 0;
    case files::PackOpenResult::Unreadable:
        outName[0] = '\0';
        return 0;
    case files::PackOpenResult::Ready:
        break;
    }
    // A name that ends in a separator has no base name and names no entry,
    // also not one whose stored name has a NUL as its first byte.
    const char* baseName = baseNameOf(name);
    files::PackEntry entry;
    if (!*baseName || !pack.find(baseName, entry)) {
        outName[0] = '\0';
        return 0;
    }
    DecodedEntry decoded;
    decodeEntry(pack, entry, decoded);

    if (toMemory) {
        context->lastBlock = decoded.bytes;
        decoded.bytes = nullptr;
        context->lastBlockKey = files::registerMemBlock(context->lastBlock, decoded.length);
        files::formatMemBlockName(outName, decoded.length, context->lastBlockKey);
        return 1;
    }
    char tempPath[files::kPathBufferSize];
    if (!writeTemporaryFile(entry, decoded, tempPath)) return 0;
    std::strcpy(context->lastTempFile, tempPath);
    std::strcpy(outName, tempPath);
    return 1;
}

void clearPackArchive(PackArchive& context) {
    context.enabled = 1;
    releaseProduct(context);
}

void openPackArchives(const RtString& filesPath, const RtString& videoPath) {
    if (!fileContext) fileContext = new PackArchive;
    if (!videoContext) videoContext = new PackArchive;
    clearPackArchive(*fileContext);
    setPath(*fileContext, filesPath);
    clearPackArchive(*videoContext);
    setPath(*videoContext, videoPath);
    setShutdownStep(ShutdownStagePackArchives, releasePackArchives);
}

void openPackArchivesOnExecutable() {
    RtString self(kOwnExecutable);
    openPackArchives(self, self);
}

PackArchive* filePackArchive() { return fileContext; }
PackArchive* videoPackArchive() { return videoContext; }

void releasePackArchives() {
    for (PackArchive** context : {&fileContext, &videoContext}) {
        if (!*context) continue;
        clearPackArchive(**context);
        delete *context;
        *context = nullptr;
    }
}
