// Stand-in program hooks for the game world's tests until the game's own
// screens module defines them; delete this file once src/game/screens does.
#include "shell/project_hooks.h"

double ApplyProjectSettings() { return 0.0; }
double GameMain() { return 0.0; }
RtString GetBuildDateTime() { return RtString("Jan 1 2026-00:00:00"); }
RtString GetProjectId() { return RtString("5a0a1e00"); }
RtString GetProjectVersion() { return RtString("000.001"); }
void EmptyProjectHook() {}
