// Number text engines (see number_format.h for the rules).
//
// A double is first decomposed into a sign, a decimal point position and a
// mantissa of 17 significant digits (correctly rounded, from std::to_chars),
// or a special mantissa for infinities and NaNs ("1#INF", "1#IND", "1#QNAN",
// "1#SNAN" with the point after the first character). The short and fixed
// forms then round that mantissa half up to the digits they keep; a special
// mantissa is rounded like digits, which is why an infinity with two
// decimals reads "1.#J", as it always has in this runtime's number text.
#include "runtime/strings/number_format.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

namespace rtstring {
namespace {

struct DecimalDigits {
    bool negative = false;
    int decpt = 1;        // value = 0.mantissa x 10^decpt
    char mantissa[24] = {};
};

// shortestLimit: the digits a caller keeps at most (10 for the short form);
// 0 asks for the full 17-digit expansion.
void decompose(double value, DecimalDigits& d, int shortestLimit) {
    d.negative = std::signbit(value);
    if (std::isinf(value)) {
        std::strcpy(d.mantissa, "1#INF");
        d.decpt = 1;
        return;
    }
    if (std::isnan(value)) {
        uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        const uint64_t fraction = bits & 0x000FFFFFFFFFFFFFull;
        const uint64_t quietBit = 0x0008000000000000ull;
        if (d.negative && fraction == quietBit) {
            std::strcpy(d.mantissa, "1#IND");  // the default NaN of 0/0
        } else if (fraction & quietBit) {
            std::strcpy(d.mantissa, "1#QNAN");
        } else {
            std::strcpy(d.mantissa, "1#SNAN");
        }
        d.decpt = 1;
        return;
    }
    char text[40];
    // The shortest text that reads back as the value has at most 17 digits.
    // With 10 or fewer it is also what the 17-digit expansion rounds to at 10
    // digits (the expansion differs from it only far below the 10th digit),
    // so it serves the short form, padded with zeros, at a fraction of the
    // cost. Not for subnormal values, whose spacing is far coarser.
    if (shortestLimit > 0 && (value == 0.0 || std::isnormal(value))) {
        auto shortest = std::to_chars(text, text + sizeof text, std::fabs(value),
                                      std::chars_format::scientific);
        const char* e = static_cast<const char*>(std::memchr(text, 'e', shortest.ptr - text));
        const int digits = static_cast<int>(e - text) - (e - text > 1 ? 1 : 0);
        if (digits <= shortestLimit) {
            int n = 0;
            d.mantissa[n++] = text[0];
            for (const char* p = text + 2; p < e; ++p) d.mantissa[n++] = *p;
            while (n < 17) d.mantissa[n++] = '0';
            d.mantissa[17] = '\0';
            int exponent = 0;
            std::from_chars(e + 1 + (e[1] == '+' ? 1 : 0), shortest.ptr, exponent);
            d.decpt = value == 0.0 ? 1 : exponent + 1;
            return;
        }
    }
    auto result = std::to_chars(text, text + sizeof text, std::fabs(value),
                                std::chars_format::scientific, 16);
    // "d.dddddddddddddddde+XX"
    d.mantissa[0] = text[0];
    std::memcpy(d.mantissa + 1, text + 2, 16);
    d.mantissa[17] = '\0';
    int exponent = 0;
    std::from_chars(text + 19 + (text[19] == '+' ? 1 : 0), result.ptr, exponent);
    d.decpt = value == 0.0 ? 1 : exponent + 1;
}

// Keeps `digits` characters of the mantissa (padded with "0"), rounded half
// up on the next one. A carry out of the first digit gives one more digit
// and moves the point one place right. Returns the number of characters in
// out (digits, or digits + 1 after such a carry; none when digits <= 0
// unless the carry made a "1").
int roundMantissa(const DecimalDigits& d, int digits, char* out, int& decpt) {
    char work[kFixedTextSize + 2];
    work[0] = '0';  // room for the carry
    const char* m = d.mantissa;
    int n = 1;
    for (int i = 0; i < digits; ++i) work[n++] = *m ? *m++ : '0';
    decpt = d.decpt;
    if (digits >= 0 && static_cast<unsigned char>(*m) >= '5') {
        int p = n - 1;
        while (work[p] == '9') work[p--] = '0';
        ++work[p];
    }
    if (work[0] == '1') {
        ++decpt;
        std::memcpy(out, work, n);
        return n;
    }
    std::memcpy(out, work + 1, n - 1);
    return n - 1;
}

// Fixed form with ndec decimals from a rounded digit run; returns the end.
char* placeFixed(char* out, bool negative, const char* digits, int count, int decpt, int ndec) {
    if (negative) *out++ = '-';
    int used = 0;
    if (decpt <= 0) {
        *out++ = '0';
    } else {
        std::memcpy(out, digits, decpt);
        out += decpt;
        used = decpt;
    }
    if (ndec > 0) {
        *out++ = '.';
        if (decpt < 0) {
            int zeros = -decpt < ndec ? -decpt : ndec;
            std::memset(out, '0', zeros);
            out += zeros;
        }
        std::memcpy(out, digits + used, count - used);
        out += count - used;
    }
    return out;
}

}  // namespace

uint32_t writeInt64RadixText(int64_t value, unsigned radix, char* out) {
    if (radix < 2 || radix > 36) radix = 10;
    if (radix == 10) return writeInt64Text(value, out);
    uint64_t magnitude = static_cast<uint64_t>(value);  // the two's-complement pattern
    char reversed[kRadixTextSize];
    int n = 0;
    do {
        unsigned digit = static_cast<unsigned>(magnitude % radix);
        reversed[n++] = static_cast<char>(digit < 10 ? '0' + digit : 'a' + digit - 10);
        magnitude /= radix;
    } while (magnitude != 0);
    uint32_t length = 0;
    while (n > 0) out[length++] = reversed[--n];
    out[length] = '\0';
    return length;
}

uint32_t writeInt64Text(int64_t value, char* out) {
    if (value >= 0) return writeUInt64Text(static_cast<uint64_t>(value), out);
    // The magnitude in unsigned 64 bits, so the most negative value has one too.
    *out = '-';
    return 1 + writeUInt64Text(0 - static_cast<uint64_t>(value), out + 1);
}

uint32_t writeUInt64Text(uint64_t magnitude, char* out) {
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    char digits[kIntegerTextSize];
    char* p = digits + sizeof digits;
    while (magnitude >= 100) {
        const unsigned pair = static_cast<unsigned>(magnitude % 100) * 2;
        magnitude /= 100;
        *--p = kPairs[pair + 1];
        *--p = kPairs[pair];
    }
    if (magnitude >= 10) {
        const unsigned pair = static_cast<unsigned>(magnitude) * 2;
        *--p = kPairs[pair + 1];
        *--p = kPairs[pair];
    } else {
        *--p = static_cast<char>('0' + magnitude);
    }
    const uint32_t length = static_cast<uint32_t>(digits + sizeof digits - p);
    std::memcpy(out, p, length);
    out[length] = '\0';
    return length;
}

uint32_t writeInt32Text(int32_t value, char* out) { return writeInt64Text(value, out); }

uint32_t tidyShortDoubleText(char* text, uint32_t length) {
    if (length == 2 && text[0] == '.' && text[1] == '0') {
        text[0] = '0';
        text[1] = '\0';
        return 1;
    }
    if (length > 0 && text[length - 1] == '.') text[--length] = '\0';
    return length;
}

uint32_t writeShortDoubleText(double value, char* out) {
    constexpr int kDigits = 10;
    DecimalDigits d;
    decompose(value, d, kDigits);
    char digits[kDigits + 2];
    int decpt = 0;
    char* end;
    const int magnitude = d.decpt - 1;
    if (magnitude < -1 || magnitude > kDigits - 1) {
        // d.ddddddddde+XXX
        int count = roundMantissa(d, kDigits, digits, decpt);
        (void)count;
        end = out;
        if (d.negative) *end++ = '-';
        *end++ = digits[0];
        *end++ = '.';
        std::memcpy(end, digits + 1, kDigits - 1);
        end += kDigits - 1;
        int exponent = decpt - 1;
        *end++ = 'e';
        *end++ = exponent < 0 ? '-' : '+';
        if (exponent < 0) exponent = -exponent;
        *end++ = static_cast<char>('0' + exponent / 100);
        *end++ = static_cast<char>('0' + exponent / 10 % 10);
        *end++ = static_cast<char>('0' + exponent % 10);
    } else {
        const int ndec = kDigits - d.decpt;
        int count = roundMantissa(d, ndec + d.decpt, digits, decpt);
        end = placeFixed(out, d.negative, digits, count, decpt, ndec);
    }
    *end = '\0';
    // Trailing zeros of the fraction go, up to the exponent; the point stays.
    char* point = static_cast<char*>(std::memchr(out, '.', end - out));
    if (point) {
        char* exponentStart = static_cast<char*>(std::memchr(point, 'e', end - point));
        char* fractionEnd = exponentStart ? exponentStart : end;
        char* keep = fractionEnd;
        while (keep[-1] == '0') --keep;
        if (keep != fractionEnd) {
            std::memmove(keep, fractionEnd, end - fractionEnd + 1);
            end -= fractionEnd - keep;
        }
    }
    return tidyShortDoubleText(out, static_cast<uint32_t>(end - out));
}

uint32_t writeFixedText(double value, int decimals, char* out) {
    if (decimals < 0) decimals = 0;
    if (decimals > kMaxFixedDecimals) decimals = kMaxFixedDecimals;
    DecimalDigits d;
    decompose(value, d, 0);
    char digits[kFixedTextSize];
    int decpt = 0;
    int count = roundMantissa(d, decimals + d.decpt, digits, decpt);
    char* end = placeFixed(out, d.negative, digits, count, decpt, decimals);
    *end = '\0';
    return static_cast<uint32_t>(end - out);
}

double parseDoubleText(const char* text) {
    if (!text) return 0.0;
    const char* p = text;
    while (isBlankByte(static_cast<unsigned char>(*p))) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    const char* start = p;
    bool anyDigit = false;
    int firstNonZero = -1;       // position of the first non-zero digit relative to the point
    int integerDigits = 0;
    while (*p >= '0' && *p <= '9') {
        if (firstNonZero < 0 && *p != '0') firstNonZero = integerDigits;
        ++integerDigits;
        ++p;
        anyDigit = true;
    }
    int magnitude = 0;  // decimal position of the first non-zero digit
    bool nonZero = firstNonZero >= 0;
    if (nonZero) magnitude = integerDigits - firstNonZero;
    if (*p == '.') {
        ++p;
        int place = 0;
        while (*p >= '0' && *p <= '9') {
            --place;
            if (!nonZero && *p != '0') {
                nonZero = true;
                magnitude = place + 1;
            }
            ++p;
            anyDigit = true;
        }
    }
    if (!anyDigit) return 0.0;
    const char* mantissaEnd = p;
    const char* end = p;
    long long exponent = 0;
    char marker = *p;
    if (marker == 'e' || marker == 'E' || marker == 'd' || marker == 'D') {
        const char* q = p + 1;
        bool expNegative = false;
        if (*q == '+' || *q == '-') expNegative = *q++ == '-';
        if (*q >= '0' && *q <= '9') {
            while (*q >= '0' && *q <= '9') {
                if (exponent < 100000000) exponent = exponent * 10 + (*q - '0');
                ++q;
            }
            if (expNegative) exponent = -exponent;
            end = q;
        }
    }
    double value = 0.0;
    std::from_chars_result result;
    if (end != mantissaEnd && (marker == 'd' || marker == 'D')) {
        std::string copy(start, end);
        copy[mantissaEnd - start] = 'e';
        result = std::from_chars(copy.data(), copy.data() + copy.size(), value,
                                 std::chars_format::general);
    } else {
        result = std::from_chars(start, end, value, std::chars_format::general);
    }
    if (result.ec == std::errc::result_out_of_range) {
        value = nonZero && magnitude + exponent > 0 ? HUGE_VAL : 0.0;
    }
    return negative ? -value : value;
}

int32_t parseInt32Text(const char* text) {
    if (!text) return 0;
    const char* p = text;
    while (isBlankByte(static_cast<unsigned char>(*p))) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    int64_t value = 0;
    const int64_t limit = negative ? int64_t{INT32_MAX} + 1 : INT32_MAX;
    while (*p >= '0' && *p <= '9') {
        if (value < limit) value = value * 10 + (*p - '0');
        ++p;
    }
    if (value > limit) value = limit;
    return static_cast<int32_t>(negative ? -value : value);
}

DecimalInteger parseDecimalInteger(const char* text) {
    DecimalInteger read{false, 0};
    if (!text) return read;
    const char* p = text;
    while (isBlankByte(static_cast<unsigned char>(*p))) ++p;
    if (*p == '+' || *p == '-') read.negative = *p++ == '-';
    // Unsigned arithmetic wraps by definition: a longer run of digits keeps
    // its value modulo 2^64, without overflow.
    for (; *p >= '0' && *p <= '9'; ++p) read.magnitude = read.magnitude * 10 + static_cast<unsigned>(*p - '0');
    return read;
}

int64_t parseInt64Text(const char* text) {
    const DecimalInteger read = parseDecimalInteger(text);
    // Negated in unsigned arithmetic; the bits are then the signed value.
    return static_cast<int64_t>(read.negative ? 0 - read.magnitude : read.magnitude);
}

}  // namespace rtstring
