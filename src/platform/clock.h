// The monotonic clock: the runtime's performance counter, tick count and
// sleep. All time of the runtime goes through the port in use, so frame
// pacing, timers and pause loops can run on a ManualClock in tests.
//
// The real port counts in units of 100 ns (10,000,000 per second) from the
// system's monotonic clock, so a reading times 1,000 stays inside 64 bits for
// thousands of years of uptime.
#pragma once
#include <cstdint>
#include <vector>

namespace platform {

class ClockPort {
public:
    virtual ~ClockPort() = default;
    // Counts per second of the counter; false when the machine has no counter.
    virtual bool counterFrequency(int64_t* countsPerSecond) = 0;
    virtual int64_t counter() = 0;
    // Milliseconds since an arbitrary start, wrapping at 2^32 like a tick count.
    virtual uint32_t tickMillis() = 0;
    virtual void sleepMillis(uint32_t ms) = 0;
};

// The port in use: the real one unless another was set.
ClockPort& clockPort();
// nullptr puts the real port back.
void setClockPort(ClockPort* port);

// A clock that moves only when told or when someone sleeps on it (a sleep
// advances it by the time asked and is recorded).
class ManualClock : public ClockPort {
public:
    static constexpr int64_t kCountsPerSecond = 10'000'000;

    bool counterFrequency(int64_t* countsPerSecond) override;
    int64_t counter() override { return counts_; }
    uint32_t tickMillis() override { return static_cast<uint32_t>(counts_ / 10'000); }
    void sleepMillis(uint32_t ms) override;

    void advanceMillis(double ms) { counts_ += static_cast<int64_t>(ms * 10'000.0); }
    void setCounter(int64_t counts) { counts_ = counts; }
    // With false the clock behaves like a machine without a counter.
    void setHasCounter(bool has) { hasCounter_ = has; }
    const std::vector<uint32_t>& sleeps() const { return sleeps_; }

private:
    // Starts an hour in, like a machine that has been running: a reading of
    // 0 would read as "no reading taken yet" to the runtime's timers.
    int64_t counts_ = 3600 * kCountsPerSecond;
    bool hasCounter_ = true;
    std::vector<uint32_t> sleeps_;
};

// Puts a port in place for its lifetime, then the one before it.
class ScopedClockPort {
public:
    explicit ScopedClockPort(ClockPort& port);
    ~ScopedClockPort();
    ScopedClockPort(const ScopedClockPort&) = delete;
    ScopedClockPort& operator=(const ScopedClockPort&) = delete;

private:
    ClockPort* previous_;
};

}  // namespace platform
