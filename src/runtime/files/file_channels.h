// The eight file channels (0 to 7) through which game code reads and writes
// files: typed little-endian values, raw bytes and CR LF text lines.
//
// A channel opened for reading stands on a disk file or on a memory block
// ("mem://" name, mem_blocks.h): read-mode names go through the pack resolver
// of the file context, so a file found only in the pack appended to the
// executable is read from its decompressed block. Names are resolved without
// regard to letter case (case_blind_path.h) and locked (disk_files.h): a
// file open for writing or appending is held alone, while readers share a
// file with other readers.
//
// Failure: commands record an RtErrorCode. A channel number above 7 (a
// negative number counts as too large) records 7 and ends the program in
// every command but OpenFile, which records 7 and returns 0. Every short or
// failed read or write (a full disk, a file-size limit) records 3 and ends
// the program (terminateProgram);
// the path the channel was last opened with is the error's subject
// (runtime_error.h), so the fatal end's text names the file.
//
// Record rules: `size` and `position` are the channel's own; reads and
// FileSeek move `position`, writes never do (they go to the file's own
// offset), so a channel opened for writing or appending reports position 0
// and end of file. Only the main thread uses the table.
//
// Departures, each where the plain rule loses data or reads wrongly:
// - a "mem://" name opens its block directly instead of going through the
//   resolver, which would release the very block it names;
// - a typed read on a block channel with fewer bytes left than the value's
//   width is fatal with 3, as on disk (ReadBytesFromFile keeps its zero fill);
// - a last line without a line end is a line whatever its length (a length
//   that is a multiple of the 64-byte read piece used to end the program);
// - a line of exactly 1,024 bytes before its line end reads as one line, not
//   as that line and an empty one;
// - the end of a block ends its last line as the end of a disk file does, so
//   a "\r" there is dropped on both and the same bytes read the same lines;
// - a disk read at a negative position is fatal with 3 rather than reading
//   from wherever the file's offset happens to be.
#pragma once
#include <cstdint>

#include "runtime/strings/rt_string.h"

constexpr uint32_t kFileChannelCount = 8;

struct FileChannel {
    int handle = 0;       // open descriptor; 0 = none
    uint32_t block = 0;   // key of the memory block (mem_blocks.h); 0 = none; not owned
    int64_t size = 0;     // bytes: the file's or the block's size; 0 when opened for writing or appending
    int64_t position = 0; // read position from the start; moved by reads and FileSeek only
};

// The table (for tests and diagnostics): channel n, or null for n above 7.
const FileChannel* fileChannel(uint32_t channel);

// The lowest channel that is not in use, or -1 when all eight are.
int32_t FreeFileChannel();

// mode > 0 read, 0 write (created anew), < 0 append (created when missing).
// Clears RtErrorCode, closes the channel, then opens: 1 on success, 0 on
// failure. Read: a name that neither disk nor pack holds (a directory
// included) records 3; a file that exists but cannot be opened (held by
// another opener, not readable) records nothing. Write and append: a
// "mem://" name or a failed open records 3. Write mode makes the file anew
// at the open (disk_files.h: createForWriting) and every write goes straight
// into it, so what was written is in the file whatever follows: a change of
// the current folder, an end without CloseFile, a kill. The set-id bits of
// the file it replaces, which the system clears on every write, are given
// at the close (CloseFile, the orderly end), after the last write.
int32_t OpenFile(uint32_t channel, const RtString& name, int32_t mode);
// Clears RtErrorCode and closes the channel (a block is only forgotten).
void CloseFile(uint32_t channel);
// Shutdown: closes channels 0 to 7 (no checks, the error code untouched),
// then calls the program's empty project hook (runtime/engine/project_hooks.h),
// once in the process's life (until rearmProjectHookAtClose).
void closeAllFileChannels();
// The next closeAllFileChannels calls the empty project hook again, as the first
// did: for a process that shuts the engine down more than once.
void rearmProjectHookAtClose();

bool EndOfFile(uint32_t channel);  // position >= size; a free channel reports true
int64_t FilePosition(uint32_t channel);
// mode 0: from the start; > 0: from the position; < 0: from the end. The
// position is not clamped. A free channel is left alone.
void FileSeek(uint32_t channel, int64_t offset, int32_t mode);
// Clears RtErrorCode. A "mem://" name: the size written in it. Any other
// name: the disk file's size (the pack is not consulted). 0 with 3 recorded
// when the name is empty or the file cannot be opened.
int64_t FileSizeByName(const RtString& name);

// Writes: the channel must be open on a disk file (a write on a block or on a
// free channel is fatal, except one of no bytes). Numbers little-endian;
// signed and unsigned writes of one width write the same bytes.
void WriteLineToFile(uint32_t channel, const RtString& text);    // the bytes, then "\r\n"
void WriteStringToFile(uint32_t channel, const RtString& text);  // the bytes only
void WriteFloatToFile(uint32_t channel, double value);           // IEEE single
void WriteDoubleToFile(uint32_t channel, double value);          // IEEE double
void WriteUInt32ToFile(uint32_t channel, int32_t value);
void WriteInt32ToFile(uint32_t channel, int32_t value);
void WriteUInt16ToFile(uint32_t channel, int32_t value);  // the low 16 bits
void WriteInt16ToFile(uint32_t channel, int32_t value);
void WriteUInt8ToFile(uint32_t channel, int32_t value);   // the low 8 bits
void WriteInt8ToFile(uint32_t channel, int32_t value);

// Reads: 16- and 8-bit values are zero-extended (UInt) or sign-extended (Int).
void ReadUInt32FromFile(uint32_t channel, int32_t& value);
void ReadInt32FromFile(uint32_t channel, int32_t& value);
void ReadUInt16FromFile(uint32_t channel, int32_t& value);
void ReadInt16FromFile(uint32_t channel, int32_t& value);
void ReadUInt8FromFile(uint32_t channel, int32_t& value);
void ReadInt8FromFile(uint32_t channel, int32_t& value);
void ReadFloatFromFile(uint32_t channel, double& value);
void ReadDoubleFromFile(uint32_t channel, double& value);
// n bytes (NULs included). n <= 0 gives "" without looking at the channel.
// On a block with fewer than n bytes left the missing bytes are zero bytes.
void ReadBytesFromFile(uint32_t channel, RtString& out, int32_t n);
// One line of at most 1,024 bytes, without "\n" and a "\r" directly before
// it; a longer line goes on in the next read; a NUL ends the line's text.
// No byte left is fatal.
void ReadLineFromFile(uint32_t channel, RtString& out);
void ReadLineAsInt(uint32_t channel, int32_t& value);   // atoi of the line
void ReadLineAsFloat(uint32_t channel, double& value);  // atof of the line
