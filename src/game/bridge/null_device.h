// The null device: answers "0" to every request, so numeric queries read 0,
// flag queries false and texts "0", and sound, music and layout requests do
// nothing. It stands for a host without a device layer.
#pragma once
#include "game/bridge/device_transport.h"

class NullDevice : public DeviceTransport {
public:
    RtString answer(const RtString& request) override;
};
