// The error log: its path rule and the five-attempt append (POSIX).
//
// Exclusive opening: another writer that holds the log keeps every attempt
// from getting in. Here a writer holds the log by an exclusive advisory lock
// (flock) for the length of its append; an attempt that cannot take the lock
// at once counts as a failed open, and after five the text is dropped.
// The log is never opened through a symbolic link, so a link planted in a
// shared temporary folder cannot redirect the runtime's writes.
#include "runtime/files/error_log.h"

#include <cstring>
#include <string>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/log_sink.h"
#include "runtime/files/disk_files.h"
#include "runtime/files/file_paths.h"
#include "runtime/files/temp_folder.h"

namespace {

constexpr int kOpenAttempts = 5;

// One open attempt: the descriptor, positioned for appending and locked
// against other writers, or -1.
int openLogOnce(const char* path) {
    int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return -1;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

RtString errorLogPath() {
    RtString path = temporaryFolder();
    path += "ErrorLog.txt";
    return path;
}

void appendToErrorLog(const char* text) {
    if (!text) text = "NULL";
    RtString path = errorLogPath();
    int fd = -1;
    for (int attempt = 0; attempt < kOpenAttempts && fd < 0; ++attempt) fd = openLogOnce(path.data);
    if (fd < 0) return;
    files::writeAll(fd, text, std::strlen(text));  // a short write is ignored
    close(fd);  // also drops the lock
}

void recreateErrorLog() {
    RtString path = errorLogPath();
    files::removeFileOrEmptyDirectory(path.data);
    appendToErrorLog("Start new log...\n");
    platform::setLogSink(appendToErrorLog);
}

void logFileFailure(const char* what, const char* name) {
    const std::string line = std::string(what ? what : "NULL") + ": " + files::pathForMessages(name) + "\n";
    appendToErrorLog(line.c_str());
}
