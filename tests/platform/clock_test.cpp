// The real monotonic clock and the manual clock.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/clock.h"

TEST(Clock, RealCounterRunsAt10MHzAndNeverGoesBack) {
    platform::ClockPort& clock = platform::clockPort();
    int64_t perSecond = 0;
    ASSERT_TRUE(clock.counterFrequency(&perSecond));
    EXPECT_EQ(perSecond, 10'000'000);
    int64_t last = clock.counter();
    EXPECT_GT(last, 0);
    for (int i = 0; i < 1000; ++i) {
        int64_t now = clock.counter();
        ASSERT_GE(now, last);
        last = now;
    }
}

TEST(Clock, RealSleepLastsAtLeastWhatWasAsked) {
    platform::ClockPort& clock = platform::clockPort();
    auto start = std::chrono::steady_clock::now();
    int64_t before = clock.counter();
    uint32_t ticksBefore = clock.tickMillis();
    clock.sleepMillis(30);
    int64_t after = clock.counter();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
    EXPECT_GE(after - before, 300'000);
    EXPECT_GE(static_cast<uint32_t>(clock.tickMillis() - ticksBefore), 29u);
    clock.sleepMillis(0);
}

TEST(Clock, NullPutsTheRealClockBack) {
    platform::ClockPort* real = &platform::clockPort();
    platform::ManualClock clock;
    platform::setClockPort(&clock);
    EXPECT_EQ(&platform::clockPort(), &clock);
    platform::setClockPort(nullptr);
    EXPECT_EQ(&platform::clockPort(), real);
}
