// What the program built on the runtime supplies: its settings hook, its main
// routine and a few texts, registered as one table. The program's entry
// (runProgram) registers the program's table before anything else runs; the
// runtime and the shell call through it and skip a hook that is null, so a
// program that starts no engine (a tool, a test) needs none.
//
// A registration rather than functions the program defines: the runtime
// calls these hooks from below the program, and every module links only
// against the modules beneath it.
#pragma once
#include "runtime/strings/rt_string.h"

struct ProjectHooks {
    // Fills the display settings and the project name before the engine starts.
    double (*applyProjectSettings)();
    // Runs once after the engine has started; the program ends when it returns.
    double (*gameMain)();
    RtString (*getBuildDateTime)();   // platform information "COMPILED"
    RtString (*getProjectId)();       // "ID"
    RtString (*getProjectVersion)();  // "VERSION"
    // Called once at shutdown, right after the file channels are closed.
    void (*emptyProjectHook)();
};

extern ProjectHooks projectHooks;  // all null until the program registers its own
