// The process entry: the routine behind the program's main(). It registers
// the program's hooks, keeps the command line whole, runs the program's
// settings hook, starts the engine, runs the program's main routine, runs the
// loop function "VNT_ON_LOOP" when the program has one, and ends the program
// in order (status 0).
#pragma once
#include <string>

struct ProjectHooks;

// Does not return: the program ends through the orderly end. The hooks are
// registered for the whole run (runtime/engine/project_hooks.h).
[[noreturn]] int runProgram(int argc, char** argv, const ProjectHooks& hooks);

// The command line as one text: the arguments joined by single spaces, an
// argument that is empty or holds a blank, tab or quote written in double
// quotes with its quotes and the backslashes before them escaped by "\".
std::string joinCommandLine(int argc, char** argv);
