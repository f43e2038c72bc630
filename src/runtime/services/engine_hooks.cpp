// The engine hooks, all null until the shell connects its objects.
#include "runtime/services/engine_hooks.h"

EngineHooks engineHooks = {};
