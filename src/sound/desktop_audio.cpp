// The desktop device layer's sounds and music over the sound commands and
// MusicStream. The runtime error code is kept as it was around every call.
// Depends on the sound commands, the sound system, SoundSlot and MusicStream.
#include "sound/desktop_audio.h"

#include <memory>

#include "runtime/services/runtime_error.h"
#include "sound/music_stream.h"
#include "sound/sound_commands.h"
#include "sound/sound_device.h"
#include "sound/sound_slot.h"
#include "sound/sound_system.h"

namespace {

std::unique_ptr<MusicStream> music;
double musicVolume = 1.0;
bool musicFeeder = true;

// Keeps the game's error code untouched by what the device layer does.
struct KeptErrorCode {
    int32_t code = RtErrorCode;
    int32_t line = errorLine;
    ~KeptErrorCode() {
        RtErrorCode = code;
        errorLine = line;
    }
};

}  // namespace

int32_t addDesktopSound(const char* path) {
    KeptErrorCode kept;
    if (path == nullptr || engineSoundSlots() == nullptr) return -1;
    const int32_t slot = FindFreeSoundSlot();
    if (slot < 0) return -1;
    LoadSound(RtString(path), slot, kMaxSoundVoices);
    return RtErrorCode == 0 ? slot : -1;
}

bool playDesktopSound(int32_t handle, double volume) {
    KeptErrorCode kept;
    SoundSlot* slots = engineSoundSlots();
    if (slots == nullptr || handle < 0 || handle >= kSoundSlotCount || slots[handle].voiceCount < 1) return false;
    return PlaySoundSlot(handle, 0.0, volume) >= 0;
}

int32_t desktopSoundsLoading() { return 0; }

bool playDesktopMusic(const char* path, double volume, bool loop) {
    stopDesktopMusic();
    setDesktopMusicVolume(volume);
    SoundDevice* device = engineSoundDevice();
    if (device == nullptr || device->device == nullptr) return false;
    music = std::make_unique<MusicStream>(device->device);
    if (!music->start(path, musicVolume, loop, musicFeeder)) {
        music.reset();
        return false;
    }
    return true;
}

void setDesktopMusicVolume(double volume) {
    musicVolume = volume;
    if (music) music->setVolume(volume);
}

void stopDesktopMusic() { music.reset(); }

bool isDesktopMusicPlaying() { return music && music->isPlaying(); }

void setDesktopMusicFeeder(bool enabled) { musicFeeder = enabled; }

bool serviceDesktopMusic() { return music && music->service(); }
