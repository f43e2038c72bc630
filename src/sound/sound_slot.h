// SoundSlot: one loaded sound with one to four voices, copies of the same
// sound buffer, so that the sound can overlap itself up to four times. The
// engine keeps 4,096 of them; a SoundChannel names one voice of one slot as
// slot × 256 + voice.
// Depends on SoundDevice and the platform's sound buffers.
#pragma once
#include <cstdint>

#include "platform/audio_device.h"

class SoundDevice;
struct ReadStream;

constexpr int32_t kSoundSlotCount = 4096;
constexpr int32_t kMaxSoundVoices = 4;

// Hundredths of a decibel for a volume percent: -10,000 for 0 and below,
// else 2000 × log10(percent / 100) truncated toward zero (50 → -602); the
// percent is taken as at most 100.
int32_t volumePercentToHundredthsDb(int32_t percent);

class SoundSlot {
public:
    int32_t voiceCount;    // 1..4 for a loaded sound; below 1 a free slot
    int32_t currentVoice;  // the voice that plays next, 0 .. voiceCount - 1
    const char* fileName;  // the name being loaded; null outside a load
    SoundDevice* device;   // the device the voices were made on
    platform::AudioBuffer* voices[kMaxSoundVoices];  // voice 0 from the file, the rest duplicates

    SoundSlot();
    ~SoundSlot();
    SoundSlot(const SoundSlot&) = delete;
    SoundSlot& operator=(const SoundSlot&) = delete;

    // Releases the slot, then loads the WAV file or "mem://" block `name` into
    // voice 0 and duplicates it into voices 1 .. voices - 1 (voices clamped
    // into 1..4). False without a device or when the file does not load; the
    // slot is then free.
    bool load(SoundDevice* device, const char* name, int32_t voices);
    // The voice the next play uses, or null: the current voice when it is
    // idle; when it plays, the first idle voice after it in turn, else the
    // oldest started, stopped and rewound; a one-voice
    // sound is not restarted while it plays. A lost voice is restored first
    // and rewound.
    platform::AudioBuffer* pickVoice();
    // Plays once (or as flags say) at pan -10,000..10,000 and a volume
    // percent 0..100; the voice index played, or -1.
    int32_t play(int32_t pan, int32_t volumePercent, uint32_t flags);
    // Stops and rewinds the voice; a voice outside 0 .. voiceCount - 1 stops
    // them all, ending at the first failure. False without a device or sound.
    bool stop(int32_t voice);
    bool isPlaying(int32_t voice) const;
    // Applies a volume percent 0..100 (converted as play converts it) to every voice.
    void setVolume(int32_t volumePercent);
    // Stops, rewinds and frees every voice; the slot is free.
    void release();
    // release, and forgets the file name and the device.
    void reset();

    // Makes voice 0: a static buffer of `bytes` bytes of PCM in the format
    // given, with volume and pan control, else (when the device refuses
    // that) without them. False when no such buffer can be made.
    bool createBuffer(uint32_t bytes, uint32_t samplesPerSecond, uint16_t bitsPerSample,
                      uint16_t blockAlign, bool stereo);
    // Moves the stream to `position` (unless -1), locks `bytes` of voice 0 at
    // its write cursor and reads the stream into the locked parts; true when
    // every read and the unlock succeeded.
    bool fillBuffer(ReadStream& stream, uint32_t bytes, int64_t position);
    // Sets the four voice entries to null (without releasing them).
    void clearVoices();

private:
    bool hasDevice() const;

    uint32_t playsStarted_ = 0;                    // plays started on the slot, wrapping
    uint32_t startedAt_[kMaxSoundVoices] = {};     // playsStarted_ when each voice last started
};
