// Mathematics in degrees, integer helpers and the minimum and maximum rules.
// Nothing here fails: edge arguments give fixed results, a zero divisor 0.
#pragma once
#include <cstdint>

// Degrees to radians and back, exactly these doubles.
inline constexpr double kDegreesToRadians = 0.017453292519943295;
inline constexpr double kRadiansToDegrees = 57.29577951308232;

double SinDeg(double degrees);
double CosDeg(double degrees);
double TanDeg(double degrees);
double ATan2Deg(double y, double x);
double ASinDeg(double x);  // 90 from 1 up, -90 from -1 down
double ACosDeg(double x);  // 0 from 1 up, 180 from -1 down
double Sqrt(double x);     // NaN for a negative x, with the library's domain error
double Pow(double x, double y);
double Floor(double x);
double Ceil(double x);
double Log(double x);      // natural logarithm
double FMod(double a, double b);  // 0 when b is 0 (either sign)
// The truncating remainder with the sign of a; 0 when b is 0, and 0 for the
// smallest 32-bit integer by -1 (whose quotient does not fit).
int32_t IntMod(int32_t a, int32_t b);
int32_t LenOfNumber(double x);  // characters of the number text of x
int32_t LenOfInt(int32_t n);    // characters of the decimal text, "-" included
// 1 when the rectangles share a pixel. A size of 0 covers one pixel; a
// negative size covers |size| pixels to the left (or upwards).
int32_t BoxesOverlap(int32_t x1, int32_t y1, int32_t w1, int32_t h1,
                     int32_t x2, int32_t y2, int32_t w2, int32_t h2);

// A double to a 32-bit integer, truncated toward zero. NaN and values whose
// truncation does not fit give the smallest 32-bit integer, the one result
// the processor's own conversion gives for them. Every conversion of a number
// to an integer in the runtime goes through here.
int32_t truncateToInt32(double value);

// Minimum and maximum: each gives its second operand whenever its comparison
// is false, so ties and NaN operands give the second operand.
inline double maxOf(double a, double b) { return a > b ? a : b; }
inline int32_t maxOf(int32_t a, double b) {
    int32_t t = truncateToInt32(b);
    return t >= a ? t : a;
}
inline int32_t maxOf(int32_t a, int32_t b) { return b >= a ? b : a; }
inline double minOf(double a, double b) { return b > a ? a : b; }
inline double minOf(double a, float b) { return b > a ? a : static_cast<double>(b); }
inline int32_t minOf(int32_t a, int32_t b) { return b <= a ? b : a; }
