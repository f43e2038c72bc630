// Provisional error log; the five-attempt open and exact path rule follow.
#include "runtime/files/error_log.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

RtString errorLogPath() {
    const char* dir = std::getenv("TMPDIR");
    struct stat st;
    if (!dir || !*dir || stat(dir, &st) != 0 || !S_ISDIR(st.st_mode)) dir = "/tmp";
    RtString path(dir);
    if (path.length == 0 || path.data[path.length - 1] != '/') path += "/";
    path += "ErrorLog.txt";
    return path;
}

void appendToErrorLog(const char* text) {
    if (!text) text = "NULL";
    RtString path = errorLogPath();
    if (FILE* f = std::fopen(path.data, "ab")) {
        std::fwrite(text, 1, std::strlen(text), f);
        std::fclose(f);
    }
}

void recreateErrorLog() {
    RtString path = errorLogPath();
    unlink(path.data);
    appendToErrorLog("Start new log...\n");
}
