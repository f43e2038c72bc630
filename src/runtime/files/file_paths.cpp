// Path conversion and the two existence rules of the file layer (POSIX).
#include "runtime/files/file_paths.h"

#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

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

std::string pathForMessages(const char* name) {
    if (name == nullptr) return "NULL";
    std::string path(name);
    for (char& c : path) c = c == '\\' ? '/' : c;
    if (path.empty() || path[0] == '/' || path.rfind("mem://", 0) == 0) return path;
    char folder[kPathBufferSize];
    if (getcwd(folder, sizeof folder) == nullptr) return path;
    std::string joined(folder);
    if (joined.empty() || joined.back() != '/') joined += '/';
    return joined + path;
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
