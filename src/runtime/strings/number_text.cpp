// Number-to-text constructors of RtString and the conversion commands.
//
// Each constructor reserves its fixed size first (so the capacity is the same
// whatever the number), writes the text with the engines of number_format.h
// and counts the length. The width commands print into a stack buffer sized
// for the widest text their bounds allow, so no width or value can overrun.
#include "runtime/strings/number_text.h"

#include <cmath>
#include <cstring>

#include "runtime/strings/ascii_text.h"
#include "runtime/strings/number_format.h"

namespace {

constexpr int kMaxFieldWidth = 1024;
constexpr int kDefaultDecimals = 6;  // the C library's meaning of a negative precision
constexpr size_t kFieldTextSize =
    (kMaxFieldWidth > static_cast<int>(rtstring::kFixedTextSize) ? kMaxFieldWidth
                                                                 : rtstring::kFixedTextSize) + 1;

// Truncation toward zero into [-limit, limit]; a NaN counts as 0.
int truncateClamped(double value, int limit) {
    if (std::isnan(value)) return 0;
    if (value > limit) return limit;
    if (value < -limit) return -limit;
    return static_cast<int>(value);
}

// Pads the text in `field` (its length given) to |width| characters: spaces
// before it, or after it for a negative width.
uint32_t padToWidth(char* field, uint32_t length, int width) {
    const bool leftAlign = width < 0;
    uint32_t target = static_cast<uint32_t>(leftAlign ? -width : width);
    if (length >= target) return length;
    uint32_t pad = target - length;
    if (leftAlign) {
        std::memset(field + length, ' ', pad);
    } else {
        std::memmove(field + pad, field, length);
        std::memset(field, ' ', pad);
    }
    field[target] = '\0';
    return target;
}

template <typename Integer>
RtString formatIntegerField(double width, Integer value) {
    char field[kFieldTextSize];
    uint32_t length = rtstring::writeInt64Text(value, field);
    length = padToWidth(field, length, truncateClamped(width, kMaxFieldWidth));
    return RtString::fromBytes(field, length);
}

}  // namespace

RtString::RtString(int value) : RtString() {
    reserve(15, false);
    rtstring::writeInt32Text(value, data);
    recountLength();
}

RtString::RtString(long long value) : RtString() {
    reserve(63, false);
    rtstring::writeInt64Text(value, data);
    recountLength();
}

RtString::RtString(double value) : RtString() {
    static_assert(rtstring::kShortDoubleTextSize <= 80);
    reserve(63, false);
    rtstring::writeShortDoubleText(value, data);
    recountLength();
}

RtString::RtString(float value) : RtString(static_cast<double>(value)) {}

RtString RtString::fromHex(uint32_t value) {
    RtString s;
    s.reserve(16, false);
    rtstring::writeInt64RadixText(value, 16, s.data);
    s.recountLength();
    return s;
}

char* int64ToText(long long value, char* buffer, int radix) {
    rtstring::writeInt64RadixText(value, radix < 0 ? 0u : static_cast<unsigned>(radix), buffer);
    return buffer;
}

RtString bytesToHexText(const void* bytes, int32_t count, bool upper) {
    RtString result;
    if (count <= 0 || bytes == nullptr) return result;
    const char* digits = upper ? rtstring::kUpperHexDigits : rtstring::kLowerHexDigits;
    const auto* in = static_cast<const unsigned char*>(bytes);
    result.reserve(2 * static_cast<uint32_t>(count), false);
    char* out = result.data;
    for (int32_t i = 0; i < count; ++i) {
        *out++ = digits[in[i] >> 4];
        *out++ = digits[in[i] & 15];
    }
    *out = '\0';
    result.length = 2 * static_cast<uint32_t>(count);
    return result;
}

int hexPairToByte(char high, char low) {
    auto digit = [](char c) -> int {
        int value = rtstring::hexDigitValue(c);
        return value >= 0 ? value : static_cast<signed char>(c);
    };
    return digit(high) * 16 + digit(low);
}

long long textToInt64(const char* text) { return rtstring::parseInt64Text(text); }

long long textToInt64(const RtString& text) { return rtstring::parseInt64Text(text.data); }

int CharacterCode(const RtString& text) { return static_cast<unsigned char>(text.data[0]); }

int CharacterCodeAt(const RtString& text, int32_t index) {
    if (index < 0 || static_cast<uint32_t>(index) >= text.length) return 0;
    return static_cast<unsigned char>(text.data[index]);
}

RtString CharacterFromCode(uint8_t code) {
    const char byte = static_cast<char>(code);
    return RtString::fromBytes(&byte, 1);
}

RtString FormatNumber(double width, double decimals, double value) {
    int places = truncateClamped(decimals, rtstring::kMaxFixedDecimals);
    if (places < 0) places = kDefaultDecimals;
    char field[kFieldTextSize];
    uint32_t length = rtstring::writeFixedText(value, places, field);
    length = padToWidth(field, length, truncateClamped(width, kMaxFieldWidth));
    return RtString::fromBytes(field, length);
}

RtString FormatInteger(double width, double, int value) {
    return formatIntegerField<long long>(width, value);
}

RtString FormatInteger(double width, double, long long value) {
    return formatIntegerField<long long>(width, value);
}
