// The error log: its path rule and the append (POSIX).
//
// Several programs, and several threads of one, write the log at once.
// Each append is one write to the file opened for appending, and the system
// puts each such write whole at the end, after every other: lines neither
// mix nor go missing, and nobody waits for anybody. (Departure: an append
// used to take the file alone and give up after five attempts while
// another writer held it, which lost lines whenever programs logged at
// once.)
// The log is written only into a regular file that the user owns, opened
// without following a link and without waiting: in a folder others can
// write to ($TMPDIR may name one), another user's file of that name would
// take the user's lines, a link would redirect them, and a FIFO would hold
// the program at its start until someone read it. Such a file is left
// alone and the line is dropped, as any line the log cannot take; only the
// user whose folder holds it loses the log, and the program goes on.
#include "runtime/files/error_log.h"

#include <cstring>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/log_sink.h"
#include "runtime/files/disk_files.h"
#include "runtime/files/file_paths.h"
#include "runtime/files/temp_folder.h"

namespace {

// The descriptor of the user's own regular file, open for appending, or -1.
int openLog(const char* path) {
    int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
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
    const int fd = openLog(path.data);
    if (fd < 0) return;
    files::writeAll(fd, text, std::strlen(text));  // one write, unless the disk is full; a short write is ignored
    close(fd);
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
