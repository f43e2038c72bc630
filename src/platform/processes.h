// Child processes: the stand-in for process creation with a command line.
//
// A command line is split into words by the rules a Windows program's
// start-up code applies (splitCommandLine), the first word names the program
// (looked up on PATH), and the program starts directly, without a shell,
// with only the three standard descriptors; nothing else is inherited.
// There are no windows to show or hide, so the show flag of the commands has
// no counterpart here.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Words of a command line:
// - the first word (the program) runs to the next blank or tab, or, when it
//   starts with a double quote, to the next double quote; backslashes in it
//   are plain characters;
// - later words are separated by blanks and tabs; a double quote starts or
//   ends a quoted part, in which blanks and tabs are kept; "" inside a quoted
//   part is one literal double quote;
// - 2n backslashes before a double quote give n backslashes and the quote
//   acts as above; 2n + 1 backslashes before it give n backslashes and a
//   literal double quote; backslashes before anything else stay as they are.
std::vector<std::string> splitCommandLine(const char* commandLine);

struct ChildProcess {
    int pid = 0;  // 0: nothing started
};

// Starts args[0] (searched on PATH) with the given words. False when nothing
// was started (no words, an empty program name, a missing program).
bool startProgram(const std::vector<std::string>& args, ChildProcess* child);
// splitCommandLine, then startProgram.
bool startCommandLine(const char* commandLine, ChildProcess* child);

// Waits until the child has ended, however long it runs and whatever code
// it ends with, and stores the exit code: the exit status, or 128 + the
// signal number for a child ended by a signal. False when the child cannot
// be waited for. The child is forgotten either way.
bool waitForProcess(ChildProcess& child, uint32_t* exitCode);

// Lets the child run on without anyone waiting for it; it is reaped in the
// background when it ends, so it leaves no zombie behind.
void releaseProcess(ChildProcess& child);

}  // namespace platform
