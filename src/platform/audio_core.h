// The state that the sound device and all its buffers share, kept alive by
// the device and by every buffer (a buffer may outlive the device's release,
// silent and lost). Internal to the audio stand-in.
#pragma once
#include <atomic>
#include <memory>
#include <mutex>

#include "platform/audio_device.h"
#include "platform/audio_mixer.h"
#include "platform/audio_output.h"
#include "platform/audio_voice.h"

namespace platform {

struct AudioCore {
    AudioMixer mixer;  // its lock guards every field below except refs and output
    std::unique_ptr<AudioOutput> output;
    std::mutex outputLock;  // orders opening and closing the output; taken before the mixer's lock
    std::atomic<int> refs{0};

    bool closed = false;        // the device was released: every buffer is lost for good
    bool lossNoticed = false;   // the output went away and is not yet opened again
    uint32_t generation = 0;    // grows at every loss; a voice of an older one is lost
    CooperativeLevel level = static_cast<CooperativeLevel>(0);  // none set yet
    const void* window = nullptr;
    AudioWaveFormat primaryFormat{};

    void addRef();
    void releaseRef();  // the last reference deletes the core
    // With the mixer's lock held: notices an unplugged output once.
    void noticeLoss();
    bool isLost(const AudioVoice& voice);
    // Takes the locks itself.
    AudioResult restore(AudioVoice& voice);
    AudioResult setPrimaryFormat(const AudioWaveFormat& format);
    // A new buffer over `voice` (null: the primary buffer) into *out; the
    // buffer holds a reference on the core and owns the voice. OutOfMemory
    // leaves *out as it was.
    AudioResult handOutBuffer(std::unique_ptr<AudioVoice> voice, AudioBuffer** out);
};

bool isPlayablePcm(const AudioWaveFormat& format);
AudioOutputFormat outputFormatOf(const AudioWaveFormat& format);

}  // namespace platform
