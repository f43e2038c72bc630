#include "test_project_hooks.h"

#include "shell/project_hooks.h"

namespace testsupport {
int emptyProjectHookCalls = 0;
double (*gameMainBody)() = nullptr;
}  // namespace testsupport

double ApplyProjectSettings() { return 0.0; }
double GameMain() { return testsupport::gameMainBody ? testsupport::gameMainBody() : 0.0; }
RtString GetBuildDateTime() { return RtString("Jan 1 2026-00:00:00"); }
RtString GetProjectId() { return RtString("0badc0de"); }
RtString GetProjectVersion() { return RtString("000.001"); }
void EmptyProjectHook() { ++testsupport::emptyProjectHookCalls; }
