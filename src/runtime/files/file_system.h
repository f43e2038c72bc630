// The commands on files and folders as a whole: existence tests, deletion,
// folders, the working directory and copying a file or a memory block.
//
// Game code writes "/" (a "\\" counts as "/" too) and gets "/" back; names
// are resolved without regard to letter case (case_blind_path.h) and hold at
// most 1,023 characters: a longer name is refused (false, nothing done, or 3
// where the command records errors), never cut.
//
// Departures from the plain copy rule, where it reported a failure as
// success or destroyed data: a copy that fails halfway records 3 and leaves
// the target as it was (the new bytes take the target's name only once they
// are all written; file_replacement.h, which also logs the failure), so a
// file it would have replaced survives;
// copying a file onto itself (any spelling, a hard link
// included) leaves it untouched and records 3; the whole size of a large
// source is copied.
#pragma once
#include "runtime/strings/rt_string.h"

// True when the path names an existing file that is not a directory.
bool FileExists(const RtString& path);
// True when the path names an existing directory.
bool IsDirectory(const RtString& path);
// An empty directory is removed, a file deleted; anything else (a missing
// path, a folder with something in it) is left. No result.
void DeleteFileOrDir(const RtString& path);
// One folder level; true when it was made (false when the name is taken, in
// any letter case, or its parent is missing).
bool CreateDir(const RtString& path);

// Every "\\" becomes "/", in place.
void toForwardSlashes(RtString& text);
// The working directory with "/" separators, always ending in "/" ("./" when
// the system cannot say, which still names it for names joined behind it).
RtString GetCurrentDir();
// Clears RtErrorCode. Every "/" of the caller's string becomes "\\" (the
// string is the caller's own and keeps that form), then the working
// directory changes: 1.0, or 0.0 with 3 recorded.
double SetCurrentDir(RtString& path);

// Copies a disk file or a "mem://" block (the pack is not consulted) to a
// new disk file of the target's name, 4,096 bytes at a time. Clears
// RtErrorCode; 3 when the source cannot be opened, the target cannot be
// made (a "mem://" name, held by another opener, a folder in the way), the
// two are the same file, or the copy fails halfway (the target is left as it
// was). No result.
void CopyFileTo(const RtString& source, const RtString& target);
