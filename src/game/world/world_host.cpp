// The game world's requests to the device bridge.
#include "game/world/world_host.h"

#include "game/bridge/device_requests.h"
#include "game/world/screen_buttons.h"

void prepareMediaFile(const RtString& name) { ResolveMediaPath(RtString(name)); }

double controllerValue(const char* action) { return GetControllerValue(action, 0); }

bool buttonPressed(const char* action) { return controllerValue(action) != 0; }

void refreshControllerState() {
    GetControllerValue("Update", 0);
    watchScreenButtons();
}

bool hostLostTextures() { return HostIsReloadTextures() == 1.0; }
