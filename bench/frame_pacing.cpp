// Frame pacing benchmark: starts the engine headless (offscreen window on
// software OpenGL unless a video driver is named), ends 300 frames at the
// 60-per-second limit, and reports the mean interval between frame ends and
// its standard deviation, then the same for 300 frames with a 5 ms load.
// It is also the smallest program on the runtime.
#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/clock.h"
#include "shell/frame_end.h"
#include "support/bench_program.h"

namespace {

constexpr int kFrames = 300;

// Frame-end intervals in milliseconds over kFrames frames, each with
// `loadMillis` of busy work before its end.
void measure(const char* label, double loadMillis) {
    platform::ClockPort& clock = platform::clockPort();
    int64_t frequency = 1;
    clock.counterFrequency(&frequency);
    EndFrame();  // anchors the schedule
    std::vector<double> intervals;
    int64_t previous = clock.counter();
    for (int i = 0; i < kFrames; ++i) {
        int64_t busyUntil = clock.counter() + static_cast<int64_t>(loadMillis * frequency / 1000.0);
        while (clock.counter() < busyUntil) {
        }
        EndFrame();
        int64_t now = clock.counter();
        intervals.push_back((now - previous) * 1000.0 / frequency);
        previous = now;
    }
    double sum = 0, worst = 0;
    for (double v : intervals) {
        sum += v;
        worst = std::fmax(worst, v);
    }
    double mean = sum / kFrames, squares = 0;
    for (double v : intervals) squares += (v - mean) * (v - mean);
    double deviation = std::sqrt(squares / kFrames);
    std::printf("%-22s frames %d  mean %.4f ms (%.3f fps)  deviation %.4f ms  longest %.3f ms\n", label, kFrames,
                mean, 1000.0 / mean, deviation, worst);
}

}  // namespace

int main() {
    if (!bench::startHeadlessEngine("Frame_Pacing", 60)) return 1;
    std::printf("frame pacing at 60 frames per second (target 16.6667 ms)\n");
    measure("idle frames", 0.0);
    measure("frames with 5 ms work", 5.0);
    bench::endProgram();
}
