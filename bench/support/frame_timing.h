// Wall-clock timing of whole rendered frames for the drawing benchmarks, on
// the standard library's steady clock: the same clock for every renderer
// compared, the engine's included.
#pragma once
#include <chrono>

namespace bench {

// Milliseconds per call of `frame`, averaged over `repeats` calls after one
// untimed call (textures resident, buffers grown).
template <class Frame>
double millisPerFrame(int repeats, Frame frame) {
    frame();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < repeats; ++i) frame();
    const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / repeats;
}

}  // namespace bench
