// The software mixer of the sound device: sums the playing voices into the
// output format (8-bit unsigned or 16-bit signed, mono or stereo, any rate),
// resampling each voice from its own rate by linear interpolation and
// clamping the sum. The output's thread calls mix(); tests call it directly
// with no thread at all.
//
// Rules that hold: at equal rates and full volume a voice's samples arrive
// unchanged; 8-bit samples are centred on 128; a one-shot voice that mixed
// its last frame stops and rewinds to frame 0 in the same call.
#pragma once
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/audio_output.h"

namespace platform {

struct AudioVoice;

class AudioMixer {
public:
    AudioMixer();

    // Writes `frames` frames of the output format to out: the playing voices
    // summed, or silence (0, or 128 for 8-bit) when none plays. Takes the lock.
    void mix(void* out, uint32_t frames);
    // The same for an output that counts bytes: as many whole frames of the
    // mixer's format as fit, then silence to the end, so a stream of any
    // size is filled exactly (the output's thread uses this).
    void mixBytes(void* out, uint32_t bytes);

    // The lock that guards every voice; the device holds it while it changes one.
    std::mutex& lock() { return lock_; }

    // With the lock held:
    void setOutputFormat(const AudioOutputFormat& format);
    const AudioOutputFormat& outputFormat() const { return format_; }
    uint32_t outputBlockAlign() const { return format_.channels * (format_.bits / 8); }
    void startVoice(AudioVoice* voice);  // joins the playing voices (once)
    void stopVoice(AudioVoice* voice);   // leaves them; state otherwise unchanged
    void stopAll();                      // every voice leaves, marked not playing
    size_t playingVoices() const { return voices_.size(); }

private:
    static constexpr uint32_t kChunkFrames = 256;
    // false when the voice finished (stopped and rewound).
    bool mixVoice(AudioVoice& voice, float* sum, uint32_t frames);
    void mixLocked(uint8_t* out, uint32_t frames);
    void removeAt(size_t index);
    void writeOutput(const float* sum, uint32_t frames, uint8_t* out) const;

    std::mutex lock_;
    AudioOutputFormat format_;
    std::vector<AudioVoice*> voices_;
    float sum_[kChunkFrames * 2];
};

}  // namespace platform
