// The sound system's engine objects and their release at shutdown.
// Depends on SoundDevice, SoundSlot, the desktop music, the registry of
// shutdown steps and the file dialog's hooks.
#include "sound/sound_system.h"

#include <new>

#include "runtime/engine/orderly_end.h"
#include "runtime/files/file_dialog_hooks.h"
#include "sound/desktop_audio.h"
#include "sound/sound_device.h"
#include "sound/sound_slot.h"

namespace {
SoundDevice* soundDevice = nullptr;
SoundSlot* soundSlots = nullptr;
}  // namespace

SoundDevice* engineSoundDevice() { return soundDevice; }
SoundSlot* engineSoundSlots() { return soundSlots; }

bool createSoundSystem(const void* window) {
    if (soundDevice != nullptr) return soundDevice->device != nullptr;
    soundDevice = new SoundDevice();
    soundSlots = new SoundSlot[kSoundSlotCount];
    setShutdownStep(ShutdownStageSound, &releaseSoundSystem);
    fileDialogHooks.restoreSoundLevel = restoreSoundCooperativeLevel;
    // The output has logged why it failed; the start-up logs the step.
    soundDevice->create(window);
    soundDevice->restoreCooperativeLevel(window);
    return soundDevice->device != nullptr;
}

void releaseSoundSystem() {
    stopDesktopMusic();
    if (soundSlots != nullptr) {
        for (int32_t i = kSoundSlotCount - 1; i >= 0; --i) soundSlots[i].release();
        delete[] soundSlots;  // the slots are already free
        soundSlots = nullptr;
    }
    delete soundDevice;
    soundDevice = nullptr;
    setShutdownStep(ShutdownStageSound, nullptr);
    fileDialogHooks.restoreSoundLevel = nullptr;
}

void restoreSoundCooperativeLevel(const void* window) {
    if (soundDevice != nullptr) soundDevice->restoreCooperativeLevel(window);
}
