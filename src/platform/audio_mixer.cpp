// The software mixer: sums the playing voices of the sound device into the
// output format. Depends on the voice record (audio_voice.h) only.
#include "platform/audio_mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/audio_voice.h"

namespace platform {

namespace {

// One channel of one frame, scaled to the 16-bit range.
template <int Bits>
inline float readSample(const uint8_t* data, uint32_t offset) {
    if constexpr (Bits == 8) {
        return static_cast<float>((static_cast<int>(data[offset]) - 128) * 256);
    } else {
        int16_t value;
        std::memcpy(&value, data + offset, sizeof value);
        return static_cast<float>(value);
    }
}

// The voice's frame at fixed-point position pos, interpolated towards the
// next frame (frame 0 again for a loop; the last frame itself at the end).
template <int Bits, int Channels>
inline void readFrame(const AudioVoice& voice, uint64_t pos, float* left, float* right) {
    const uint32_t index = static_cast<uint32_t>(pos >> 32);
    const uint32_t frac = static_cast<uint32_t>(pos);
    const uint32_t align = voice.blockAlign;
    constexpr uint32_t width = Bits / 8;
    float l0 = readSample<Bits>(voice.data, index * align);
    float r0 = Channels == 2 ? readSample<Bits>(voice.data, index * align + width) : l0;
    if (frac == 0) {
        *left = l0;
        *right = r0;
        return;
    }
    uint32_t next = index + 1;
    if (next >= voice.frames) next = voice.looping ? 0 : index;
    float l1 = readSample<Bits>(voice.data, next * align);
    float r1 = Channels == 2 ? readSample<Bits>(voice.data, next * align + width) : l1;
    const float t = static_cast<float>(frac) * (1.0f / 4294967296.0f);
    *left = l0 + (l1 - l0) * t;
    *right = r0 + (r1 - r0) * t;
}

// Adds `frames` output frames of the voice to sum; false when a one-shot
// voice played its last frame (it is then stopped and rewound).
template <int Bits, int Channels, int OutChannels>
bool mixFrames(AudioVoice& voice, float* sum, uint32_t frames, uint64_t step) {
    const uint64_t end = static_cast<uint64_t>(voice.frames) << 32;
    uint64_t pos = voice.position;
    if (pos >= end) pos = voice.looping ? pos % end : end;
    const float gainLeft = voice.gainLeft;
    const float gainRight = voice.gainRight;
    const float gainVolume = voice.gainVolume;
    for (uint32_t i = 0; i < frames; ++i) {
        if (pos >= end) {
            voice.playing = false;
            voice.position = 0;
            return false;
        }
        float left, right;
        readFrame<Bits, Channels>(voice, pos, &left, &right);
        if constexpr (OutChannels == 2) {
            sum[2 * i] += left * gainLeft;
            sum[2 * i + 1] += right * gainRight;
        } else if constexpr (Channels == 2) {
            sum[i] += (left + right) * 0.5f * gainVolume;
        } else {
            sum[i] += left * gainVolume;
        }
        pos += step;
        if (pos >= end && voice.looping) pos %= end;
    }
    if (pos >= end) {  // the last frame went out with this call
        voice.playing = false;
        voice.position = 0;
        return false;
    }
    voice.position = pos;
    return true;
}

using MixFunction = bool (*)(AudioVoice&, float*, uint32_t, uint64_t);

// Indexed [bits 16?][stereo source?][stereo output?].
constexpr MixFunction kMixFunctions[2][2][2] = {
    {{mixFrames<8, 1, 1>, mixFrames<8, 1, 2>}, {mixFrames<8, 2, 1>, mixFrames<8, 2, 2>}},
    {{mixFrames<16, 1, 1>, mixFrames<16, 1, 2>}, {mixFrames<16, 2, 1>, mixFrames<16, 2, 2>}},
};

inline int16_t clampToInt16(float value) {
    if (!(value > -32768.0f)) return -32768;  // also NaN
    if (value >= 32767.0f) return 32767;
    return static_cast<int16_t>(std::lrintf(value));
}

}  // namespace

AudioMixer::AudioMixer() : format_{22050, 2, 8} { voices_.reserve(64); }

void AudioMixer::setOutputFormat(const AudioOutputFormat& format) { format_ = format; }

void AudioMixer::startVoice(AudioVoice* voice) {
    if (voice->mixIndex != AudioVoice::kNotMixing) return;
    voice->mixIndex = voices_.size();
    voices_.push_back(voice);
}

void AudioMixer::stopVoice(AudioVoice* voice) {
    if (voice->mixIndex == AudioVoice::kNotMixing) return;
    removeAt(voice->mixIndex);
}

void AudioMixer::stopAll() {
    for (AudioVoice* voice : voices_) {
        voice->playing = false;
        voice->mixIndex = AudioVoice::kNotMixing;
    }
    voices_.clear();
}

void AudioMixer::removeAt(size_t index) {
    voices_[index]->mixIndex = AudioVoice::kNotMixing;
    if (index + 1 != voices_.size()) {
        voices_[index] = voices_.back();
        voices_[index]->mixIndex = index;
    }
    voices_.pop_back();
}

bool AudioMixer::mixVoice(AudioVoice& voice, float* sum, uint32_t frames) {
    if (voice.frames == 0 || format_.rate == 0) {
        voice.playing = false;
        voice.position = 0;
        return false;
    }
    const uint64_t step = (static_cast<uint64_t>(voice.rate) << 32) / format_.rate;
    MixFunction mixer = kMixFunctions[voice.bits == 16][voice.channels == 2][format_.channels == 2];
    return mixer(voice, sum, frames, step);
}

void AudioMixer::writeOutput(const float* sum, uint32_t frames, uint8_t* out) const {
    const uint32_t samples = frames * format_.channels;
    if (format_.bits == 16) {
        for (uint32_t i = 0; i < samples; ++i) {
            int16_t value = clampToInt16(sum[i]);
            std::memcpy(out + 2 * i, &value, sizeof value);
        }
    } else {
        for (uint32_t i = 0; i < samples; ++i) {
            out[i] = static_cast<uint8_t>((clampToInt16(sum[i]) >> 8) + 128);
        }
    }
}

void AudioMixer::mix(void* out, uint32_t frames) {
    std::lock_guard<std::mutex> guard(lock_);
    mixLocked(static_cast<uint8_t*>(out), frames);
}

void AudioMixer::mixBytes(void* out, uint32_t bytes) {
    std::lock_guard<std::mutex> guard(lock_);
    const uint32_t align = outputBlockAlign();
    const uint32_t frames = bytes / align;
    uint8_t* dest = static_cast<uint8_t*>(out);
    mixLocked(dest, frames);
    std::memset(dest + frames * align, format_.bits == 8 ? 128 : 0, bytes - frames * align);
}

void AudioMixer::mixLocked(uint8_t* dest, uint32_t frames) {
    const uint32_t channels = format_.channels;
    const uint32_t align = outputBlockAlign();
    while (frames > 0) {
        const uint32_t chunk = std::min(frames, kChunkFrames);
        std::fill(sum_, sum_ + chunk * channels, 0.0f);
        for (size_t i = 0; i < voices_.size();) {
            if (mixVoice(*voices_[i], sum_, chunk)) {
                ++i;
            } else {
                removeAt(i);
            }
        }
        writeOutput(sum_, chunk, dest);
        dest += chunk * align;
        frames -= chunk;
    }
}

}  // namespace platform
