// Number-to-text constructors of RtString.
// Provisional forms; the exact digit rules follow in the conversion module.
#include "runtime/strings/rt_string.h"

#include <cstdio>
#include <cstring>

RtString::RtString(int value) : RtString() {
    reserve(15, false);
    std::snprintf(data, capacity, "%d", value);
    recountLength();
}

RtString::RtString(long long value) : RtString() {
    reserve(63, false);
    std::snprintf(data, capacity, "%lld", value);
    recountLength();
}

RtString::RtString(double value) : RtString() {
    reserve(63, false);
    std::snprintf(data, capacity, "%.10g", value);
    recountLength();
}

RtString::RtString(float value) : RtString(static_cast<double>(value)) {}

RtString RtString::fromHex(uint32_t value) {
    RtString s;
    s.reserve(16, false);
    std::snprintf(s.data, s.capacity, "%x", value);
    s.recountLength();
    return s;
}
