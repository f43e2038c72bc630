// The WAV reader: a RIFF/WAVE file or "mem://" block of PCM into voice 0 of
// a sound slot. Depends on ReadStream and SoundSlot.
#pragma once

class SoundSlot;

// Reads the sound named by the slot's file name into the slot's voice 0, on
// the slot's device. False for a missing or unreadable file, a header that
// is not RIFF/WAVE, a missing "fmt " or "data" chunk, a format the device
// refuses, or data past the end of a disk file; voice 0 is then released.
bool loadWaveIntoBuffer(SoundSlot& slot);
