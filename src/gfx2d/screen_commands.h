// The screen commands the shell's frame end relies on (the frame limit, the
// viewport, the screen orientation) are among the 2-D commands.
#pragma once
#include "gfx2d/gfx2d_commands.h"
