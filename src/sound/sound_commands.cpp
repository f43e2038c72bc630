// The sound commands over the engine's slot table and device. Before the
// start-up and after the shutdown there is no table: loads then fail with
// error 3, plays give -1, and nothing else happens.
// Depends on the sound system, SoundSlot, the pack resolver and the error log.
#include "sound/sound_commands.h"

#include <cmath>

#include "runtime/files/error_log.h"
#include "runtime/files/pack_archive.h"
#include "runtime/services/runtime_error.h"
#include "sound/sound_slot.h"
#include "sound/sound_system.h"

namespace {

constexpr int32_t kErrorNoSuchFile = 3;
constexpr int32_t kErrorBadSlot = 7;

bool validSlot(int32_t slot) { return static_cast<uint32_t>(slot) < static_cast<uint32_t>(kSoundSlotCount); }

// x clamped into lo..hi; NaN gives `otherwise`.
double clampNumber(double x, double lo, double hi, double otherwise) {
    if (std::isnan(x)) return otherwise;
    return x < lo ? lo : (x > hi ? hi : x);
}

}  // namespace

int32_t FindFreeSoundSlot() {
    clearErrorCode();
    SoundSlot* slots = engineSoundSlots();
    if (slots != nullptr) {
        for (int32_t slot = kSoundSlotCount - 1; slot >= 0; --slot) {
            if (slots[slot].voiceCount < 1) return slot;
        }
    }
    setRuntimeError(kErrorBadSlot);
    return -1;
}

void LoadSound(const RtString& file, int32_t slot, int32_t voices) {
    clearErrorCode();
    if (!validSlot(slot)) {
        setRuntimeError(kErrorBadSlot);
        return;
    }
    char resolved[files::kPathBufferSize];
    SoundSlot* slots = engineSoundSlots();
    if (resolvePackedFile(filePackArchive(), file.c_str(), resolved, 1) == 0 || slots == nullptr ||
        !slots[slot].load(engineSoundDevice(), resolved, voices)) {
        setRuntimeError(kErrorNoSuchFile);
        logFileFailure("Sound failed", file.c_str());
    }
}

int32_t PlaySoundSlot(int32_t slot, double pan, double volume) {
    if (!validSlot(slot)) {
        setRuntimeError(kErrorBadSlot);
        return 0;
    }
    SoundSlot* slots = engineSoundSlots();
    if (slots == nullptr) return -1;
    const int32_t panUnits = static_cast<int32_t>(clampNumber(pan, -1.0, 1.0, 0.0) * 10000.0);
    const int32_t percent = static_cast<int32_t>(clampNumber(volume * 100.0, 0.0, 100.0, 0.0));
    const int32_t voice = slots[slot].play(panUnits, percent, 0);
    if (voice < 0) return voice;
    return slot * 256 + voice;
}

int32_t IsSoundPlaying(int32_t channel) {
    const int32_t slot = channel >> 8;
    if (!validSlot(slot)) {
        setRuntimeError(kErrorBadSlot);
        return 0;
    }
    SoundSlot* slots = engineSoundSlots();
    if (slots == nullptr) return 0;
    return slots[slot].isPlaying(channel & 255) ? 1 : 0;
}

void StopSoundChannel(int32_t channel) {
    if (channel < 0) return;
    const int32_t slot = channel >> 8;
    if (slot >= kSoundSlotCount) {
        setRuntimeError(kErrorBadSlot);
        return;
    }
    SoundSlot* slots = engineSoundSlots();
    if (slots != nullptr) slots[slot].stop(channel & 255);
}

void StopAllSounds() {
    SoundSlot* slots = engineSoundSlots();
    if (slots == nullptr) return;
    for (int32_t slot = 0; slot < kSoundSlotCount; ++slot) slots[slot].stop(-1);
}
