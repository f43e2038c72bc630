// SoundDevice: creation of the device with its mix format, capabilities and
// cooperative level. Depends on platform/audio_device.h.
#include "sound/sound_device.h"

#include <cstring>

using namespace platform;

SoundDevice::SoundDevice() : device(nullptr) { std::memset(&capabilities, 0, sizeof capabilities); }

SoundDevice::~SoundDevice() {
    if (device != nullptr) device->release();
    device = nullptr;
}

bool SoundDevice::create(const void* window) {
    if (device != nullptr) {
        device->release();
        device = nullptr;
    }
    if (!succeeded(createAudioDevice(&device))) return false;
    if (!succeeded(device->setCooperativeLevel(window, CooperativeLevel::Priority))) return false;

    AudioBufferDesc desc{kBufferDescVersion, kBufferPrimary, 0, nullptr};
    AudioBuffer* primary = nullptr;
    if (!succeeded(device->createSoundBuffer(&desc, &primary))) return false;
    // 22,050 frames per second of 16-bit stereo: 4 bytes a frame.
    const AudioWaveFormat mixFormat{kWaveFormatPcm, 2, 22050, 88200, 4, 16, 0};
    AudioResult formatSet = primary->setFormat(&mixFormat);
    primary->release();
    if (!succeeded(formatSet)) return false;
    return getCaps();
}

bool SoundDevice::getCaps() {
    if (device == nullptr) return false;
    capabilities.version = kDeviceCapsVersion;
    return succeeded(device->getCaps(&capabilities));
}

void SoundDevice::restoreCooperativeLevel(const void* window) {
    if (device != nullptr) device->setCooperativeLevel(window, CooperativeLevel::Priority);
}
