// Mathematics in degrees over the C library. Depends on the number text of
// the string values (LenOfNumber).
#include "runtime/services/mathematics.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "runtime/strings/rt_string.h"

double SinDeg(double degrees) { return std::sin(degrees * kDegreesToRadians); }
double CosDeg(double degrees) { return std::cos(degrees * kDegreesToRadians); }
double TanDeg(double degrees) { return std::tan(degrees * kDegreesToRadians); }
double ATan2Deg(double y, double x) { return std::atan2(y, x) * kRadiansToDegrees; }

double ASinDeg(double x) {
    if (x >= 1.0) return 90.0;
    if (x <= -1.0) return -90.0;
    return std::asin(x) * kRadiansToDegrees;
}

double ACosDeg(double x) {
    if (x >= 1.0) return 0.0;
    if (x <= -1.0) return 180.0;
    return std::acos(x) * kRadiansToDegrees;
}

double Sqrt(double x) { return std::sqrt(x); }
double Pow(double x, double y) { return std::pow(x, y); }
double Floor(double x) { return std::floor(x); }
double Ceil(double x) { return std::ceil(x); }
double Log(double x) { return std::log(x); }

double FMod(double a, double b) {
    if (b == 0.0) return 0.0;
    return std::fmod(a, b);
}

int32_t IntMod(int32_t a, int32_t b) {
    if (b == 0 || b == -1) return 0;  // x mod -1 is 0; INT32_MIN / -1 would trap
    return a % b;
}

int32_t LenOfNumber(double x) { return static_cast<int32_t>(RtString(x).length); }

int32_t LenOfInt(int32_t n) {
    int64_t v = n;
    int32_t chars = v < 0 ? 2 : 1;
    if (v < 0) v = -v;
    while (v >= 10) {
        v /= 10;
        ++chars;
    }
    return chars;
}

namespace {

// The inclusive span one rectangle covers on one axis, in 64 bits so that
// sizes near the 32-bit limits do not overflow.
void span(int32_t position, int32_t size, int64_t& low, int64_t& high) {
    int64_t p = position;
    int64_t far = size > 0 ? p + size - 1 : size == 0 ? p : p + size + 1;
    low = std::min(p, far);
    high = std::max(p, far);
}

bool axisOverlaps(int32_t p1, int32_t s1, int32_t p2, int32_t s2) {
    int64_t low1, high1, low2, high2;
    span(p1, s1, low1, high1);
    span(p2, s2, low2, high2);
    return std::max(low1, low2) <= std::min(high1, high2);
}

}  // namespace

int32_t BoxesOverlap(int32_t x1, int32_t y1, int32_t w1, int32_t h1,
                     int32_t x2, int32_t y2, int32_t w2, int32_t h2) {
    return axisOverlaps(x1, w1, x2, w2) && axisOverlaps(y1, h1, y2, h2) ? 1 : 0;
}

int32_t truncateToInt32(double value) {
    // -2^31 - 1 < value < 2^31 is exactly the range whose truncation fits.
    if (!(value > -2147483649.0 && value < 2147483648.0)) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}
