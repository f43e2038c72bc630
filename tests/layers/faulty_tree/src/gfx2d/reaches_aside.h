// A 2-D header that includes sound, beside it on its level: a fault.
#pragma once
#include "sound/sound_system.h"
