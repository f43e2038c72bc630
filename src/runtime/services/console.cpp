// Console streams over stdio. Depends on the platform console and the error log.
#include "runtime/services/console.h"

#include <cstdio>
#include <cstring>

#include "platform/console.h"
#include "runtime/files/error_log.h"

void PrintToStdout(const RtString& text) {
    std::fputs(text.data, stdout);
    std::fflush(stdout);
}

void printToStderr(const RtString& text) {
    std::fputs(text.data, stderr);
    std::fflush(stderr);
}

RtString InputLine() {
    static char line[4096];
    line[0] = '\0';
    if (!std::fgets(line, 4095, stdin)) return RtString();
    size_t n = std::strlen(line);
    if (n > 0 && line[n - 1] == '\n') line[n - 1] = '\0';
    return RtString(line);
}

void OpenDebugConsole() {
    if (!platform::openConsole()) {
        static bool told = false;
        if (!told) {
            told = true;
            appendToErrorLog("OpenDebugConsole: no terminal for a console\n");
        }
    }
}
