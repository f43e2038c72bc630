// The software mixer of the sound device: the time to mix one second of
// audio with 32 looping voices of mixed formats (8- and 16-bit, mono and
// stereo, 11,025 to 44,100 Hz, every one resampled or not, panned and turned
// down), in the engine's mix format and at 44,100 Hz. Mixed in slices of 512
// frames, as an audio callback asks for them, on the manual output (no thread).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "platform/audio_device.h"
#include "platform/audio_mixer.h"
#include "platform/audio_output.h"

using namespace platform;

namespace {

int windowStandIn;

void mixOneSecond(benchmark::State& state) {
    const uint32_t rate = static_cast<uint32_t>(state.range(0));
    setAudioOutputMaker(&makeManualAudioOutput);
    AudioDevice* device = nullptr;
    if (!succeeded(createAudioDevice(&device))) {
        state.SkipWithError("no device");
        return;
    }
    device->setCooperativeLevel(&windowStandIn, CooperativeLevel::Priority);
    AudioBufferDesc primaryDesc{kBufferDescVersion, kBufferPrimary, 0, nullptr};
    AudioBuffer* primary = nullptr;
    device->createSoundBuffer(&primaryDesc, &primary);
    const AudioWaveFormat mix{kWaveFormatPcm, 2, rate, rate * 4, 4, 16, 0};
    primary->setFormat(&mix);
    primary->release();

    const uint32_t rates[] = {11025, 22050, 44100, 16000};
    std::vector<AudioBuffer*> voices;
    for (int v = 0; v < 32; ++v) {
        const uint16_t channels = static_cast<uint16_t>(1 + v % 2);
        const uint16_t bits = static_cast<uint16_t>(v % 3 == 0 ? 8 : 16);
        const uint32_t voiceRate = rates[v % 4];
        const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
        const AudioWaveFormat format{kWaveFormatPcm, channels, voiceRate, voiceRate * align, align, bits, 0};
        const uint32_t bytes = voiceRate / 2 * align;  // half a second, looped
        AudioBufferDesc desc{kBufferDescVersion, kBufferStatic | kBufferCtrlVolume | kBufferCtrlPan, bytes, &format};
        AudioBuffer* buffer = nullptr;
        device->createSoundBuffer(&desc, &buffer);
        void* part = nullptr;
        uint32_t got = 0;
        buffer->lock(0, bytes, &part, &got, nullptr, nullptr, 0);
        auto* data = static_cast<uint8_t*>(part);
        for (uint32_t i = 0; i < got; ++i) data[i] = static_cast<uint8_t>(128 + 100 * std::sin(i * 0.05 + v));
        buffer->unlock(part, got, nullptr, 0);
        buffer->setVolume(-300 * (v % 5));
        buffer->setPan(-4000 + 250 * v);
        buffer->play(0, 0, kPlayLooping);
        voices.push_back(buffer);
    }

    std::vector<int16_t> out(512 * 2);
    for (auto _ : state) {
        for (uint32_t done = 0; done < rate; done += 512) {
            device->mixer().mix(out.data(), 512);
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["voices"] = static_cast<double>(device->mixer().playingVoices());
    // Seconds of one core that each second of audio takes.
    state.counters["cpu_per_audio_second"] = benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate |
                                                               benchmark::Counter::kInvert);
    for (AudioBuffer* buffer : voices) buffer->release();
    device->release();
}

}  // namespace

BENCHMARK(mixOneSecond)->Arg(22050)->Arg(44100)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
