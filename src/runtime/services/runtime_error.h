// The runtime error code: every failing command records one number here.
// 0 success, 3 no such file, 7 out of memory (also a bad channel or slot),
// 8 push onto a multi-dimensional array, 9 out of bounds, 20 out of data,
// 21 failed assertion. A caller that cannot go on calls terminateProgram()
// right after recording the code; the program then ends with the code as its
// exit status.
#pragma once
#include <cstdint>

#include "runtime/strings/rt_string.h"

extern int32_t RtErrorCode;
extern int32_t errorLine;        // currentLine when the last error was recorded
extern int32_t currentLine;      // source line being run (code with line tracking)
extern int32_t currentPosition;  // a second source-position number

// The codes that have a name of their own; every other value is "unknown error".
enum RuntimeErrorNumber : int32_t {
    ErrorSuccess = 0,
    ErrorNoSuchFile = 3,
    ErrorOutOfMemory = 7,
    ErrorPushOnMultiDimensional = 8,
    ErrorOutOfBounds = 9,
    ErrorOutOfData = 20,
    ErrorAssertion = 21,
};

// Stores the code and the current line; for a non-zero code sends
// "TXerror: <hex>\n" to an attached debugger. Returns the code; never ends.
int32_t setRuntimeError(int32_t code);
// Sets the code to 0 without any output.
void clearErrorCode();
// What the last recorded error concerns, such as the path of the file that
// could not be read (at most 1,023 bytes kept; null counts as ""): the fatal
// end's text names it. setRuntimeError and clearErrorCode forget it, so set
// it right after recording the code.
void setRuntimeErrorSubject(const char* subject);
const char* runtimeErrorSubject();  // "" when none
// The text of a code: "success", "no such file", "out of memory",
// "out of bounds", "out of data", else "unknown error".
const char* errorCodeText(int32_t code);
// "%.4d %s" of RtErrorCode and its text, e.g. "0003 no such file".
RtString GetErrorText();
void setCurrentLine(int32_t position, int32_t line);

// 0 sends "TXAssertion: Value = 0\n" to an attached debugger, records 21 and
// ends the program; any other value does nothing.
void AssertValue(int32_t value);
// The end command: stops the loop function, records 0 and ends the program.
// It returns only when called while the program is already ending.
void EndProgram();
