// The sound system's engine objects: the one SoundDevice and the 4,096 sound
// slots, made by the engine start-up and released by its shutdown.
// Depends on the registry of shutdown steps (runtime/engine/orderly_end.h)
// and the file dialog's hooks (runtime/files/file_dialog_hooks.h).
#pragma once

class SoundDevice;
class SoundSlot;

// Start-up, at its end: makes the SoundDevice and the 4,096 slots (all
// empty), creates the device on the window (its result only reported), takes
// the cooperative level for the window again, and registers releaseSoundSystem
// as the shutdown's sound step and restoreSoundCooperativeLevel as the file
// dialog's sound hook. True when a device was created; without one the slots
// exist, every load fails with error 3 and every play gives -1. A second call
// while the system exists does nothing and returns whether the device exists.
bool createSoundSystem(const void* window);
// Shutdown: ends the music, destroys the slots from the last to the first
// (each releases its voices), then the device, and unregisters both hooks.
// Safe to call again.
void releaseSoundSystem();

// Null before the start-up and after the shutdown.
SoundDevice* engineSoundDevice();
SoundSlot* engineSoundSlots();  // kSoundSlotCount slots

// Takes the device's priority level for the window again (after a display
// mode change or a file dialog); nothing without a device.
void restoreSoundCooperativeLevel(const void* window);
