// The sound device stand-in: the device, its primary buffer, and the shared
// state (AudioCore) that the device and its buffers keep alive together.
// Secondary buffer operations live in audio_buffer.cpp. Depends on the mixer
// and the audio output contract.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "platform/audio_core.h"

namespace platform {

const char* audioResultText(AudioResult result) {
    switch (result) {
        case AudioResult::Ok: return "ok";
        case AudioResult::InvalidParam: return "invalid parameter";
        case AudioResult::OutOfMemory: return "out of memory";
        case AudioResult::NoDriver: return "no audio driver";
        case AudioResult::BufferLost: return "buffer lost";
        case AudioResult::ControlUnavailable: return "control unavailable";
        case AudioResult::InvalidCall: return "invalid call";
        case AudioResult::PriorityNeeded: return "priority level needed";
    }
    return "unknown";
}

bool isPlayablePcm(const AudioWaveFormat& format) {
    if (format.formatTag != kWaveFormatPcm) return false;
    if (format.channels != 1 && format.channels != 2) return false;
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return false;
    if (format.blockAlign != format.channels * format.bitsPerSample / 8) return false;
    if (format.samplesPerSecond < kMinSampleRate || format.samplesPerSecond > kMaxSampleRate) return false;
    return format.averageBytesPerSecond == format.samplesPerSecond * format.blockAlign;
}

AudioOutputFormat outputFormatOf(const AudioWaveFormat& format) {
    return {format.samplesPerSecond, format.channels, format.bitsPerSample};
}

// ---- AudioCore ----

void AudioCore::addRef() { refs.fetch_add(1, std::memory_order_relaxed); }

void AudioCore::releaseRef() {
    if (refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
}

void AudioCore::noticeLoss() {
    if (!closed && !lossNoticed && output && output->lost()) {
        ++generation;
        lossNoticed = true;
        mixer.stopAll();
    }
}

bool AudioCore::isLost(const AudioVoice& voice) {
    noticeLoss();
    return closed || voice.generation != generation;
}

AudioResult AudioCore::restore(AudioVoice& voice) {
    std::lock_guard<std::mutex> outputGuard(outputLock);
    {
        std::lock_guard<std::mutex> guard(mixer.lock());
        if (closed) return AudioResult::BufferLost;
        noticeLoss();
        if (!lossNoticed) {
            voice.generation = generation;
            return AudioResult::Ok;
        }
    }
    // The output went away: open it again (outside the mixer's lock, which
    // the output's thread takes while it pulls).
    output->close();
    bool reopened = output->open(outputFormatOf(primaryFormat), &mixer);
    std::lock_guard<std::mutex> guard(mixer.lock());
    if (!reopened) return AudioResult::BufferLost;
    lossNoticed = false;
    voice.generation = generation;
    return AudioResult::Ok;
}

AudioResult AudioCore::handOutBuffer(std::unique_ptr<AudioVoice> voice, AudioBuffer** out) {
    auto* buffer = new (std::nothrow) AudioBuffer();
    if (buffer == nullptr) return AudioResult::OutOfMemory;
    buffer->core_ = this;
    buffer->voice_ = voice.release();
    addRef();
    *out = buffer;
    return AudioResult::Ok;
}

AudioResult AudioCore::setPrimaryFormat(const AudioWaveFormat& format) {
    std::lock_guard<std::mutex> outputGuard(outputLock);
    if (closed) return AudioResult::BufferLost;
    if (level < CooperativeLevel::Priority) return AudioResult::PriorityNeeded;
    if (!isPlayablePcm(format)) return AudioResult::InvalidParam;
    if (std::memcmp(&format, &primaryFormat, sizeof format) == 0) return AudioResult::Ok;
    // The mixer takes the new format before the output asks for frames in it.
    output->close();
    {
        std::lock_guard<std::mutex> guard(mixer.lock());
        mixer.setOutputFormat(outputFormatOf(format));
    }
    if (output->open(outputFormatOf(format), &mixer)) {
        std::lock_guard<std::mutex> guard(mixer.lock());
        primaryFormat = format;
        primaryFormat.extraSize = 0;
        return AudioResult::Ok;
    }
    // Back to the format that worked.
    {
        std::lock_guard<std::mutex> guard(mixer.lock());
        mixer.setOutputFormat(outputFormatOf(primaryFormat));
    }
    output->open(outputFormatOf(primaryFormat), &mixer);
    return AudioResult::InvalidParam;
}

// ---- AudioDevice ----

AudioResult createAudioDevice(AudioDevice** out) {
    if (out == nullptr) return AudioResult::InvalidParam;
    *out = nullptr;
    auto* core = new (std::nothrow) AudioCore();
    if (core == nullptr) return AudioResult::OutOfMemory;
    core->refs.store(1);
    // The default primary format until the application sets its own.
    core->primaryFormat = {kWaveFormatPcm, 2, 22050, 44100, 2, 8, 0};
    core->mixer.setOutputFormat(outputFormatOf(core->primaryFormat));
    core->output = audioOutputMaker()();
    if (!core->output || !core->output->open(outputFormatOf(core->primaryFormat), &core->mixer)) {
        core->output.reset();
        core->closed = true;
        core->releaseRef();
        return AudioResult::NoDriver;
    }
    auto* device = new (std::nothrow) AudioDevice();
    if (device == nullptr) {
        core->output->close();
        core->releaseRef();
        return AudioResult::OutOfMemory;
    }
    device->core_ = core;
    *out = device;
    return AudioResult::Ok;
}

AudioResult AudioDevice::setCooperativeLevel(const void* window, CooperativeLevel level) {
    if (window == nullptr) return AudioResult::InvalidParam;
    if (level < CooperativeLevel::Normal || level > CooperativeLevel::WritePrimary) {
        return AudioResult::InvalidParam;
    }
    std::lock_guard<std::mutex> guard(core_->mixer.lock());
    core_->window = window;
    core_->level = level;
    return AudioResult::Ok;
}

AudioResult AudioDevice::getCaps(AudioDeviceCaps* caps) {
    if (caps == nullptr || caps->version != kDeviceCapsVersion) return AudioResult::InvalidParam;
    std::memset(caps, 0, sizeof *caps);
    caps->version = kDeviceCapsVersion;
    caps->flags = kCapsPrimaryMono | kCapsPrimaryStereo | kCapsPrimary8Bit | kCapsPrimary16Bit |
                  kCapsContinuousRate | kCapsSecondaryMono | kCapsSecondaryStereo |
                  kCapsSecondary8Bit | kCapsSecondary16Bit;
    caps->minSecondarySampleRate = kMinSampleRate;
    caps->maxSecondarySampleRate = kMaxSampleRate;
    caps->primaryBuffers = 1;
    return AudioResult::Ok;
}

AudioResult AudioDevice::createSoundBuffer(const AudioBufferDesc* desc, AudioBuffer** out) {
    if (out == nullptr) return AudioResult::InvalidParam;
    *out = nullptr;
    if (desc == nullptr || desc->version != kBufferDescVersion) return AudioResult::InvalidParam;
    if (desc->flags & kBufferPrimary) {
        if (desc->bufferBytes != 0 || desc->format != nullptr) return AudioResult::InvalidParam;
        return core_->handOutBuffer(nullptr, out);
    }
    if (desc->format == nullptr || !isPlayablePcm(*desc->format)) return AudioResult::InvalidParam;
    if (desc->bufferBytes < kBufferMinBytes || desc->bufferBytes > kBufferMaxBytes) {
        return AudioResult::InvalidParam;
    }
    const AudioWaveFormat& format = *desc->format;
    std::unique_ptr<AudioVoice> voice(new (std::nothrow) AudioVoice());
    if (voice == nullptr) return AudioResult::OutOfMemory;
    try {
        // A fresh buffer holds silence of its own sample width.
        voice->samples = std::make_shared<std::vector<uint8_t>>(
            desc->bufferBytes, static_cast<uint8_t>(format.bitsPerSample == 8 ? 128 : 0));
    } catch (const std::bad_alloc&) {
        return AudioResult::OutOfMemory;
    }
    voice->data = voice->samples->data();
    voice->bytes = desc->bufferBytes;
    voice->rate = format.samplesPerSecond;
    voice->channels = format.channels;
    voice->bits = format.bitsPerSample;
    voice->blockAlign = format.blockAlign;
    voice->frames = desc->bufferBytes / format.blockAlign;
    voice->flags = desc->flags;
    updateVoiceGains(*voice);
    {
        std::lock_guard<std::mutex> guard(core_->mixer.lock());
        voice->generation = core_->generation;
    }
    return core_->handOutBuffer(std::move(voice), out);
}

AudioResult AudioDevice::duplicateSoundBuffer(AudioBuffer* original, AudioBuffer** out) {
    if (out == nullptr) return AudioResult::InvalidParam;
    *out = nullptr;
    if (original == nullptr || original->core_ != core_) return AudioResult::InvalidParam;
    if (original->voice_ == nullptr) return AudioResult::InvalidCall;  // the primary buffer
    std::unique_ptr<AudioVoice> voice(new (std::nothrow) AudioVoice());
    if (voice == nullptr) return AudioResult::OutOfMemory;
    {
        std::lock_guard<std::mutex> guard(core_->mixer.lock());
        const AudioVoice& source = *original->voice_;
        voice->samples = source.samples;
        voice->data = source.data;
        voice->bytes = source.bytes;
        voice->frames = source.frames;
        voice->rate = source.rate;
        voice->channels = source.channels;
        voice->bits = source.bits;
        voice->blockAlign = source.blockAlign;
        voice->flags = source.flags;
        voice->volume = source.volume;
        voice->pan = source.pan;
        voice->generation = core_->generation;
        updateVoiceGains(*voice);
    }
    return core_->handOutBuffer(std::move(voice), out);
}

AudioMixer& AudioDevice::mixer() { return core_->mixer; }

void AudioDevice::markOutputLost() {
    std::lock_guard<std::mutex> guard(core_->mixer.lock());
    ++core_->generation;
    core_->lossNoticed = true;
    core_->mixer.stopAll();
}

void AudioDevice::release() {
    AudioCore* core = core_;
    {
        std::lock_guard<std::mutex> outputGuard(core->outputLock);
        if (core->output) core->output->close();
        std::lock_guard<std::mutex> guard(core->mixer.lock());
        core->closed = true;
        core->mixer.stopAll();
    }
    delete this;
    core->releaseRef();
}

}  // namespace platform
