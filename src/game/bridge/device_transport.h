// The device transport: where the game's device requests go. Every request
// is one text (a verb, a colon and arguments, such as "playSound:3:0:0.5"),
// every reply one text. One transport is installed at a time; without one the
// desktop device layer (desktop_device.h) answers, which is the program's
// default. Tests install the null device or a scripted device instead.
// Main thread only.
#pragma once
#include "runtime/strings/rt_string.h"

// What kind of device answers: some requests are only sent to touch-screen
// and keyboard devices (the screen orientation).
enum class DeviceKind { Desktop, TouchScreen, Keyboard };

class DeviceTransport {
public:
    virtual ~DeviceTransport() = default;
    // The reply to one request; never fails (a device that cannot serve a
    // request answers "0").
    virtual RtString answer(const RtString& request) = 0;
    virtual DeviceKind kind() const { return DeviceKind::Desktop; }
};

// Installs the transport (kept, not owned); null returns to the desktop
// device layer. Returns the transport installed before (null for the default).
DeviceTransport* setDeviceTransport(DeviceTransport* transport);
// The transport that answers now.
DeviceTransport& deviceTransport();
// The installed transport's reply to the request.
RtString sendDeviceRequest(const RtString& request);

// Installs a transport for the lifetime of a scope (tests), restoring the one before.
class ScopedDeviceTransport {
public:
    explicit ScopedDeviceTransport(DeviceTransport& transport) : previous_(setDeviceTransport(&transport)) {}
    ~ScopedDeviceTransport() { setDeviceTransport(previous_); }
    ScopedDeviceTransport(const ScopedDeviceTransport&) = delete;
    ScopedDeviceTransport& operator=(const ScopedDeviceTransport&) = delete;

private:
    DeviceTransport* previous_;
};
