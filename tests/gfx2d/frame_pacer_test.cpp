// Frame pacing on a clock that moves a little with every reading, so the
// pacer's waits end as they would on a real clock, but exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "gfx2d/frame_pacer.h"
#include "platform/clock.h"

namespace {

// 10,000,000 counts per second; every reading advances 5 us (a yield's worth),
// every sleep advances the time asked.
class SteppingClock : public platform::ClockPort {
public:
    bool counterFrequency(int64_t* countsPerSecond) override {
        *countsPerSecond = 10'000'000;
        return true;
    }
    int64_t counter() override { return counts += 50; }
    uint32_t tickMillis() override { return static_cast<uint32_t>(counts / 10'000); }
    void sleepMillis(uint32_t ms) override {
        sleeps.push_back(ms);
        counts += static_cast<int64_t>(ms) * 10'000;
    }
    int64_t counts = 1'000'000;
    std::vector<uint32_t> sleeps;
};

TEST(FramePacer, HoldsSixtyFramesPerSecondExactlyOnAverage) {
    SteppingClock clock;
    platform::ScopedClockPort use(clock);
    FramePacer pacer;
    pacer.setRate(60);
    std::vector<int64_t> ends;
    for (int frame = 0; frame <= 300; ++frame) {
        clock.counts += 20'000;  // 2 ms of work
        pacer.waitForFrameEnd();
        ends.push_back(clock.counts);
    }
    double sum = 0, sumSquares = 0;
    for (size_t i = 1; i < ends.size(); ++i) {
        double ms = (ends[i] - ends[i - 1]) / 10'000.0;
        sum += ms;
        sumSquares += ms * ms;
    }
    double mean = sum / 300, deviation = std::sqrt(sumSquares / 300 - mean * mean);
    EXPECT_NEAR(mean, 1000.0 / 60.0, 0.001);
    EXPECT_LT(deviation, 0.02);
    // Each wait sleeps all but the last millisecond: 16.67 - 2 ms of work leaves a 13 ms sleep.
    ASSERT_FALSE(clock.sleeps.empty());
    EXPECT_EQ(clock.sleeps[0], 13u);
}

TEST(FramePacer, TheFirstFrameAnchorsWithoutWaiting) {
    SteppingClock clock;
    platform::ScopedClockPort use(clock);
    FramePacer pacer;
    pacer.setRate(60);
    int64_t before = clock.counts;
    pacer.waitForFrameEnd();
    EXPECT_LT(clock.counts - before, 1'000);
    EXPECT_TRUE(clock.sleeps.empty());
}

TEST(FramePacer, AFrameLateByMoreThanAPeriodStartsANewSchedule) {
    SteppingClock clock;
    platform::ScopedClockPort use(clock);
    FramePacer pacer;
    pacer.setRate(50);  // 20 ms
    pacer.waitForFrameEnd();
    clock.counts += 500'000;  // 50 ms of work
    int64_t before = clock.counts;
    pacer.waitForFrameEnd();  // no hurry to catch up, no wait
    EXPECT_LT(clock.counts - before, 1'000);
    clock.counts += 10'000;  // 1 ms of work
    pacer.waitForFrameEnd();
    EXPECT_NEAR((clock.counts - before) / 10'000.0, 20.0, 0.01);
}

TEST(FramePacer, ALateFrameWithinAPeriodIsMadeUpByTheNext) {
    SteppingClock clock;
    platform::ScopedClockPort use(clock);
    FramePacer pacer;
    pacer.setRate(50);
    pacer.waitForFrameEnd();
    int64_t anchor = clock.counts;
    clock.counts += 250'000;  // 25 ms: 5 ms late
    pacer.waitForFrameEnd();
    clock.counts += 10'000;
    pacer.waitForFrameEnd();  // ends on the 40 ms deadline
    EXPECT_NEAR((clock.counts - anchor) / 10'000.0, 40.0, 0.01);
}

TEST(FramePacer, RateZeroOrBelowDoesNotWait) {
    SteppingClock clock;
    platform::ScopedClockPort use(clock);
    FramePacer pacer;
    for (int rate : {0, -5}) {
        pacer.setRate(rate);
        EXPECT_EQ(pacer.rate(), 0);
        int64_t before = clock.counts;
        for (int i = 0; i < 10; ++i) pacer.waitForFrameEnd();
        EXPECT_EQ(clock.counts, before);
    }
    EXPECT_TRUE(clock.sleeps.empty());
}

TEST(FramePacer, AMachineWithoutCounterIsNotPaced) {
    platform::ManualClock clock;
    clock.setHasCounter(false);
    platform::ScopedClockPort use(clock);
    FramePacer pacer;
    pacer.setRate(60);
    for (int i = 0; i < 3; ++i) pacer.waitForFrameEnd();
    EXPECT_TRUE(clock.sleeps().empty());
}

TEST(FramePacer, LongRunsKeepTheirSchedule) {
    SteppingClock clock;
    platform::ScopedClockPort use(clock);
    FramePacer pacer;
    pacer.setRate(60);
    pacer.waitForFrameEnd();
    int64_t anchor = clock.counts;
    for (int frame = 0; frame < 3600; ++frame) pacer.waitForFrameEnd();  // a minute
    EXPECT_NEAR((clock.counts - anchor) / 10'000'000.0, 60.0, 0.0001);
}

}  // namespace
