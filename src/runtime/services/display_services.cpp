// Display services. Depends on the display settings (runtime/engine), the
// error log and the 2-D context's hooks.
#include "runtime/services/display_services.h"

#include <cstdio>

#include "runtime/engine/display_settings.h"
#include "runtime/files/error_log.h"
#include "runtime/services/engine_hooks.h"

void notifyScreenSize(int32_t width, int32_t height) {
    char line[64];
    std::snprintf(line, sizeof line, "vnt_notify_screen_size %dx%d\n", width, height);
    appendToErrorLog(line);
    if (engineHooks.storeScreenSize) engineHooks.storeScreenSize(width, height);
    displaySettings.width = width;
    displaySettings.height = height;
}

void GetDisplaySize(int32_t* width, int32_t* height) {
    if (width) *width = displaySettings.width;
    if (height) *height = displaySettings.height;
}

int32_t MoveTexturesToTempFiles(int32_t flag) {
    if (!engineHooks.moveTexturesToTempFiles) return 0;
    return engineHooks.moveTexturesToTempFiles(flag != 0 ? 1 : 0) != 0 ? 1 : 0;
}
