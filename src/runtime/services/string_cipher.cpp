// EncryptString and DecryptString over the Blowfish cipher.
//
// Departures: a hexadecimal text whose byte count is not a multiple of 8 is
// decrypted as whole blocks of a zero-filled buffer (nothing is read or
// written past it), and an empty key runs the key schedule with no key bits
// rather than dividing by its length of 0.
#include "runtime/services/string_cipher.h"

#include <memory>
#include <vector>

#include "runtime/services/blowfish.h"
#include "runtime/strings/ascii_text.h"
#include "runtime/strings/number_text.h"

namespace {

const uint8_t* bytesOf(const RtString& s) { return reinterpret_cast<const uint8_t*>(s.data); }

// A digit in either case; other characters give whatever the rule makes of
// them, without complaint.
int lenientDigitValue(char c) {
    c = rtstring::asciiLower(c);
    return c <= '9' ? c - '0' : c - 'a' + 10;
}

}  // namespace

RtString EncryptString(const RtString& key, const RtString& text) {
    auto context = std::make_unique<BlowfishContext>();
    blowfishSetKey(*context, bytesOf(key), static_cast<int32_t>(key.length));
    std::vector<uint8_t> cipher(blowfishPaddedSize(text.length));
    const uint32_t n = blowfishEncryptBuffer(*context, bytesOf(text), cipher.data(), text.length);
    return bytesToHexText(cipher.data(), static_cast<int32_t>(n), false);
}

RtString DecryptString(const RtString& key, const RtString& hexText) {
    const uint32_t n = hexText.length / 2;
    const uint32_t blocks = blowfishPaddedSize(n);
    // Zero-filled, whole blocks, and one byte more so the text always ends.
    std::vector<uint8_t> bytes(blocks + 1, 0);
    for (uint32_t i = 0; i < n; ++i) {
        int high = lenientDigitValue(hexText.data[2 * i]);
        int low = lenientDigitValue(hexText.data[2 * i + 1]);
        bytes[i] = static_cast<uint8_t>(16 * high + low);
    }
    auto context = std::make_unique<BlowfishContext>();
    blowfishSetKey(*context, bytesOf(key), static_cast<int32_t>(key.length));
    blowfishDecryptBuffer(*context, bytes.data(), bytes.data(), blocks);
    return RtString(reinterpret_cast<const char*>(bytes.data()));
}
