// Case-blind path resolution: the file layer's answer to names that game code
// writes in more than one letter case ("Data/shol1.dat" read, "data/shol1.dat"
// written), which on a case-sensitive file system would otherwise name two
// different files.
//
// A path is tried exactly first. When it does not exist as written, it is
// walked component by component: a component that exists as written is kept,
// else the entry of its folder whose name equals it without regard to the
// case of the ASCII letters A to Z takes its place (when several do, the one
// first in byte order, so the choice never depends on the folder's order).
// The walk stops at the first component that has no match at all; it and
// everything behind it stay as written, so a file about to be created in an
// existing folder lands in that folder, under the name the caller wrote.
// Depends on POSIX lstat and readdir.
#pragma once
#include "runtime/files/file_paths.h"

namespace files {

// Turns the game's name into a disk path (toDiskPath: every "\\" a "/") and
// resolves it as above into `out`. False, with `out` empty, for a null name
// or one of 1,024 characters or more. The result is never longer than the
// name (a case-blind match has the same length).
bool resolveDiskPath(const char* name, char (&out)[kPathBufferSize]);

// The same for a name that is already a disk path; `path` and `out` may be
// the same buffer.
void resolveCaseBlind(const char* path, char (&out)[kPathBufferSize]);

}  // namespace files
