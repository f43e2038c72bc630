// Timers over the platform clock.
#include "runtime/services/timers.h"

#include "platform/clock.h"

int32_t performanceCounterAvailable = 0;
double performanceFrequency = 0.0;
double timerStart = 0.0;
double activeTimeOffset = 0.0;
double frameTimeNow = 0.0;
double frameTimePrevious = 0.0;

void initPerformanceTimer() {
    performanceCounterAvailable = 0;
    int64_t perSecond = 0;
    if (platform::clockPort().counterFrequency(&perSecond) && perSecond > 0) {
        performanceFrequency = static_cast<double>(perSecond);
        performanceCounterAvailable = 1;
    }
}

namespace {

double counterMillis() {
    // Times 1,000 in 64-bit arithmetic that wraps rather than overflows.
    uint64_t scaled = static_cast<uint64_t>(platform::clockPort().counter()) * 1000u;
    return static_cast<double>(static_cast<int64_t>(scaled)) / performanceFrequency;
}

double tickMillis() { return static_cast<double>(platform::clockPort().tickMillis()); }

}  // namespace

double elapsedMillis() {
    if (performanceCounterAvailable) {
        double now = counterMillis();
        if (timerStart == 0.0) timerStart = now;
        return now - timerStart;
    }
    if (timerStart == 0.0) timerStart = tickMillis();
    return tickMillis() - timerStart;
}

double activeMillis() { return elapsedMillis() - activeTimeOffset; }

double frameTimeDelta() {
    double delta = frameTimeNow - frameTimePrevious;
    return delta > 0.0 ? delta : 1.0;
}

void advanceFrameTimes() {
    frameTimePrevious = frameTimeNow;
    frameTimeNow = elapsedMillis();
}

void SleepMillis(int32_t ms) { platform::clockPort().sleepMillis(ms > 0 ? static_cast<uint32_t>(ms) : 0u); }
