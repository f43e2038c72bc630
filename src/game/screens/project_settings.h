// The game's project hooks (runtime/engine/project_hooks.h): its settings
// hook, its texts and its empty shutdown hook, and the table of all of them
// with the main routine that the program's entry registers.
#pragma once
#include "runtime/engine/project_hooks.h"
#include "runtime/strings/rt_string.h"

// The display settings (a 640 x 480 window, cursor hidden, 60 frames per
// second) and the project name "Shoalrunner_GS".
double ApplyProjectSettings();
RtString GetBuildDateTime();   // the compiler's "Mmm dd yyyy-hh:mm:ss"
RtString GetProjectId();       // eight lower-case hexadecimal digits
RtString GetProjectVersion();  // "000.001"
void EmptyProjectHook();

// The hooks above with GameMain (game_main.h).
extern const ProjectHooks shoalrunnerProjectHooks;
