// The game's ten sound effects, registered with the device bridge by the
// game's main routine in this order, and how the families play them.
#pragma once
#include <cstdint>

#include "game/bridge/device_requests.h"

enum GameSound : int32_t {
    SoundMove = 0,      // "move.wav"
    SoundTinkle = 1,    // "tinkle01.wav", a gem taken
    SoundPop = 2,       // "pop.wav"
    SoundBoom = 3,      // "boom2.wav"
    SoundDrag = 4,      // "drag4.wav"
    SoundBoulder = 5,   // "boulder.wav"
    SoundCreak = 6,     // "creak.wav"
    SoundReel = 7,      // "reel.wav"
    SoundTinkle2 = 8,   // "tinkle02.wav", a pearl taken
    SoundTill = 9,      // "till.wav"
    kGameSoundCount = 10
};

// The file names in registration order.
extern const char* const kGameSoundFiles[kGameSoundCount];

// The sound records as the device knows them, and the music record; filled
// by RegisterGameSounds and the game's main routine.
extern DeviceSound GAME_SOUNDS[kGameSoundCount];
extern DeviceMusic GAME_MUSIC;

// Registers the ten sounds in order: each name through the media resolver,
// then "addSound:" with its number (0, 1, 2, then 3 for the last seven) and
// the working directory followed by the name.
void RegisterGameSounds();

// Plays the sound through the device bridge with the volume given (the
// families pass SOUND_VOLUME, the gem 0.1); an id outside 0 to 9 plays nothing.
void PlayGameSound(int32_t sound, double volume);
