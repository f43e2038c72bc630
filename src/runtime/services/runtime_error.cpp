#include "runtime/services/runtime_error.h"

int32_t RtErrorCode = 0;
int32_t errorLine = 0;
int32_t currentLine = 0;
int32_t currentPosition = 0;

int32_t setRuntimeError(int32_t code) {
    RtErrorCode = code;
    errorLine = currentLine;
    return code;
}

void clearErrorCode() { RtErrorCode = 0; }
