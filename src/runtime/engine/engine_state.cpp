// The one block of engine globals.
#include "runtime/engine/engine_state.h"

EngineState engine;
