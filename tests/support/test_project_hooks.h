// The stand-in program that runtime tests link: its hooks can be steered.
#pragma once

namespace testsupport {
// Counts calls of EmptyProjectHook.
extern int emptyProjectHookCalls;
// When set, GameMain runs this instead of returning at once.
extern double (*gameMainBody)();
}  // namespace testsupport
