#include "test_project_hooks.h"

#include "runtime/engine/project_hooks.h"

namespace testsupport {

int emptyProjectHookCalls = 0;
double (*gameMainBody)() = nullptr;

namespace {
double applyProjectSettings() { return 0.0; }
double gameMain() { return gameMainBody ? gameMainBody() : 0.0; }
RtString buildDateTime() { return RtString("Jan 1 2026-00:00:00"); }
RtString projectId() { return RtString("0badc0de"); }
RtString projectVersion() { return RtString("000.001"); }
void emptyProjectHook() { ++emptyProjectHookCalls; }
}  // namespace

const ProjectHooks testProjectHooks = {
    applyProjectSettings, gameMain, buildDateTime, projectId, projectVersion, emptyProjectHook};

namespace {
// As a program registers its hooks first thing, before any test runs.
[[maybe_unused]] const bool registered = (projectHooks = testProjectHooks, true);
}  // namespace

}  // namespace testsupport
