// The frames-per-second counter over the platform's time-of-day text.
#include "game/world/frame_counter.h"

#include "shell/platform_info.h"

double CountFramesPerSecond() {
    static RtString previous;
    static RtString current;
    static double calls = 0;
    static double result = 0;
    previous = current;
    calls += 1;
    current = GetPlatformInfo(RtString("TIME"));
    if (!current.equals(previous)) {
        result = calls;
        calls = 0;
    }
    return result;
}
