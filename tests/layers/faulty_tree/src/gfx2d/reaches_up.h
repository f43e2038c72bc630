// A 2-D header that includes the shell above it: a fault.
#pragma once
#include "shell/frame_end.h"
