// The text-line file cache over read streams, the pack resolver and the
// exclusive disk opens. Depends on the error code and the number text of the
// string values.
#include "runtime/files/text_line_file.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "runtime/files/case_blind_path.h"
#include "runtime/files/file_replacement.h"
#include "runtime/files/mem_blocks.h"
#include "runtime/files/pack_archive.h"
#include "runtime/files/read_stream.h"
#include "runtime/services/runtime_error.h"

namespace {

TextLineFile record;  // zero at start: no file
bool built = false;
// The bytes behind the 256th line of the cached file, as they were: no line
// number reaches them, and the write-back puts them back behind line 255.
std::string beyondLastLine;
// Where the cached file lies on disk, made whole when it was named: the
// write-back goes there whatever the current folder is by then.
std::string diskPathOfRecord;
// The name as given, made whole the same way: a relative name means the
// cached file only while the current folder is the one it was named in.
std::string wholeNameOfRecord;

void clearRecord() {
    beyondLastLine.clear();
    diskPathOfRecord.clear();
    wholeNameOfRecord.clear();
    std::memset(record.lines, 0, sizeof record.lines);
    record.highestLine = 0;
    record.dirty = 0;
    record.fileName[0] = '\0';
}

void writeBackAtExit() { loadTextLineFile(nullptr); }

void buildOnFirstUse() {
    if (built) return;
    built = true;
    clearRecord();
    std::atexit(writeBackAtExit);
}

// Lines 0 to highestLine, each ended by CR LF, to the cached file on disk.
// A file that cannot be written loses the changes; the old file stays whole
// and the error log says why (file_replacement.h).
void writeBack() {
    if (files::isMemBlockName(record.fileName) || diskPathOfRecord.empty()) return;
    std::string text;
    for (int32_t i = 0; i <= record.highestLine; ++i) {
        text += record.lines[i];
        text += "\r\n";
    }
    text += beyondLastLine;
    files::replaceWholeFile(diskPathOfRecord.c_str(), text.data(), text.size(), "Line file");
}

// Reads what the stream holds from its position on into beyondLastLine.
void keepTheRest(ReadStream& stream) {
    constexpr int64_t kPiece = 65536;
    while (stream.position >= 0 && stream.position < stream.size) {
        const int64_t count = std::min(kPiece, stream.size - stream.position);
        const size_t at = beyondLastLine.size();
        beyondLastLine.resize(at + static_cast<size_t>(count));
        if (!readStreamRead(stream, reinterpret_cast<uint8_t*>(beyondLastLine.data() + at), static_cast<int32_t>(count))) {
            beyondLastLine.resize(at);
            return;
        }
    }
}

// The slot of a line number given as a double, or false when it is out of
// range (a NaN included); truncation goes toward zero, so -0.5 is line 0.
bool slotOf(double line, int32_t& slot) {
    if (!(line > -1.0 && line < kTextLineCount)) return false;
    slot = static_cast<int32_t>(line);
    return true;
}

bool nameFits(const RtString& name) { return strnlen(name.data, kTextLineBytes) < kTextLineBytes; }

// The cached file is the one named: the same text, and for a relative name
// the same folder it was named in.
bool namesRecord(const char* name) {
    if (std::strcmp(name, record.fileName) != 0) return false;
    return name[0] == '/' || files::isMemBlockName(name) || files::absolutePath(name) == wholeNameOfRecord;
}

}  // namespace

double loadTextLineFile(const char* name) {
    clearErrorCode();
    buildOnFirstUse();
    if (name && namesRecord(name)) return 0.0;
    if (record.fileName[0] && record.dirty) writeBack();
    clearRecord();
    if (!name) return 0.0;
    if (strnlen(name, kTextLineBytes) >= static_cast<size_t>(kTextLineBytes))
        return setRuntimeError(ErrorNoSuchFile);
    std::strcpy(record.fileName, name);
    wholeNameOfRecord = files::absolutePath(name);
    // The name stays cached with empty lines when it cannot be read, so the
    // next command on it sees "NO_DATA" rather than "NO_FILE".
    char resolved[files::kPathBufferSize] = "";
    if (files::isMemBlockName(name)) {
        // A block is read as it stands, as the other file commands read it:
        // the resolver knows no block names, and resolving would release the
        // block the pack handed out last.
        std::strcpy(resolved, name);
    } else {
        char diskName[files::kPathBufferSize];
        if (!files::resolveDiskPath(name, diskName)) return setRuntimeError(ErrorNoSuchFile);
        diskPathOfRecord = files::absolutePath(diskName);
        if (!resolvePackedFile(filePackArchive(), diskName, resolved, 1)) return setRuntimeError(ErrorNoSuchFile);
    }
    ReadStream stream;
    if (!readStreamOpen(stream, resolved)) {
        // There but unreadable (a writer holds it), or a block that is gone:
        // not cached, so the lines written meanwhile are never written back
        // over all the file holds, and the next command on the name tries
        // again.
        record.fileName[0] = '\0';
        diskPathOfRecord.clear();
        return setRuntimeError(ErrorNoSuchFile);
    }
    int32_t loaded = 0;
    for (; loaded < kTextLineCount; ++loaded) {
        if (!readStreamReadLine(stream, record.lines[loaded], kTextLineBytes)) {
            std::memset(record.lines[loaded], 0, kTextLineBytes);
            break;
        }
        record.highestLine = loaded;
    }
    if (loaded == kTextLineCount) keepTheRest(stream);
    readStreamClose(stream);
    return 0.0;
}

RtString ReadFileLine(const RtString& name, double line) {
    clearErrorCode();
    buildOnFirstUse();
    int32_t slot = 0;
    if (!slotOf(line, slot)) {
        setRuntimeError(ErrorOutOfMemory);
        return RtString("NO_DATA");
    }
    if (!nameFits(name)) {
        setRuntimeError(ErrorNoSuchFile);
        return RtString("NO_FILE");
    }
    if (loadTextLineFile(name.data) != 0.0) return RtString("NO_FILE");
    const char* text = record.lines[slot];
    size_t length = std::strlen(text);
    while (length > 0 && static_cast<unsigned char>(text[length - 1]) < 32) --length;
    if (length == 0) return RtString("NO_DATA");
    return RtString::fromBytes(text, static_cast<uint32_t>(length));
}

void ReadFileLineAsFloat(const RtString& name, double line, double& value) { value = ReadFileLine(name, line).toDouble(); }

void ReadFileLineAsInt(const RtString& name, double line, int32_t& value) { value = ReadFileLine(name, line).toInt(); }

void WriteFileLine(const RtString& name, double line, const RtString& text) {
    clearErrorCode();
    buildOnFirstUse();
    int32_t slot = 0;
    if (!slotOf(line, slot)) {
        setRuntimeError(ErrorOutOfMemory);
        return;
    }
    if (!nameFits(name)) {
        setRuntimeError(ErrorNoSuchFile);
        return;
    }
    loadTextLineFile(name.data);  // a missing file becomes the cached, empty file
    size_t length = strnlen(text.data, kTextLineBytes - 1);
    std::memcpy(record.lines[slot], text.data, length);
    record.lines[slot][length] = '\0';
    if (slot > record.highestLine) record.highestLine = slot;
    record.dirty = 1;
}

void WriteFileLineNumber(const RtString& name, double line, double value) { WriteFileLine(name, line, RtString(value)); }

const TextLineFile& textLineFile() { return record; }
