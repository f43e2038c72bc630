// File-system commands over POSIX, the read streams (copy sources) and the
// whole-file replacement (copy targets).
#include "runtime/files/file_system.h"

#include <sys/stat.h>
#include <unistd.h>

#include "runtime/files/case_blind_path.h"
#include "runtime/files/file_replacement.h"
#include "runtime/files/mem_blocks.h"
#include "runtime/files/read_stream.h"
#include "runtime/services/runtime_error.h"
#include "runtime/strings/text_edit.h"

namespace {

constexpr int32_t kCopyPiece = 4096;  // bytes per read and write of a copy

bool statResolved(const RtString& path, struct stat& st) {
    char diskName[files::kPathBufferSize];
    return files::resolveDiskPath(path.data, diskName) && diskName[0] && stat(diskName, &st) == 0;
}

// Copies `stream` whole to `target`; false when a read or a write fails.
bool copyStream(ReadStream& stream, files::FileReplacement& target) {
    uint8_t piece[kCopyPiece];
    for (int64_t left = stream.size; left > 0;) {
        int32_t count = left < kCopyPiece ? static_cast<int32_t>(left) : kCopyPiece;
        if (!readStreamRead(stream, piece, count) || !target.write(piece, static_cast<size_t>(count)))
            return false;
        left -= count;
    }
    return true;
}

}  // namespace

bool FileExists(const RtString& path) {
    struct stat st;
    return statResolved(path, st) && !S_ISDIR(st.st_mode);
}

bool IsDirectory(const RtString& path) {
    struct stat st;
    return statResolved(path, st) && S_ISDIR(st.st_mode);
}

void DeleteFileOrDir(const RtString& path) {
    char diskName[files::kPathBufferSize];
    if (files::resolveDiskPath(path.data, diskName)) files::removeFileOrEmptyDirectory(diskName);
}

bool CreateDir(const RtString& path) {
    char diskName[files::kPathBufferSize];
    return files::resolveDiskPath(path.data, diskName) && diskName[0] && mkdir(diskName, 0777) == 0;
}

void toForwardSlashes(RtString& text) {
    for (uint32_t i = 0; i < text.length; ++i)
        if (text.data[i] == '\\') text.data[i] = '/';
}

RtString GetCurrentDir() {
    char buffer[files::kPathBufferSize];
    RtString dir(getcwd(buffer, sizeof buffer) ? buffer : ".");
    toForwardSlashes(dir);
    if (dir.length == 0 || dir.data[dir.length - 1] != '/') dir.appendChar('/');
    return dir;
}

double SetCurrentDir(RtString& path) {
    clearErrorCode();
    path = replaceAll(path, RtString("/"), RtString("\\"));
    char diskName[files::kPathBufferSize];
    if (!files::resolveDiskPath(path.data, diskName) || !diskName[0] || chdir(diskName) != 0) {
        setRuntimeError(ErrorNoSuchFile);
        return 0.0;
    }
    return 1.0;
}

void CopyFileTo(const RtString& source, const RtString& target) {
    clearErrorCode();
    char sourceName[files::kPathBufferSize];
    char targetName[files::kPathBufferSize];
    ReadStream stream;
    bool opened = files::isMemBlockName(source.data)
                      ? readStreamOpen(stream, source.data)
                      : files::resolveDiskPath(source.data, sourceName) && readStreamOpen(stream, sourceName);
    if (!opened) {
        setRuntimeError(ErrorNoSuchFile);
        return;
    }
    bool targetFits = !files::isMemBlockName(target.data) && files::resolveDiskPath(target.data, targetName);
    // A file copied onto itself is refused here, quietly: the replacement
    // would find it held by the copy's own reader and log that.
    struct stat from, to;
    bool sameFile = targetFits && stream.handle && fstat(stream.handle, &from) == 0 &&
                    stat(targetName, &to) == 0 && from.st_dev == to.st_dev && from.st_ino == to.st_ino;
    if (!targetFits || sameFile) {
        readStreamClose(stream);
        setRuntimeError(ErrorNoSuchFile);
        return;
    }
    files::FileReplacement replacement(targetName, "CopyFileTo");
    // A copy that fails leaves the target as it was (its partial file goes).
    bool copied = replacement.descriptor() >= 0 && copyStream(stream, replacement) && replacement.commit();
    readStreamClose(stream);
    if (!copied) setRuntimeError(ErrorNoSuchFile);
}
