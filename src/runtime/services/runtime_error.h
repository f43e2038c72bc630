// The runtime error code: every failing command records one number here.
// 0 success, 3 no such file, 7 out of memory (also a bad channel or slot),
// 8 push onto a multi-dimensional array, 9 out of bounds, 20 out of data,
// 21 failed assertion. A caller that cannot go on calls terminateProgram()
// right after recording the code.
#pragma once
#include <cstdint>

extern int32_t RtErrorCode;
extern int32_t errorLine;        // currentLine when the last error was recorded
extern int32_t currentLine;      // source line being run (code with line tracking)
extern int32_t currentPosition;  // a second source-position number

// Stores the code and the current line; for a non-zero code sends
// "TXerror: <hex>\n" to an attached debugger. Returns the code; never ends.
int32_t setRuntimeError(int32_t code);
// Sets the code to 0 without any output.
void clearErrorCode();
