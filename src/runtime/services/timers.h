// The runtime's clock in milliseconds, the frame-time delta and sleeping.
// Readings come from the platform clock's counter when there is one, else
// from its tick count.
#pragma once
#include <cstdint>

extern int32_t performanceCounterAvailable;  // set by initPerformanceTimer
extern double performanceFrequency;          // counter counts per second
extern double timerStart;        // reading of the first timer call; 0.0: none taken yet
extern double activeTimeOffset;  // elapsedMillis() taken by the engine start-up
extern double frameTimeNow;      // elapsedMillis() at the latest frame end
extern double frameTimePrevious; // ... and at the one before

// Reads the counter's rate once, before the first timer call.
void initPerformanceTimer();
// Milliseconds since the first call (which returns 0 with the counter).
double elapsedMillis();
// elapsedMillis() - activeTimeOffset.
double activeMillis();
// frameTimeNow - frameTimePrevious when above 0, else 1.0.
double frameTimeDelta();
// The frame end's bookkeeping: the previous time moves back, a fresh reading
// becomes the current one.
void advanceFrameTimes();
// Sleeps ms milliseconds; a negative time sleeps 0.
void SleepMillis(int32_t ms);
