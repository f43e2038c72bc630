// Number and text conversion commands of the string values.
//
// The number constructors of RtString are declared in rt_string.h: an int
// reserves 15 bytes (capacity 32), a long long, float or double 63 (capacity
// 80), fromHex 16 (capacity 32). Number text has "." as its point and no
// thousands separators; the digit rules are those of number_format.h.
//
// Departures kept deliberately small: the width commands and
// CharacterFromCode build their result directly instead of through a shared
// static string (same text, same capacity as the copy they returned, and
// safe to call from anywhere); a width beyond +-1024 counts as +-1024, a
// NaN width as 0, and decimals are taken as 0 to 512, a negative number of
// decimals meaning the default 6.
#pragma once
#include <cstdint>

#include "runtime/strings/rt_string.h"

// Digits of a 64-bit value in radix 2 to 36 into a caller's buffer of at
// least 65 bytes; "-" only in radix 10. Returns the buffer.
char* int64ToText(long long value, char* buffer, int radix);
// 2 x count hexadecimal digits of the bytes, upper or lower case; a count of
// 0 or less gives the empty value.
RtString bytesToHexText(const void* bytes, int32_t count, bool upper);
// high x 16 + low by digit values (0-9, a-f, A-F); any other character
// counts as its own signed character code. Not validated.
int hexPairToByte(char high, char low);
// Blanks, one sign, decimal digits; no digit gives 0. The digits are kept
// modulo 2^64 and the sign applied last, so a number beyond the long long
// range wraps: "9223372036854775808" is the most negative value, and an
// unsigned 64-bit value written as digits reads back to the same bits.
long long textToInt64(const char* text);
long long textToInt64(const RtString& text);

// The first byte as 0 to 255; the empty value gives 0.
int CharacterCode(const RtString& text);
// The byte at index as 0 to 255; 0 outside 0 <= index < length.
int CharacterCodeAt(const RtString& text, int32_t index);
// A one-byte value holding the code; code 0 gives a value of length 1.
RtString CharacterFromCode(uint8_t code);

// The value with `decimals` digits after the point, right-aligned in a field
// of `width` characters (left-aligned for a negative width); width and
// decimals are truncated toward zero. FormatNumber(8, 2, 3.14159) is
// "    3.14".
RtString FormatNumber(double width, double decimals, double value);
// The decimal integer in a field of `width` characters; the middle argument
// is not used. FormatInteger(4, 0, 7) is "   7".
RtString FormatInteger(double width, double unused, int value);
RtString FormatInteger(double width, double unused, long long value);
