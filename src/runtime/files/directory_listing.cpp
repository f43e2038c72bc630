// The directory listing over readdir, the string vectors and the text sort.
#include "runtime/files/directory_listing.h"

#include <cstring>
#include <dirent.h>
#include <sys/stat.h>

#include "runtime/containers/rt_vector.h"
#include "runtime/containers/text_sort.h"
#include "runtime/strings/ascii_text.h"

namespace {

// The listing's order: without case, then byte order between names that
// differ only in case, so the result never depends on the folder's order.
double compareListed(const RtString* a, const RtString* b) {
    int order = rtstring::compareIgnoringAsciiCase(a->data, b->data);
    return order != 0 ? order : std::strcmp(a->data, b->data);
}

bool isDirectoryEntry(const dirent& entry) {
    if (entry.d_type == DT_DIR) return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
    struct stat st;
    return stat(entry.d_name, &st) == 0 && S_ISDIR(st.st_mode);
}

void sortNames(RtVector<RtString>& names) {
    if (names.count > 1) containers::sortTextRun(names.data, names.data + (names.count - 1), compareListed);
}

}  // namespace

bool matchWildcard(const char* pattern, const char* name) {
    if (!pattern) pattern = "";
    if (!name) name = "";
    if (std::strcmp(pattern, "*.*") == 0) return true;
    const char* resumePattern = nullptr;  // behind the last "*" met
    const char* resumeName = nullptr;     // where that star's run ends so far
    while (*name) {
        if (*pattern == '*') {
            while (*pattern == '*') ++pattern;
            resumePattern = pattern;
            resumeName = name;
        } else if (*pattern && (*pattern == '?' ? *name != '.' : rtstring::asciiLower(*pattern) == rtstring::asciiLower(*name))) {
            ++pattern;
            ++name;
        } else if (resumePattern) {
            pattern = resumePattern;
            name = ++resumeName;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == '\0';
}

double compareTextNoCase(const RtString* a, const RtString* b) { return rtstring::compareIgnoringAsciiCase(a->data, b->data); }

double ListDirectory(const RtString& pattern, RtArray<RtString>& out) {
    RtVector<RtString> directories(128, 512);
    RtVector<RtString> files(128, 512);
    if (DIR* dir = opendir(".")) {
        while (const dirent* entry = readdir(dir)) {
            if (isDirectoryEntry(*entry)) directories.append(RtString(entry->d_name));
            else if (matchWildcard(pattern.data, entry->d_name)) files.append(RtString(entry->d_name));
        }
        closedir(dir);
    }
    sortNames(directories);
    sortNames(files);
    out.dim(directories.count + files.count);
    for (int32_t i = 0; i < directories.count; ++i) out.at(i) = directories[i];
    for (int32_t i = 0; i < files.count; ++i) out.at(directories.count + i) = files[i];
    return directories.count * 65536.0 + files.count;
}
