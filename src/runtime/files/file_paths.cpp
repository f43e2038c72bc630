// Path conversion and the two existence rules of the file layer (POSIX).
#include "runtime/files/file_paths.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "runtime/files/log_text.h"

namespace files {

bool toDiskPath(const char* name, char (&out)[kPathBufferSize]) {
    out[0] = '\0';
    if (!name) return false;
    size_t length = std::strlen(name);
    if (length >= kPathBufferSize) return false;
    for (size_t i = 0; i < length; ++i) out[i] = name[i] == '\\' ? '/' : name[i];
    out[length] = '\0';
    return true;
}

std::string absolutePath(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    std::string folder(kPathBufferSize, '\0');
    // A working folder deeper than one buffer: a bigger one.
    while (getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE) return path;
        folder.resize(folder.size() * 2);
    }
    folder.resize(std::strlen(folder.c_str()));
    if (folder.back() != '/') folder += '/';
    return folder + path;
}

std::string pathForMessages(const char* name) {
    if (name == nullptr) return "NULL";
    std::string path(name);
    for (char& c : path) c = c == '\\' ? '/' : c;
    return escapeForLog(path.rfind("mem://", 0) == 0 ? path : absolutePath(path));
}

bool isExistingFile(const char* path) {
    struct stat st;
    return path && *path && stat(path, &st) == 0 && !S_ISDIR(st.st_mode);
}

void removeFileOrEmptyDirectory(const char* path) {
    struct stat st;
    if (!path || !*path || lstat(path, &st) != 0) return;
    if (S_ISDIR(st.st_mode)) rmdir(path);
    else unlink(path);
}

}  // namespace files
