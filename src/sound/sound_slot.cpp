// SoundSlot: loading into voices, voice picking, play, stop, status and
// release. Depends on SoundDevice, the WAV reader and the platform's buffers.
//
// Deliberate departures in voice picking: a voice that is free (stopped on
// its own) is taken before a playing one is cut off, and with every voice
// busy the oldest started is cut off, also after a voice was taken out of
// turn; a voice restored after a lost output starts from the beginning
// rather than where the loss cut it off.
#include "sound/sound_slot.h"

#include <algorithm>
#include <cmath>

#include "runtime/files/read_stream.h"
#include "sound/sound_device.h"
#include "sound/wave_loader.h"

using namespace platform;

int32_t volumePercentToHundredthsDb(int32_t percent) {
    if (percent <= 0) return kVolumeMin;
    percent = std::min(percent, 100);
    // log10(percent) - 2 rather than log10(percent / 100): whole powers of ten
    // then come out exact (10 → -2000, 1 → -4000).
    return static_cast<int32_t>(2000.0 * (std::log10(static_cast<double>(percent)) - 2.0));
}

SoundSlot::SoundSlot() : voiceCount(0), currentVoice(0), fileName(nullptr), device(nullptr) {
    clearVoices();
}

SoundSlot::~SoundSlot() { release(); }

void SoundSlot::clearVoices() {
    for (AudioBuffer*& voice : voices) voice = nullptr;
}

bool SoundSlot::hasDevice() const { return device != nullptr && device->device != nullptr; }

void SoundSlot::release() {
    for (AudioBuffer*& voice : voices) {
        if (voice == nullptr) continue;
        voice->stop();
        voice->setCurrentPosition(0);
        voice->release();
        voice = nullptr;
    }
    voiceCount = 0;
    currentVoice = 0;
}

void SoundSlot::reset() {
    release();
    fileName = nullptr;
    device = nullptr;
}

bool SoundSlot::load(SoundDevice* holder, const char* name, int32_t voices) {
    release();
    currentVoice = 0;
    device = holder;
    voices = std::clamp(voices, 1, kMaxSoundVoices);
    if (!hasDevice()) {
        voiceCount = 0;
        return false;
    }
    voiceCount = voices;
    fileName = name;
    const bool loaded = loadWaveIntoBuffer(*this);
    fileName = nullptr;
    if (!loaded) {
        release();
        return false;
    }
    // A duplicate that cannot be made ends the voices there, so every voice
    // below voiceCount exists.
    for (int32_t i = 1; i < voiceCount; ++i) {
        if (!succeeded(device->device->duplicateSoundBuffer(this->voices[0], &this->voices[i]))) {
            this->voices[i] = nullptr;
            voiceCount = i;
            break;
        }
    }
    return true;
}

namespace {
uint32_t statusOf(AudioBuffer* buffer) {
    uint32_t status = 0;
    if (!succeeded(buffer->getStatus(&status))) status = 0;
    return status;
}
}  // namespace

AudioBuffer* SoundSlot::pickVoice() {
    if (voiceCount < 1 || currentVoice < 0 || currentVoice >= voiceCount) return nullptr;
    AudioBuffer* voice = voices[currentVoice];
    if (voice == nullptr) return nullptr;
    uint32_t status = statusOf(voice);
    if (status & kStatusPlaying) {
        if (voiceCount < 2) return nullptr;
        // A voice stopped on its own is free before its turn comes, and is
        // taken rather than cutting off one that still plays; with every
        // voice busy the oldest started is cut off (the next in turn, unless
        // a voice was taken out of turn before).
        int32_t next = -1;
        int32_t oldest = -1;
        for (int32_t ahead = 1; ahead < voiceCount && next < 0; ++ahead) {
            const int32_t candidate = (currentVoice + ahead) % voiceCount;
            if (voices[candidate] == nullptr) continue;
            if (!(statusOf(voices[candidate]) & kStatusPlaying)) {
                next = candidate;
            } else if (oldest < 0 || static_cast<int32_t>(startedAt_[candidate] - startedAt_[oldest]) < 0) {
                oldest = candidate;
            }
        }
        if (next < 0) next = oldest >= 0 ? oldest : (currentVoice + 1) % voiceCount;
        currentVoice = next;
        voice = voices[currentVoice];
        if (voice == nullptr) return nullptr;
        status = statusOf(voice);
        if (status & kStatusPlaying) {
            voice->stop();
            voice->setCurrentPosition(0);
        }
    }
    if (status & kStatusBufferLost) {
        if (!succeeded(voice->restore())) return nullptr;
        // A play that the lost output cut off stands where it was cut; the
        // new play starts the sound from its beginning.
        voice->setCurrentPosition(0);
    }
    return voice;
}

