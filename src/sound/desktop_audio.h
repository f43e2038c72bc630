// The sounds and music of the desktop device layer: what the device bridge
// answers to the game's "addSound:", "playSound:", "sampleCount:",
// "playMusic:" and "setMusicVolume:" requests.
//
// Each added sound gets a slot of its own, whose number is its handle, so
// sounds registered under one shared number stay distinct samples. Sounds
// play with up to four overlapping voices. Music is one OGG Vorbis file at a
// time, streamed by a feeder thread. None of these records an RtErrorCode:
// a missing sound or music file is no error to the game.
// Depends on the sound commands, the sound system and MusicStream.
#pragma once
#include <cstdint>

// Loads the WAV file (disk, pack or "mem://") into the highest free slot with
// four voices; the handle (0..4095), or -1 when it did not load (no device,
// no file, not a WAV, no free slot).
int32_t addDesktopSound(const char* path);
// Plays the sound at volume 0..1 (clamped, NaN silent), centred; a playing
// sound is overlapped. False for a handle of no loaded sound, or when no
// voice played.
bool playDesktopSound(int32_t handle, double volume);
// Sounds still loading: always 0, since addDesktopSound loads at once.
int32_t desktopSoundsLoading();

// Streams the OGG file at volume 0..1, looping when asked; replaces the
// music that plays. False when it cannot play (no device, no file, not Vorbis).
bool playDesktopMusic(const char* path, double volume, bool loop);
// Changes the music volume at once (0..1); kept for the next music when none plays.
void setDesktopMusicVolume(double volume);
void stopDesktopMusic();
bool isDesktopMusicPlaying();

// For tests: without the feeder thread the music is decoded only by
// serviceDesktopMusic(). Set before playDesktopMusic.
void setDesktopMusicFeeder(bool enabled);
bool serviceDesktopMusic();
