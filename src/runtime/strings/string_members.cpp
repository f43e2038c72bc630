// Small members of RtString: number values, three-way comparisons,
// truncation, the control-byte cut and case conversion in place.
//
// Case conversion changes only A to Z and a to z, whatever the locale, as
// the C library did under the runtime's start-up locale.
#include <cmath>
#include <cstring>

#include "runtime/strings/ascii_text.h"
#include "runtime/strings/number_format.h"
#include "runtime/strings/rt_string.h"

double RtString::toDouble() const { return rtstring::parseDoubleText(data); }

int RtString::toInt() const { return rtstring::parseInt32Text(data); }

int RtString::compare(const char* text) const { return std::strcmp(data, text ? text : ""); }

int RtString::compare(double value) const {
    const double own = toDouble();
    if (value > own) return -1;
    if (own > value) return 1;
    return 0;  // equal or unordered
}

int RtString::compare(int value) const {
    const int own = toInt();
    return own < value ? -1 : (own > value ? 1 : 0);
}

void RtString::truncate(int n) {
    if (n < 0 || static_cast<uint32_t>(n) >= length) return;
    data[n] = '\0';
    length = static_cast<uint32_t>(n);
}

void RtString::stripTrailingControl() {
    while (length > 0 && static_cast<unsigned char>(data[length - 1]) <= 0x1F) {
        data[--length] = '\0';
    }
}

void RtString::toLowerInPlace() {
    for (uint32_t i = 0; i < length; ++i) data[i] = rtstring::asciiLower(data[i]);
}

void RtString::toUpperInPlace() {
    for (uint32_t i = 0; i < length; ++i) data[i] = rtstring::asciiUpper(data[i]);
}
