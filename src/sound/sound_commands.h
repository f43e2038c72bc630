// The sound commands: load, play and stop sounds in the 4,096 sound slots.
// A playing voice is named by a SoundChannel, slot × 256 + voice. Sounds
// play once. Bad slots record error 7; files that do not load, error 3.
// Depends on the sound system's slots and device, and the pack resolver.
#pragma once
#include <cstdint>

#include "runtime/strings/rt_string.h"

// Clears the error code; the highest-numbered free slot (4095 down to 0), or
// -1 with error 7 when every slot is loaded.
int32_t FindFreeSoundSlot();
// Clears the error code; loads the WAV file (from disk, the pack or a
// "mem://" block) into the slot with 1..4 voices. A slot outside 0..4095:
// error 7. A name that resolves to nothing: error 3, the slot unchanged. A
// file that does not load, or no device: error 3, the slot left free. Either
// failure of the file names it in the error log ("Sound failed: " + path).
void LoadSound(const RtString& file, int32_t slot, int32_t voices);
// Plays the slot once: pan -1..1 (left to right), volume 0..1 (NaN counts as
// 0, infinities as the ends). The SoundChannel played, or -1 when no voice
// could play; a slot outside 0..4095 records error 7 and gives 0.
int32_t PlaySoundSlot(int32_t slot, double pan, double volume);
// 1 while the channel's voice plays; a slot outside 0..4095 records error 7 and gives 0.
int32_t IsSoundPlaying(int32_t channel);
// Stops and rewinds the channel's voice (a voice number beyond the slot's
// voices stops them all). A negative channel is ignored; a slot part of 4096
// or more records error 7.
void StopSoundChannel(int32_t channel);
// Stops every voice of every slot.
void StopAllSounds();
