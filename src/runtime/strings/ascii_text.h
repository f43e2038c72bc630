// ASCII letter case and hexadecimal digits: the one copy that the string
// values, the file layer (case-blind names, block names, listings) and the
// cipher use. Only the letters A to Z and a to z change case, the same in
// every locale; bytes of 128 and above are never letters here.
#pragma once

namespace rtstring {

constexpr char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// strcmp's order over texts with A to Z folded to a to z (bytes as unsigned).
inline int compareIgnoringAsciiCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        int difference = static_cast<unsigned char>(asciiLower(*a)) - static_cast<unsigned char>(asciiLower(*b));
        if (difference != 0 || !*a) return difference;
    }
}

// True when the two texts are equal with A to Z folded to a to z.
inline bool equalsIgnoringAsciiCase(const char* a, const char* b) { return compareIgnoringAsciiCase(a, b) == 0; }

// Digits by value, 0 to 15.
inline constexpr char kLowerHexDigits[] = "0123456789abcdef";
inline constexpr char kUpperHexDigits[] = "0123456789ABCDEF";

// The value of a hexadecimal digit (0-9, a-f, A-F), or -1 for any other character.
constexpr int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace rtstring
