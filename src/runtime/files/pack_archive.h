// PackArchive: resolving a file name to a disk file or to an entry of the
// pack appended to the executable (see pack_reader.h for the format).
//
// A file that exists on disk always wins and keeps its name. Otherwise the
// entry whose stored name equals the name's base name (the part behind its
// last "/" or "\\", ASCII case ignored; the first of equal names) is
// decompressed whole and handed back as a MemBlockName (to memory) or as a
// temporary file in the temporary folder named "sbx" + two capital letters
// + the entry's name (for consumers that need a real file). That product
// stays valid only until the next resolve on the same context, whatever it
// is asked, or until the context is cleared: a reader must finish with it
// (or copy it) before anything else resolves a name on that context.
//
// The engine keeps two contexts, both on the executable: the file context
// (every read open, image, sound, model, INI and line-file load, to memory)
// and the video context (video playback, temporary files).
#pragma once
#include <cstdint>

#include "runtime/files/file_paths.h"
#include "runtime/strings/rt_string.h"

struct PackArchive {
    // 1 while the pack may be consulted; 0 for good (until openPackArchives)
    // once it proved unusable: empty path, no archive, no trailer magic.
    uint8_t enabled = 1;
    char path[files::kPathBufferSize] = {};          // the archive: a disk path or a MemBlockName
    char lastTempFile[files::kPathBufferSize] = {};  // the temporary file last handed out; "" when none
    uint8_t* lastBlock = nullptr;  // the block last handed out (malloc), owned here; null when none
    uint32_t lastBlockKey = 0;     // its MemBlockName key; 0 when none
};

// Resolves `name` on `context` into `outName` (the caller's buffer of
// files::kPathBufferSize bytes). 1 when found: `outName` is the name itself
// (a disk file), a MemBlockName (toMemory != 0) or the temporary file's path
// (toMemory == 0). 0 when not: `outName` is empty (null or empty name, a name
// of 1,024 characters or more, pack unreadable, not in the pack) or the name
// itself (pack disabled or unusable, no context, temporary file not made).
// Each call first releases what the previous call on this context handed
// out. An entry that does not decode still counts as found: an empty block
// or an empty file. A null context has no pack: only disk files are found.
// Never records an RtErrorCode; the caller decides what 0 means.
int32_t resolvePackedFile(PackArchive* context, const char* name, char* outName, uint8_t toMemory);

// Engine start-up: makes the file and the video context when they do not
// exist yet, clears each (enabled again, its product released) and gives it
// its archive path (a path of 1,024 characters or more leaves it empty, so
// the first use disables the pack). Registers releasePackArchives as the
// shutdown's pack-archive step.
void openPackArchives(const RtString& filesPath, const RtString& videoPath);
// The same with the running executable (through /proc/self/exe) for both.
void openPackArchivesOnExecutable();

// The two contexts; null before openPackArchives and after the release.
PackArchive* filePackArchive();
PackArchive* videoPackArchive();

// Clears a context: enabled again, its block freed or its temporary file deleted.
void clearPackArchive(PackArchive& context);
// Shutdown: clears and frees both contexts.
void releasePackArchives();
