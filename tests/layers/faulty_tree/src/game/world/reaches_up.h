// A game world header that includes the screens above it: a fault.
#pragma once
#include "game/screens/screens.h"
