// SoundDevice: the one holder of the sound device, made empty by the engine
// start-up, created on the main window, released at shutdown.
// Depends on the platform's sound device (platform/audio_device.h).
#pragma once
#include "platform/audio_device.h"

class SoundDevice {
public:
    platform::AudioDevice* device;          // null when none was created
    platform::AudioDeviceCaps capabilities;  // version field set to 96 before each query

    SoundDevice();
    ~SoundDevice();
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    // Opens the device, takes the priority level for the window, sets the
    // mix format (PCM, stereo, 22,050 Hz, 16 bits) through the primary buffer
    // and queries the capabilities. False at the first failing step; a device
    // that exists but failed a later step is kept (and plays in the default
    // mix format).
    bool create(const void* window);
    // Queries the capabilities again; false without a device or on failure.
    bool getCaps();
    // Takes the priority level for the window again (after a display-mode
    // change or a file dialog); nothing without a device.
    void restoreCooperativeLevel(const void* window);
};
