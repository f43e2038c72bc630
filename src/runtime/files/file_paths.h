// Paths as the file layer hands them to the operating system.
//
// Game code writes "/" and names hold at most 1,023 characters (they live in
// 1,024-byte path buffers). On this system "/" is the separator already, so a
// path keeps it; a "\\" written by game code is turned into "/". A name that
// does not fit a path buffer is refused rather than cut, so it can never
// open a different file than the one named.
// Depends on POSIX getcwd, stat, unlink and rmdir.
#pragma once
#include <cstddef>
#include <string>

namespace files {

constexpr size_t kPathBufferSize = 1024;  // bytes, the NUL included

// Copies `name` into `out` with every "\\" made "/". False (and `out` empty)
// for a null name or one of 1,024 characters or more.
bool toDiskPath(const char* name, char (&out)[kPathBufferSize]);

// A relative disk path joined to the working directory, so that it names the
// same file after the working directory changes; an absolute path (or the
// path as it is where the working directory cannot be told) unchanged.
std::string absolutePath(const std::string& path);

// The name as a message shows it to a user: a relative name joined to the
// working directory, so the text says where the file was looked for; an
// absolute path or a "mem://" name unchanged; "NULL" for a null name. Its
// control characters are escaped (log_text.h), so a name cannot forge a line.
std::string pathForMessages(const char* name);

// True when the path names something that exists and is not a directory.
bool isExistingFile(const char* path);

// Removes what a path names before a file of that name is created, or when a
// temporary file is let go: an empty directory is removed, anything else
// unlinked (a symbolic link itself, never its target). Failures are harmless.
void removeFileOrEmptyDirectory(const char* path);

}  // namespace files
