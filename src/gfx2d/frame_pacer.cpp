// The frame pacer over the runtime's clock port.
#include "gfx2d/frame_pacer.h"

#include "platform/clock.h"

void FramePacer::setRate(int32_t framesPerSecond) {
    int32_t rate = framesPerSecond > 0 ? framesPerSecond : 0;
    if (rate != rate_) anchored_ = false;
    rate_ = rate;
}

void FramePacer::waitForFrameEnd() {
    if (rate_ <= 0) return;
    platform::ClockPort& clock = platform::clockPort();
    int64_t frequency = 0;
    if (!clock.counterFrequency(&frequency) || frequency <= 0) return;
    int64_t now = clock.counter();
    if (!anchored_) {
        anchored_ = true;
        anchor_ = now;
        framesSince_ = 0;
        return;
    }
    ++framesSince_;
    int64_t deadline = anchor_ + framesSince_ * frequency / rate_;
    int64_t period = frequency / rate_;
    if (now - deadline > period) {
        anchor_ = now;
        framesSince_ = 0;
        return;
    }
    int64_t remaining = deadline - now;
    int64_t remainingMillis = remaining * 1000 / frequency;
    if (remainingMillis >= 2) clock.sleepMillis(static_cast<uint32_t>(remainingMillis - 1));
    while (clock.counter() < deadline) clock.sleepMillis(0);
    // Keep the products small over long runs: re-anchor on whole seconds.
    if (framesSince_ >= rate_) {
        anchor_ += framesSince_ / rate_ * frequency;
        framesSince_ %= rate_;
    }
}
