// The error code, its texts, the assertion and the end command.
// Depends on the debugger channel (platform/debugger.h), the loop function
// (callbacks.h) and the orderly end (runtime/engine/orderly_end.h).
#include "runtime/services/runtime_error.h"

#include <cstdio>

#include "platform/debugger.h"
#include "runtime/engine/orderly_end.h"
#include "runtime/services/callbacks.h"
#include "runtime/services/debug_output.h"

int32_t RtErrorCode = 0;
int32_t errorLine = 0;
int32_t currentLine = 0;
int32_t currentPosition = 0;

namespace {
char errorSubject[1024] = "";
}

int32_t setRuntimeError(int32_t code) {
    RtErrorCode = code;
    errorSubject[0] = '\0';
    errorLine = currentLine;
    if (code != 0 && platform::isDebuggerPresent()) {
        char line[32];
        std::snprintf(line, sizeof line, "TXerror: %x\n", static_cast<uint32_t>(code));
        platform::outputDebugText(line);
    }
    return code;
}

void clearErrorCode() {
    RtErrorCode = 0;
    errorSubject[0] = '\0';
}

void setRuntimeErrorSubject(const char* subject) {
    std::snprintf(errorSubject, sizeof errorSubject, "%s", subject ? subject : "");
}

const char* runtimeErrorSubject() { return errorSubject; }

const char* errorCodeText(int32_t code) {
    switch (code) {
        case ErrorSuccess: return "success";
        case ErrorNoSuchFile: return "no such file";
        case ErrorOutOfMemory: return "out of memory";
        case ErrorOutOfBounds: return "out of bounds";
        case ErrorOutOfData: return "out of data";
        default: return "unknown error";
    }
}

RtString GetErrorText() {
    char text[64];
    std::snprintf(text, sizeof text, "%.4d %s", RtErrorCode, errorCodeText(RtErrorCode));
    return RtString(text);
}

void setCurrentLine(int32_t position, int32_t line) {
    currentPosition = position;
    currentLine = line;
}

void AssertValue(int32_t value) {
    if (value != 0) return;
    debugOutputText("Assertion: Value = 0\n");
    setRuntimeError(ErrorAssertion);
    terminateProgram();
}

void EndProgram() {
    setLoopFunctionName(RtString());
    setRuntimeError(ErrorSuccess);
    terminateProgram();
}
