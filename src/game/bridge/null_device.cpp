// The null device's one answer.
#include "game/bridge/null_device.h"

RtString NullDevice::answer(const RtString&) { return RtString("0"); }
