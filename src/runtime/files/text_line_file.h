// The text-line file: game code reads and writes a text file by line number
// without opening it. The runtime keeps one such file in memory, at most 256
// lines of up to 1,023 bytes; naming another file writes the cached one back
// first when it was changed, then loads the new one; at program exit a
// changed file is written back as well.
//
// Loading goes through the pack resolver of the file context, so a line file
// may come from disk or from the pack; a "mem://" name reads its live block
// as it stands, as OpenFile, CopyFileTo and OpenIniFile do. Writing back
// always goes to the disk file the cached name named when it was loaded
// (never for a "mem://" name), each line ended by CR LF, exactly
// highestLine + 1 lines, followed by whatever the file held behind its 256th
// line, unchanged; it is a whole-file save (file_replacement.h). Names are
// compared byte for byte, so another spelling of the same file writes back
// and reloads.
//
// Departures: the lines behind the 256th were dropped at the write-back, so
// changing one line of a longer file cut the file short; they are kept. And
// a relative name was written back relative to the current folder of the
// write-back, so a change of folder in between put the lines into another
// file of that name; the write-back goes to the file that was loaded. And a
// "mem://" name went to the resolver, which knows no block names, so the
// line commands alone read a live block as no file; they read the block.
//
// Left open by the rules and settled here: a text of 1,024 bytes or more is
// cut to its first 1,023 bytes when stored; a file line with no line end
// within 1,023 bytes is cut there and its rest loads as the next line. A name
// of 1,024 characters or more cannot be cached: reads give "NO_FILE" and
// writes store nothing, both with 3, and the cached file stays as it is.
#pragma once
#include <cstdint>

#include "runtime/strings/rt_string.h"

constexpr int32_t kTextLineCount = 256;
constexpr int32_t kTextLineBytes = 1024;  // one slot, the NUL included

struct TextLineFile {
    char fileName[kTextLineBytes];              // as the caller gave it; "" = no file
    char lines[kTextLineCount][kTextLineBytes]; // line i in slot i, without its line end
    int32_t highestLine;  // last line loaded (0 for an empty or one-line file), raised by writes
    uint8_t dirty;        // set by every write, cleared by a load
};

// The line number arrives as a double, truncated toward zero; a negative
// number or one above 255 is out of range.
// The slot's text without trailing bytes below 32; "NO_DATA" when nothing is
// left or the line is out of range (then with 7), "NO_FILE" when the file is
// neither on disk nor in the pack (3; a later read of the same name finds the
// empty file cached and gives "NO_DATA") or there but unreadable, held by a
// writer or a block no longer live (3; not cached: lines written meanwhile
// are never written over it).
RtString ReadFileLine(const RtString& name, double line);
void ReadFileLineAsFloat(const RtString& name, double line, double& value);  // atof of ReadFileLine
void ReadFileLineAsInt(const RtString& name, double line, int32_t& value);   // atoi of ReadFileLine
// Stores the text as line `line` of the named file (a missing file becomes
// an empty cached file, created at write-back; 3 stays recorded).
void WriteFileLine(const RtString& name, double line, const RtString& text);
// The number's text as the runtime writes numbers, then WriteFileLine.
void WriteFileLineNumber(const RtString& name, double line, double value);

// Makes the named file the cached one: 0.0 when it is ready, 3.0 when it
// could not be read. A null name only writes back a changed file and empties
// the cache (the exit handler).
double loadTextLineFile(const char* name);

// The cached record (built on first use).
const TextLineFile& textLineFile();
