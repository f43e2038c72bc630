// What the program built on the runtime supplies: its settings hook, its main
// routine and a few texts. The game defines these; so does the test support.
#pragma once
#include "runtime/strings/rt_string.h"

// Fills the display settings and the project name before the engine starts.
double ApplyProjectSettings();
// Runs once after the engine has started; the program ends when it returns.
double GameMain();
RtString GetBuildDateTime();   // platform information "COMPILED"
RtString GetProjectId();       // "ID"
RtString GetProjectVersion();  // "VERSION"
// Called once at shutdown, right after the file channels are closed.
void EmptyProjectHook();
