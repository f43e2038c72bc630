// Frame pacing: holds the frame ends to a fixed rate on the monotonic clock
// (platform/clock.h). The schedule is anchored at a frame end and advances by
// exactly 1/rate per frame, so the average rate is the set rate and not one
// rounded to whole milliseconds. Waiting is a sleep for all but the last
// millisecond, then short yields until the deadline. A frame that ends more
// than one period late starts a new schedule instead of hurrying to catch up.
#pragma once
#include <cstdint>

class FramePacer {
public:
    // Frames per second; 0 or less turns pacing off.
    void setRate(int32_t framesPerSecond);
    int32_t rate() const { return rate_; }
    // Waits until the current frame may end (call right before showing it).
    void waitForFrameEnd();
    // Forgets the schedule; the next frame end anchors a new one without waiting.
    void restart() { anchored_ = false; }

private:
    int32_t rate_ = 0;
    bool anchored_ = false;
    int64_t anchor_ = 0;      // clock counts at the anchoring frame end
    int64_t framesSince_ = 0; // frame ends since the anchor
};
