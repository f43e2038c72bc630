// The sound buffers of the device stand-in: status, play and stop, position,
// volume and pan, lock and unlock, restore, the primary buffer's format and
// release. Every operation takes the mixer's lock, so the output's thread
// sees each change whole.
#include <algorithm>

#include "platform/audio_core.h"

namespace platform {

namespace {
using Guard = std::lock_guard<std::mutex>;
}  // namespace

bool AudioBuffer::isPrimary() const { return voice_ == nullptr; }

AudioResult AudioBuffer::getStatus(uint32_t* status) {
    if (status == nullptr) return AudioResult::InvalidParam;
    Guard guard(core_->mixer.lock());
    if (voice_ == nullptr) {
        *status = core_->mixer.playingVoices() > 0 ? kStatusPlaying | kStatusLooping : 0;
        return AudioResult::Ok;
    }
    if (core_->isLost(*voice_)) {
        *status = kStatusBufferLost;
        return AudioResult::Ok;
    }
    *status = 0;
    if (voice_->playing) *status |= kStatusPlaying | (voice_->looping ? kStatusLooping : 0);
    return AudioResult::Ok;
}

AudioResult AudioBuffer::play(uint32_t reserved, uint32_t priority, uint32_t flags) {
    if (reserved != 0 || priority != 0) return AudioResult::InvalidParam;
    if (voice_ == nullptr) return AudioResult::InvalidCall;
    Guard guard(core_->mixer.lock());
    if (core_->isLost(*voice_)) return AudioResult::BufferLost;
    voice_->looping = (flags & kPlayLooping) != 0;
    voice_->playing = true;
    core_->mixer.startVoice(voice_);
    return AudioResult::Ok;
}

AudioResult AudioBuffer::stop() {
    if (voice_ == nullptr) return AudioResult::InvalidCall;
    Guard guard(core_->mixer.lock());
    voice_->playing = false;
    core_->mixer.stopVoice(voice_);
    return AudioResult::Ok;
}

AudioResult AudioBuffer::setCurrentPosition(uint32_t bytes) {
    if (voice_ == nullptr) return AudioResult::InvalidCall;
    Guard guard(core_->mixer.lock());
    if (bytes >= voice_->bytes) return AudioResult::InvalidParam;
    voice_->position = static_cast<uint64_t>(bytes / voice_->blockAlign) << 32;
    return AudioResult::Ok;
}

AudioResult AudioBuffer::getCurrentPosition(uint32_t* play, uint32_t* write) {
    if (voice_ == nullptr) return AudioResult::InvalidCall;
    Guard guard(core_->mixer.lock());
    const uint32_t bytes = static_cast<uint32_t>(voice_->position >> 32) * voice_->blockAlign;
    if (play != nullptr) *play = bytes;
    if (write != nullptr) *write = bytes;
    return AudioResult::Ok;
}

AudioResult AudioBuffer::setVolume(int32_t hundredthsDb) {
    if (voice_ == nullptr) return AudioResult::InvalidCall;
    if (!(voice_->flags & kBufferCtrlVolume)) return AudioResult::ControlUnavailable;
    if (hundredthsDb < kVolumeMin || hundredthsDb > kVolumeMax) return AudioResult::InvalidParam;
    Guard guard(core_->mixer.lock());
    voice_->volume = hundredthsDb;
    updateVoiceGains(*voice_);
    return AudioResult::Ok;
}

AudioResult AudioBuffer::getVolume(int32_t* hundredthsDb) {
    if (hundredthsDb == nullptr) return AudioResult::InvalidParam;
    if (voice_ == nullptr) return AudioResult::InvalidCall;
    if (!(voice_->flags & kBufferCtrlVolume)) return AudioResult::ControlUnavailable;
    Guard guard(core_->mixer.lock());
    *hundredthsDb = voice_->volume;
    return AudioResult::Ok;
}

AudioResult AudioBuffer::setPan(int32_t pan) {
    if (voice_ == nullptr) return AudioResult::InvalidCall;
    if (!(voice_->flags & kBufferCtrlPan)) return AudioResult::ControlUnavailable;
    if (pan < kPanLeft || pan > kPanRight) return AudioResult::InvalidParam;
    Guard guard(core_->mixer.lock());
    voice_->pan = pan;
    updateVoiceGains(*voice_);
    return AudioResult::Ok;
}

AudioResult AudioBuffer::getPan(int32_t* pan) {
    if (pan == nullptr) return AudioResult::InvalidParam;
    if (voice_ == nullptr) return AudioResult::InvalidCall;
    if (!(voice_->flags & kBufferCtrlPan)) return AudioResult::ControlUnavailable;
    Guard guard(core_->mixer.lock());
    *pan = voice_->pan;
    return AudioResult::Ok;
}

AudioResult AudioBuffer::lock(uint32_t offset, uint32_t bytes, void** part1, uint32_t* bytes1,
                              void** part2, uint32_t* bytes2, uint32_t flags) {
    if (part1 == nullptr || bytes1 == nullptr) return AudioResult::InvalidParam;
    if (part2 != nullptr && bytes2 == nullptr) return AudioResult::InvalidParam;
    if (voice_ == nullptr) return AudioResult::InvalidCall;
    Guard guard(core_->mixer.lock());
    AudioVoice& voice = *voice_;
    if (core_->isLost(voice)) return AudioResult::BufferLost;
    if (voice.locked) return AudioResult::InvalidCall;
    if (flags & kLockFromWriteCursor) {
        offset = static_cast<uint32_t>(voice.position >> 32) * voice.blockAlign;
    }
    if (flags & kLockEntireBuffer) bytes = voice.bytes;
    if (bytes == 0 || bytes > voice.bytes || offset >= voice.bytes) return AudioResult::InvalidParam;
    const uint32_t first = std::min(bytes, voice.bytes - offset);
    const uint32_t rest = part2 != nullptr ? bytes - first : 0;
    *part1 = voice.data + offset;
    *bytes1 = first;
    if (part2 != nullptr) {
        *part2 = rest > 0 ? voice.data : nullptr;
        *bytes2 = rest;
    }
    voice.locked = true;
    voice.lockOffset = offset;
    voice.lockBytes = first + rest;
    return AudioResult::Ok;
}

AudioResult AudioBuffer::unlock(void* part1, uint32_t bytes1, void* part2, uint32_t bytes2) {
    if (voice_ == nullptr) return AudioResult::InvalidCall;
    Guard guard(core_->mixer.lock());
    AudioVoice& voice = *voice_;
    if (!voice.locked) return AudioResult::InvalidCall;
    const uint32_t first = std::min(voice.lockBytes, voice.bytes - voice.lockOffset);
    const uint32_t rest = voice.lockBytes - first;
    if (part1 != voice.data + voice.lockOffset || bytes1 > first) return AudioResult::InvalidParam;
    if (part2 != nullptr && (part2 != voice.data || bytes2 > rest)) return AudioResult::InvalidParam;
    voice.locked = false;
    return AudioResult::Ok;
}

AudioResult AudioBuffer::restore() {
    if (voice_ == nullptr) return AudioResult::Ok;
    return core_->restore(*voice_);
}

AudioResult AudioBuffer::setFormat(const AudioWaveFormat* format) {
    if (voice_ != nullptr) return AudioResult::InvalidCall;
    if (format == nullptr) return AudioResult::InvalidParam;
    return core_->setPrimaryFormat(*format);
}

AudioResult AudioBuffer::getFormat(AudioWaveFormat* format) {
    if (format == nullptr) return AudioResult::InvalidParam;
    Guard guard(core_->mixer.lock());
    if (voice_ == nullptr) {
        *format = core_->primaryFormat;
        return AudioResult::Ok;
    }
    const AudioVoice& voice = *voice_;
    *format = {kWaveFormatPcm, voice.channels, voice.rate, voice.rate * voice.blockAlign,
               voice.blockAlign, voice.bits, 0};
    return AudioResult::Ok;
}

void AudioBuffer::release() {
    AudioCore* core = core_;
    if (voice_ != nullptr) {
        Guard guard(core->mixer.lock());
        voice_->playing = false;
        core->mixer.stopVoice(voice_);
    }
    delete voice_;
    delete this;
    core->releaseRef();
}

}  // namespace platform
