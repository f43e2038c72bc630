// The pause and Escape flags. Depends on callbacks by name.
#include "runtime/services/pause_flags.h"

#include "runtime/services/callbacks.h"

int32_t pauseFlag = 0;
int32_t pauseAllowed = 1;
int32_t escapeQuits = 1;

void setPaused(int32_t request) {
    if (!pauseAllowed) request = 0;
    if (request != 0 && pauseFlag != 1) {
        pauseFlag = 1;
        CallByName(RtString("VNT_ON_PAUSE"));
    } else if (request == 0 && pauseFlag != 0) {
        pauseFlag = 0;
        CallByName(RtString("VNT_ON_RESUME"));
    }
}

void SetPauseAllowed(int32_t allowed) {
    pauseAllowed = allowed != 0;
    if (!pauseAllowed && pauseFlag) {
        pauseFlag = 0;
        CallByName(RtString("VNT_ON_RESUME"));
    }
}

void SetEscapeQuits(int32_t flag) { escapeQuits = flag != 0; }

int32_t GetEscapeQuits() { return escapeQuits != 0 ? 1 : 0; }
