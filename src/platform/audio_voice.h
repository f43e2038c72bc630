// The state of one secondary sound buffer as the mixer sees it: the shared
// samples, the format, the position and the gains. Shared by the device
// (which changes it under the mixer's lock) and the mixer (which reads and
// advances it under the same lock). Internal to the audio stand-in.
#pragma once
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

// Samples shared by a buffer and its duplicates; freed with the last of them.
using AudioSamples = std::shared_ptr<std::vector<uint8_t>>;

struct AudioVoice {
    AudioSamples samples;
    uint8_t* data = nullptr;  // samples->data()
    uint32_t bytes = 0;       // buffer size in bytes
    uint32_t frames = 0;      // whole frames in it (a trailing partial frame never plays)
    uint32_t rate = 0;        // frames per second of the samples
    uint16_t channels = 0;    // 1 or 2
    uint16_t bits = 0;        // 8 or 16
    uint16_t blockAlign = 0;  // bytes per frame
    uint32_t flags = 0;       // the kBuffer* flags it was made with

    uint64_t position = 0;  // frames, 32.32 fixed point
    bool playing = false;
    bool looping = false;
    int32_t volume = 0;  // hundredths of a decibel, -10,000 .. 0
    int32_t pan = 0;     // -10,000 (left) .. 10,000 (right)
    // Amplitude factors derived from volume and pan (stereo output uses
    // left and right, mono output only the volume).
    float gainLeft = 1.0f;
    float gainRight = 1.0f;
    float gainVolume = 1.0f;

    uint32_t generation = 0;  // the device's output generation it was made or restored in

    bool locked = false;  // one outstanding lock region
    uint32_t lockOffset = 0;
    uint32_t lockBytes = 0;

    size_t mixIndex = kNotMixing;  // place in the mixer's list of playing voices
    static constexpr size_t kNotMixing = ~size_t{0};
};

// 10^(v / 2000) for v in hundredths of a decibel; -10,000 and below is silence.
inline float gainFromHundredthsDb(int32_t hundredthsDb) {
    if (hundredthsDb <= -10000) return 0.0f;
    if (hundredthsDb >= 0) return 1.0f;
    return static_cast<float>(std::pow(10.0, hundredthsDb / 2000.0));
}

// Recomputes the voice's gains after a change of volume or pan: pan lowers
// only the opposite channel, by the same decibel rule.
inline void updateVoiceGains(AudioVoice& voice) {
    voice.gainVolume = gainFromHundredthsDb(voice.volume);
    float left = voice.pan > 0 ? gainFromHundredthsDb(-voice.pan) : 1.0f;
    float right = voice.pan < 0 ? gainFromHundredthsDb(voice.pan) : 1.0f;
    voice.gainLeft = voice.gainVolume * left;
    voice.gainRight = voice.gainVolume * right;
}

}  // namespace platform
