// Case-blind path resolution over lstat and readdir.
#include "runtime/files/case_blind_path.h"

#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

#include "runtime/strings/ascii_text.h"

namespace files {

namespace {

bool exists(const char* path) {
    struct stat st;
    return lstat(path, &st) == 0;
}

// Looks in `folder` ("" for the working directory) for an entry equal to
// `component` without regard to ASCII case; writes its name over `component`
// (same length) and returns true when there is one.
bool findCaseBlind(const char* folder, char* component, size_t length) {
    DIR* dir = opendir(*folder ? folder : ".");
    if (!dir) return false;
    char best[256] = "";
    bool found = false;
    while (const dirent* entry = readdir(dir)) {
        if (std::strlen(entry->d_name) != length || !rtstring::equalsIgnoringAsciiCase(entry->d_name, component)) continue;
        if (!found || std::strcmp(entry->d_name, best) < 0) {
            std::memcpy(best, entry->d_name, length + 1);
            found = true;
        }
    }
    closedir(dir);
    if (found) std::memcpy(component, best, length);
    return found;
}

}  // namespace

void resolveCaseBlind(const char* path, char (&out)[kPathBufferSize]) {
    if (out != path) {
        size_t length = strnlen(path, kPathBufferSize - 1);
        std::memmove(out, path, length);
        out[length] = '\0';
    }
    if (!out[0] || exists(out)) return;
    // Walk the components in place: out[0..start) is the resolved folder.
    size_t start = out[0] == '/' ? 1 : 0;
    while (out[start]) {
        size_t end = start;
        while (out[end] && out[end] != '/') ++end;
        size_t length = end - start;
        if (length > 0 && length < 256) {
            char saved = out[end];
            out[end] = '\0';
            bool present = exists(out);
            if (!present) {
                // The folder part, without its trailing "/" (but "/" itself for the root).
                char folder[kPathBufferSize];
                size_t folderLength = start == 0 ? 0 : (start == 1 ? 1 : start - 1);
                std::memcpy(folder, out, folderLength);
                folder[folderLength] = '\0';
                present = findCaseBlind(folder, out + start, length);
            }
            out[end] = saved;
            if (!present) return;  // the rest stays as written
        } else if (length >= 256) {
            return;  // no file system entry bears so long a name
        }
        start = out[end] ? end + 1 : end;
    }
}

bool resolveDiskPath(const char* name, char (&out)[kPathBufferSize]) {
    if (!toDiskPath(name, out)) return false;
    resolveCaseBlind(out, out);
    return true;
}

}  // namespace files