int32_t SoundSlot::play(int32_t pan, int32_t volumePercent, uint32_t flags) {
    if (!hasDevice() || voiceCount < 1) return -1;
    AudioBuffer* voice = pickVoice();
    if (voice == nullptr) return -1;
    // A voice made without volume or pan control refuses these and plays at
    // its recorded level, centred.
    voice->setVolume(volumePercentToHundredthsDb(volumePercent));
    voice->setPan(pan);
    if (!succeeded(voice->play(0, 0, flags))) return -1;
    startedAt_[currentVoice] = ++playsStarted_;
    return currentVoice;
}

bool SoundSlot::stop(int32_t voice) {
    if (!hasDevice() || voiceCount < 1) return false;
    const bool all = voice < 0 || voice >= voiceCount;
    const int32_t first = all ? 0 : voice;
    const int32_t last = all ? voiceCount - 1 : voice;
    for (int32_t i = first; i <= last; ++i) {
        AudioBuffer* buffer = voices[i];
        if (buffer == nullptr) return false;
        if (!succeeded(buffer->stop()) || !succeeded(buffer->setCurrentPosition(0))) return false;
    }
    return true;
}

bool SoundSlot::isPlaying(int32_t voice) const {
    if (voice < 0 || voice >= voiceCount || voices[voice] == nullptr) return false;
    return (statusOf(voices[voice]) & kStatusPlaying) != 0;
}

void SoundSlot::setVolume(int32_t volumePercent) {
    const int32_t hundredthsDb = volumePercentToHundredthsDb(volumePercent);
    for (AudioBuffer* voice : voices) {
        if (voice != nullptr) voice->setVolume(hundredthsDb);
    }
}

bool SoundSlot::createBuffer(uint32_t bytes, uint32_t samplesPerSecond, uint16_t bitsPerSample,
                             uint16_t blockAlign, bool stereo) {
    if (!hasDevice()) return false;
    if (voices[0] != nullptr) {
        voices[0]->release();
        voices[0] = nullptr;
    }
    const AudioWaveFormat format{kWaveFormatPcm,
                                 static_cast<uint16_t>(stereo ? 2 : 1),
                                 samplesPerSecond,
                                 samplesPerSecond * blockAlign,
                                 blockAlign,
                                 bitsPerSample,
                                 0};
    AudioBufferDesc desc{kBufferDescVersion,
                         kBufferStatic | kBufferCtrlPan | kBufferCtrlVolume | kBufferGetCurrentPosition2,
                         bytes, &format};
    if (succeeded(device->device->createSoundBuffer(&desc, &voices[0]))) return true;
    desc.flags = kBufferStatic | kBufferGetCurrentPosition2;
    return succeeded(device->device->createSoundBuffer(&desc, &voices[0]));
}

bool SoundSlot::fillBuffer(ReadStream& stream, uint32_t bytes, int64_t position) {
    if (voices[0] == nullptr) return false;
    if (position != -1) {
        if (position < 0 || position > stream.size) return false;
        readStreamSeek(stream, position);
    }
    void* part1 = nullptr;
    void* part2 = nullptr;
    uint32_t bytes1 = 0;
    uint32_t bytes2 = 0;
    if (!succeeded(voices[0]->lock(0, bytes, &part1, &bytes1, &part2, &bytes2, kLockFromWriteCursor))) {
        return false;
    }
    bool read = true;
    if (bytes1 > 0) read = readStreamRead(stream, static_cast<uint8_t*>(part1), static_cast<int32_t>(bytes1));
    if (read && bytes2 > 0) {
        read = readStreamRead(stream, static_cast<uint8_t*>(part2), static_cast<int32_t>(bytes2));
    }
    // Unlocked also after a failed read, so the buffer is never left locked.
    const bool unlocked = succeeded(voices[0]->unlock(part1, bytes1, part2, bytes2));
    return read && unlocked;
}
