// The one block of engine globals.
#include "shell/engine_state.h"

EngineState engine;
