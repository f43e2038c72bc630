// The game's sound effects: registration with the device bridge and playing.
#include "game/world/game_sounds.h"

#include "runtime/files/file_system.h"

const char* const kGameSoundFiles[kGameSoundCount] = {
    "move.wav",    "tinkle01.wav", "pop.wav",   "boom2.wav",    "drag4.wav",
    "boulder.wav", "creak.wav",    "reel.wav",  "tinkle02.wav", "till.wav",
};

DeviceSound GAME_SOUNDS[kGameSoundCount];
DeviceMusic GAME_MUSIC;

namespace {
// The first three sounds have numbers of their own; the last seven share 3.
constexpr int32_t kSoundNumbers[kGameSoundCount] = {0, 1, 2, 3, 3, 3, 3, 3, 3, 3};
}  // namespace

void RegisterGameSounds() {
    for (const char* file : kGameSoundFiles) ResolveMediaPath(RtString(file));
    for (int32_t k = 0; k < kGameSoundCount; ++k) {
        HostAddSound(GAME_SOUNDS[k], kSoundNumbers[k], GetCurrentDir() + kGameSoundFiles[k]);
    }
}

void PlayGameSound(int32_t sound, double volume) {
    if (sound < 0 || sound >= kGameSoundCount) return;
    HostPlaySound(GAME_SOUNDS[sound], 0.0, volume);
}
