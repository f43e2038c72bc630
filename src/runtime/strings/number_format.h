// Number text engines: the digits behind every number-to-text and
// text-to-number operation of the string values.
//
// They write into caller buffers and allocate nothing; RtString and its
// operator families build on them. The rules are those of the runtime's
// original C library, not glibc's:
// - the short double text keeps 10 significant digits, uses the exponent form
//   below 0.1 and from 10^10 on, writes the exponent with a sign and three
//   digits ("1.5e-005"), and shows infinities and NaNs as "1.#INF", "-1.#IND",
//   "1.#QNAN" and "1.#SNAN";
// - digits are rounded half up on a 17-digit expansion of the value, so a
//   value whose 17 digits end in ...5 rounds up even where the exact binary
//   value lies just below the half;
// - text is read as a number without hexadecimal, "inf" or "nan" forms; "d"
//   and "D" mark an exponent as "e" and "E" do.
#pragma once
#include <cstddef>
#include <cstdint>

namespace rtstring {

// Buffer sizes, terminating NUL included.
inline constexpr size_t kIntegerTextSize = 24;      // "-9223372036854775808"
inline constexpr size_t kRadixTextSize = 66;        // 64 binary digits
inline constexpr size_t kShortDoubleTextSize = 32;  // "-1.234567891e-308"
inline constexpr int kMaxFixedDecimals = 512;       // the C library's precision limit
// Sign, up to 310 integer digits, the point and the decimals.
inline constexpr size_t kFixedTextSize = 1 + 310 + 1 + kMaxFixedDecimals + 1;

// Each writer returns the length of its text and writes a NUL behind it.
uint32_t writeInt32Text(int32_t value, char* out);
uint32_t writeInt64Text(int64_t value, char* out);
uint32_t writeUInt64Text(uint64_t value, char* out);
// Digits in radix 2 to 36 (lower-case letters from 10 on); a negative value
// has a "-" only in radix 10 and is written as its two's-complement pattern in
// every other radix. A radix outside 2..36 counts as 10.
uint32_t writeInt64RadixText(int64_t value, unsigned radix, char* out);

// The short text of a double: 10 significant digits in the shorter of the
// fixed and exponent forms as described above, trailing zeros of the
// fraction dropped, then tidyShortDoubleText.
uint32_t writeShortDoubleText(double value, char* out);
// The two fixes applied to the raw 10-digit text: ".0" becomes "0", and a
// trailing "." is cut ("3." becomes "3"). Returns the new length.
uint32_t tidyShortDoubleText(char* text, uint32_t length);
// Fixed notation with `decimals` digits after the point (0 to
// kMaxFixedDecimals; no point for 0), rounded half up as above.
uint32_t writeFixedText(double value, int decimals, char* out);

// Text to number. Each skips leading blanks (space and the bytes 9 to 13)
// and takes one optional sign; a text without digits reads as 0. A null
// pointer reads as 0.
// Double: digits with an optional point and exponent; beyond the range the
// result is an infinity, below it zero.
double parseDoubleText(const char* text);
// 32-bit integer: decimal digits, clamped to the int range.
int32_t parseInt32Text(const char* text);
// 64-bit integer: decimal digits accumulated modulo 2^64, then the sign
// applied; "9223372036854775808" reads as the most negative value, so every
// unsigned 64-bit value written as digits reads back to its own bits.
int64_t parseInt64Text(const char* text);
// The same digits as a sign and a magnitude (modulo 2^64), for readers that
// need the whole unsigned range.
struct DecimalInteger {
    bool negative;
    uint64_t magnitude;
};
DecimalInteger parseDecimalInteger(const char* text);

inline bool isBlankByte(unsigned char c) { return c == ' ' || (c >= 9 && c <= 13); }

}  // namespace rtstring
