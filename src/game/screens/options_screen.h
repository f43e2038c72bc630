// The options screen's rows: the two overscan margins, the music volume and
// the way back to the title menu.
#pragma once
#include <cstdint>

#include "runtime/strings/rt_string.h"

constexpr int32_t kOptionRows = 4;

// Row 0 to 3 as shown: "Overscan H   " + (100 - OVERSCAN_H), "Overscan V   "
// + (100 - OVERSCAN_V), "Music Volume  " + the percentage cut to tens + "%"
// ("0%" to "100%"), "Main Menu".
RtString optionsRowText(int32_t row);
// The volume one step of 0.1 up (direction 1) or down (-1), held to 0..1 and
// rounded to tenths, so that repeated steps land on the same values.
double stepMusicVolume(double volume, int32_t direction);
