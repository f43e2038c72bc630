// The registered project hooks, all null until the program registers its table.
#include "runtime/engine/project_hooks.h"

ProjectHooks projectHooks = {};
