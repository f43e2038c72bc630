// The string value's hot operations against the standard library:
// concatenation of two strings, appending numbers, and number-to-text.
// Pairs run the same work; compare each RtString line with its Std line.
#include <benchmark/benchmark.h>

#include <charconv>
#include <string>

#include "runtime/strings/rt_string.h"

namespace {

constexpr int kAppends = 64;  // numbers appended before the text starts again

void RtConcat(benchmark::State& state) {
    RtString left("Data/shol"), right("12.dat");
    for (auto _ : state) {
        RtString joined = left + right;
        benchmark::DoNotOptimize(joined.data);
    }
}
BENCHMARK(RtConcat);

void StdConcat(benchmark::State& state) {
    std::string left("Data/shol"), right("12.dat");
    for (auto _ : state) {
        std::string joined = left + right;
        benchmark::DoNotOptimize(joined.data());
    }
}
BENCHMARK(StdConcat);

void RtConcatNumber(benchmark::State& state) {
    RtString left("Data/shol");
    int level = 0;
    for (auto _ : state) {
        RtString joined = left + (level++ & 31) + ".dat";
        benchmark::DoNotOptimize(joined.data);
    }
}
BENCHMARK(RtConcatNumber);

void StdConcatNumber(benchmark::State& state) {
    std::string left("Data/shol");
    int level = 0;
    for (auto _ : state) {
        std::string joined = left + std::to_string(level++ & 31) + ".dat";
        benchmark::DoNotOptimize(joined.data());
    }
}
BENCHMARK(StdConcatNumber);

void RtAppendInt(benchmark::State& state) {
    int value = 123456;
    for (auto _ : state) {
        RtString s;
        for (int i = 0; i < kAppends; ++i) s += value + i;
        benchmark::DoNotOptimize(s.data);
    }
    state.SetItemsProcessed(state.iterations() * kAppends);
}
BENCHMARK(RtAppendInt);

void StdAppendInt(benchmark::State& state) {
    int value = 123456;
    for (auto _ : state) {
        std::string s;
        for (int i = 0; i < kAppends; ++i) {
            char text[16];
            auto end = std::to_chars(text, text + sizeof text, value + i).ptr;
            s.append(text, end);
        }
        benchmark::DoNotOptimize(s.data());
    }
    state.SetItemsProcessed(state.iterations() * kAppends);
}
BENCHMARK(StdAppendInt);

void RtAppendDouble(benchmark::State& state) {
    double value = 3.14159;
    for (auto _ : state) {
        RtString s;
        for (int i = 0; i < kAppends; ++i) s += value * i;
        benchmark::DoNotOptimize(s.data);
    }
    state.SetItemsProcessed(state.iterations() * kAppends);
}
BENCHMARK(RtAppendDouble);

void StdAppendDouble(benchmark::State& state) {
    double value = 3.14159;
    for (auto _ : state) {
        std::string s;
        for (int i = 0; i < kAppends; ++i) {
            char text[32];
            auto end = std::to_chars(text, text + sizeof text, value * i,
                                     std::chars_format::general, 10).ptr;
            s.append(text, end);
        }
        benchmark::DoNotOptimize(s.data());
    }
    state.SetItemsProcessed(state.iterations() * kAppends);
}
BENCHMARK(StdAppendDouble);

void RtIntToText(benchmark::State& state) {
    int value = -1234567;
    for (auto _ : state) {
        RtString s(value++);
        benchmark::DoNotOptimize(s.data);
    }
}
BENCHMARK(RtIntToText);

void StdIntToText(benchmark::State& state) {
    int value = -1234567;
    for (auto _ : state) {
        char text[16];
        auto end = std::to_chars(text, text + sizeof text, value++).ptr;
        benchmark::DoNotOptimize(end);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(StdIntToText);

// Values of few digits (0.25 steps), as game code mostly prints, and values
// that need all ten digits.
template <bool kLong>
void RtDoubleToText(benchmark::State& state) {
    double value = kLong ? 0.123456789 : 0.25;
    for (auto _ : state) {
        RtString s(value);
        value += kLong ? 1.0 : 0.25;
        benchmark::DoNotOptimize(s.data);
    }
}
BENCHMARK(RtDoubleToText<false>);
BENCHMARK(RtDoubleToText<true>);

template <bool kLong>
void StdDoubleToText(benchmark::State& state) {
    double value = kLong ? 0.123456789 : 0.25;
    for (auto _ : state) {
        char text[32];
        auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 10).ptr;
        value += kLong ? 1.0 : 0.25;
        benchmark::DoNotOptimize(end);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(StdDoubleToText<false>);
BENCHMARK(StdDoubleToText<true>);

}  // namespace

BENCHMARK_MAIN();
