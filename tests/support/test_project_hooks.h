// The stand-in program that runtime tests link: its hooks can be steered.
// They are registered before any test runs (runtime/engine/project_hooks.h).
#pragma once

struct ProjectHooks;

namespace testsupport {
// Counts calls of the empty project hook.
extern int emptyProjectHookCalls;
// When set, the main routine runs this instead of returning at once.
extern double (*gameMainBody)();
// The stand-in program's hooks, for tests that run the process entry.
extern const ProjectHooks testProjectHooks;
}  // namespace testsupport
