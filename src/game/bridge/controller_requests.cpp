// GetControllerValue: "Update" fetches the controller state once per frame;
// the actions are looked up in the reply kept from it.
#include <cstring>

#include "game/bridge/device_requests.h"
#include "game/bridge/device_transport.h"
#include "game/bridge/reply_fields.h"

namespace {
RtString keptState;
}

double GetControllerValue(const char* action, int32_t player) {
    if (action == nullptr) return 0.0;
    if (std::strcmp(action, "Update") == 0) {
        static const RtString request("JoyUpdateKeys");
        keptState = sendDeviceRequest(request);
        return 0.0;
    }
    if (player != 0) return 0.0;
    return replyFieldNumber(keptState, action);
}

double GetControllerValue(const RtString& action, int32_t player) {
    return GetControllerValue(action.data, player);
}

const RtString& keptControllerState() { return keptState; }
