// The real clock over CLOCK_MONOTONIC, and the manual clock for tests.
#include "platform/clock.h"

#include <cerrno>
#include <ctime>

namespace platform {

namespace {

class MonotonicClock final : public ClockPort {
public:
    bool counterFrequency(int64_t* countsPerSecond) override {
        *countsPerSecond = ManualClock::kCountsPerSecond;
        return true;
    }

    int64_t counter() override {
        timespec now = read();
        return static_cast<int64_t>(now.tv_sec) * 10'000'000 + now.tv_nsec / 100;
    }

    uint32_t tickMillis() override {
        timespec now = read();
        uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1'000'000u;
        return static_cast<uint32_t>(ms);
    }

    void sleepMillis(uint32_t ms) override {
        timespec wanted{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1'000'000L};
        timespec left{};
        while (nanosleep(&wanted, &left) != 0 && errno == EINTR) wanted = left;
    }

private:
    static timespec read() {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        return now;
    }
};

MonotonicClock monotonicClock;
ClockPort* current = &monotonicClock;

}  // namespace

ClockPort& clockPort() { return *current; }

void setClockPort(ClockPort* port) { current = port ? port : &monotonicClock; }

bool ManualClock::counterFrequency(int64_t* countsPerSecond) {
    *countsPerSecond = hasCounter_ ? kCountsPerSecond : 0;
    return hasCounter_;
}

void ManualClock::sleepMillis(uint32_t ms) {
    sleeps_.push_back(ms);
    counts_ += static_cast<int64_t>(ms) * 10'000;
}

ScopedClockPort::ScopedClockPort(ClockPort& port) : previous_(current) { current = &port; }

ScopedClockPort::~ScopedClockPort() { current = previous_; }

}  // namespace platform
