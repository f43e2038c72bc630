// The millisecond clock, the frame delta and sleeping, on a manual clock.
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "runtime/services/timers.h"

// The timers' readings live for the whole process: each case starts from the
// values the program starts with.
class Timers : public ::testing::Test {
protected:
    void SetUp() override {
        performanceCounterAvailable = 0;
        performanceFrequency = 0.0;
        timerStart = 0.0;
        activeTimeOffset = 0.0;
        frameTimeNow = frameTimePrevious = 0.0;
    }
};

TEST_F(Timers, CounterPathStartsAtZeroAndFollowsTheCounter) {
    platform::ManualClock clock;
    platform::ScopedClockPort port(clock);
    initPerformanceTimer();
    EXPECT_EQ(performanceCounterAvailable, 1);
    EXPECT_EQ(performanceFrequency, 10'000'000.0);
    EXPECT_EQ(elapsedMillis(), 0.0);
    clock.advanceMillis(16.5);
    EXPECT_EQ(elapsedMillis(), 16.5);
    clock.advanceMillis(1000);
    EXPECT_EQ(elapsedMillis(), 1016.5);
}

TEST_F(Timers, TickPathWithoutACounter) {
    platform::ManualClock clock;
    clock.setHasCounter(false);
    platform::ScopedClockPort port(clock);
    initPerformanceTimer();
    EXPECT_EQ(performanceCounterAvailable, 0);
    EXPECT_EQ(elapsedMillis(), 0.0);  // two readings of a clock that stood still
    clock.advanceMillis(40.7);        // ticks count whole milliseconds
    EXPECT_EQ(elapsedMillis(), 40.0);
}

TEST_F(Timers, CounterTimesThousandWrapsInsteadOfOverflowing) {
    platform::ManualClock clock;
    platform::ScopedClockPort port(clock);
    initPerformanceTimer();
    const int64_t huge = int64_t{1} << 62;
    clock.setCounter(huge);
    EXPECT_EQ(elapsedMillis(), 0.0);
    const double start = timerStart;
    const uint64_t wrapped = static_cast<uint64_t>(huge) * 1000u;
    EXPECT_EQ(start, static_cast<double>(static_cast<int64_t>(wrapped)) / 1e7);
}

TEST_F(Timers, ActiveMillisAndFrameTimes) {
    platform::ManualClock clock;
    platform::ScopedClockPort port(clock);
    initPerformanceTimer();
    elapsedMillis();
    clock.advanceMillis(100);
    activeTimeOffset = elapsedMillis();
    clock.advanceMillis(25);
    EXPECT_EQ(activeMillis(), 25.0);

    frameTimeNow = frameTimePrevious = 0.0;
    EXPECT_EQ(frameTimeDelta(), 1.0);  // two frame ends on the same reading
    advanceFrameTimes();
    EXPECT_EQ(frameTimePrevious, 0.0);
    EXPECT_EQ(frameTimeNow, 125.0);
    clock.advanceMillis(16);
    advanceFrameTimes();
    EXPECT_EQ(frameTimeDelta(), 16.0);
    frameTimePrevious = frameTimeNow + 5;
    EXPECT_EQ(frameTimeDelta(), 1.0);  // a negative difference too
}

TEST_F(Timers, SleepGoesThroughTheClockAndNegativeSleepsZero) {
    platform::ManualClock clock;
    platform::ScopedClockPort port(clock);
    SleepMillis(20);
    SleepMillis(-5);
    SleepMillis(0);
    ASSERT_EQ(clock.sleeps().size(), 3u);
    EXPECT_EQ(clock.sleeps()[0], 20u);
    EXPECT_EQ(clock.sleeps()[1], 0u);
    EXPECT_EQ(clock.sleeps()[2], 0u);
}
