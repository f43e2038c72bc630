// The host requests: button layout, memory check, texture reload, device
// identity and screen orientation.
#include "game/bridge/device_requests.h"
#include "game/bridge/device_transport.h"
#include "game/bridge/reply_fields.h"
#include "gfx2d/gfx2d_commands.h"

DeviceInfo deviceInfo;

namespace {

bool deviceInfoRead = false;

// The identity fields by name: ReadDeviceInfo and HostGetDeviceInfo share it.
struct InfoField {
    const char* name;
    RtString DeviceInfo::*text;
};
const InfoField kInfoFields[] = {
    {"model", &DeviceInfo::model},
    {"manufacture", &DeviceInfo::manufacture},
    {"device", &DeviceInfo::device},
    {"product", &DeviceInfo::product},
};

}  // namespace

double HostSetButtonLayout(const RtString& layout) {
    sendDeviceRequest("JoySetButtonLayout:" + layout);
    return 0.0;
}

double HostCheckMemory(const RtString&) {
    static const RtString request("memory:check");
    sendDeviceRequest(request);
    return 0.0;
}

double HostIsReloadTextures() {
    static const RtString request("isReloadTextures:");
    const RtString reply = sendDeviceRequest(request);
    return reply.equals("true") || reply.equals("TRUE") ? 1.0 : 0.0;
}

double ReadDeviceInfo() {
    static const RtString request("getdevice:info");
    const RtString reply = sendDeviceRequest(request);
    for (const InfoField& field : kInfoFields) deviceInfo.*field.text = replyFieldText(reply, field.name, "0");
    deviceInfoRead = true;
    return 0.0;
}

void forgetDeviceInfo() {
    deviceInfo = DeviceInfo{};
    deviceInfoRead = false;
}

RtString HostGetDeviceInfo(const RtString& key) {
    if (!deviceInfoRead) ReadDeviceInfo();
    for (const InfoField& field : kInfoFields) {
        if (key.equals(field.name)) return deviceInfo.*field.text;
    }
    return RtString("0");
}

double UpdateScreenOrientation() {
    const DeviceKind kind = deviceTransport().kind();
    if (kind != DeviceKind::TouchScreen && kind != DeviceKind::Keyboard) return 0.0;
    static const RtString request("screenOrientation:");
    SetOrientation(sendDeviceRequest(request).toInt());
    return 0.0;
}
