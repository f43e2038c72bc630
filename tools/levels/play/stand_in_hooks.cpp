// The program hooks that the runtime calls, for the headless players of the
// game world (the solver and the replay tests), which do not run the game's
// main routine. Weak, so that the game's own definitions win wherever they
// are linked.
#include "shell/project_hooks.h"

__attribute__((weak)) double ApplyProjectSettings() { return 0.0; }
__attribute__((weak)) double GameMain() { return 0.0; }
__attribute__((weak)) RtString GetBuildDateTime() { return RtString("Jan 1 2026-00:00:00"); }
__attribute__((weak)) RtString GetProjectId() { return RtString("5a0a1e00"); }
__attribute__((weak)) RtString GetProjectVersion() { return RtString("000.001"); }
__attribute__((weak)) void EmptyProjectHook() {}
