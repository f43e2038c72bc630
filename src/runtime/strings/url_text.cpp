// Percent-encoding and decoding, and UTF-8 to single bytes.
//
// Departures: a four-byte sequence gave its low 8 bits less 0x50, and a lead
// byte took whatever followed as its continuation, so a Latin-1 byte in a URL
// ate the two characters after it. Every sequence now gives the low 8 bits
// of its code point, and a lead byte without its continuation bytes is
// dropped alone.
#include "runtime/strings/url_text.h"

#include <new>

#include "runtime/strings/ascii_text.h"

namespace {

bool isAsciiAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The continuation bytes a UTF-8 lead byte announces; -1 for a byte that
// leads no sequence (a continuation byte, 0xF8 to 0xFF).
int continuationsAfter(unsigned char lead) {
    if (lead < 0x80) return 0;
    if ((lead & 0xE0) == 0xC0) return 1;
    if ((lead & 0xF0) == 0xE0) return 2;
    if ((lead & 0xF8) == 0xF0) return 3;
    return -1;
}

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

void appendEscape(char*& out, unsigned char byte) {
    *out++ = '%';
    *out++ = rtstring::kLowerHexDigits[byte >> 4];
    *out++ = rtstring::kLowerHexDigits[byte & 15];
}

}  // namespace

RtString UrlEncode(const RtString& text) {
    const auto* in = reinterpret_cast<const unsigned char*>(text.data);
    uint64_t size = 0;
    for (uint32_t i = 0; i < text.length; ++i) size += isAsciiAlnum(in[i]) ? 1 : (in[i] < 0x80 ? 3 : 6);
    RtString result;
    if (size == 0) return result;
    if (size >= UINT32_MAX - 16) throw std::bad_alloc();
    result.reserve(static_cast<uint32_t>(size), false);
    char* out = result.data;
    for (uint32_t i = 0; i < text.length; ++i) {
        const unsigned char c = in[i];
        if (isAsciiAlnum(c)) {
            *out++ = static_cast<char>(c);
        } else if (c < 0x80) {
            appendEscape(out, c);
        } else {
            appendEscape(out, c < 0xC0 ? 0xC2 : 0xC3);
            appendEscape(out, static_cast<unsigned char>(0x80 + (c & 0x3F)));
        }
    }
    *out = '\0';
    result.length = static_cast<uint32_t>(size);
    return result;
}

RtString UrlDecode(const RtString& text) {
    const auto* in = reinterpret_cast<const unsigned char*>(text.data);
    RtString result;
    if (text.length == 0) return result;
    result.reserve(text.length, false);  // decoding never lengthens the text
    char* out = result.data;
    uint32_t i = 0;
    while (i < text.length) {
        const unsigned char c = in[i];
        if (c == '+') {
            *out++ = ' ';
            i += 1;
        } else if (c == '%') {
            // The buffer ends in a NUL, which is no digit: no read goes past it.
            int high = i + 1 < text.length ? rtstring::hexDigitValue(in[i + 1]) : -1;
            int low = high >= 0 && i + 2 < text.length ? rtstring::hexDigitValue(in[i + 2]) : -1;
            if (high >= 0 && low >= 0) {
                *out++ = static_cast<char>(high * 16 + low);
                i += 3;
            } else {
                i += 2;
            }
        } else {
            *out++ = static_cast<char>(c);
            i += 1;
        }
    }
    *out = '\0';
    result.length = static_cast<uint32_t>(out - result.data);
    utf8ToSingleByte(result);
    return result;
}

void utf8ToSingleByte(RtString& text) {
    auto* bytes = reinterpret_cast<unsigned char*>(text.data);
    const uint32_t n = text.length;
    uint32_t read = 0;
    uint32_t write = 0;
    while (read < n) {
        const unsigned char lead = bytes[read];
        const int follow = continuationsAfter(lead);
        if (follow == 0) {
            bytes[write++] = lead;
            read += 1;
            continue;
        }
        bool whole = follow > 0 && n - read > static_cast<uint32_t>(follow);
        for (int k = 1; whole && k <= follow; ++k) whole = isContinuation(bytes[read + k]);
        if (!whole) {
            read += 1;  // a stray continuation byte, 0xF8 to 0xFF, or a lead without its bytes
            continue;
        }
        // The code point's low 8 bits lie in the last two bytes of its sequence.
        const unsigned char before = bytes[read + follow - 1];
        const unsigned char last = bytes[read + follow];
        bytes[write++] = static_cast<unsigned char>((before << 6) | (last & 0x3F));
        read += static_cast<uint32_t>(follow) + 1;
    }
    if (text.ownsBuffer()) text.data[write] = '\0';
    text.length = write;
}
