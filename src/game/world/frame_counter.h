// Frames per second, counted against the clock text that changes once a
// second: the number of calls during the last completed second when called
// once per frame (0 until a second has passed).
#pragma once

double CountFramesPerSecond();
