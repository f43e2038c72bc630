// The installed device transport, falling back to the desktop device layer.
#include "game/bridge/device_transport.h"

#include "game/bridge/desktop_device.h"

namespace {
DeviceTransport* installed = nullptr;

DesktopDevice& defaultDevice() {
    static DesktopDevice device;
    return device;
}
}  // namespace

DeviceTransport* setDeviceTransport(DeviceTransport* transport) {
    DeviceTransport* before = installed;
    installed = transport;
    return before;
}

DeviceTransport& deviceTransport() { return installed ? *installed : defaultDevice(); }

RtString sendDeviceRequest(const RtString& request) { return deviceTransport().answer(request); }
