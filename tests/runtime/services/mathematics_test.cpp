// Mathematics in degrees, the integer helpers, the rectangle test and the
// minimum and maximum rules.
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

#include "runtime/services/mathematics.h"

namespace {
uint64_t bitsOf(double d) {
    uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    return bits;
}
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
}  // namespace

TEST(Mathematics, DegreeFactorsAreExactlyTheseDoubles) {
    EXPECT_EQ(bitsOf(kDegreesToRadians), 0x3F91DF46A2529D39u);
    EXPECT_EQ(bitsOf(kRadiansToDegrees), 0x404CA5DC1A63C1F8u);
}

TEST(Mathematics, TrigonometryInDegrees) {
    EXPECT_EQ(SinDeg(30), 0.49999999999999994);
    EXPECT_EQ(CosDeg(60), 0.5000000000000001);
    EXPECT_EQ(TanDeg(45), 0.9999999999999999);
    EXPECT_EQ(SinDeg(180), 1.2246467991473532e-16);
    EXPECT_EQ(SinDeg(90), 1.0);
    EXPECT_EQ(CosDeg(0), 1.0);
    EXPECT_EQ(ATan2Deg(1, 1), 45.0);
    EXPECT_EQ(ATan2Deg(0, -1), 180.0);
    EXPECT_EQ(ATan2Deg(0, 0), 0.0);
    EXPECT_EQ(ASinDeg(0.5), 30.000000000000004);
    EXPECT_EQ(ACosDeg(0.5), 60.00000000000001);
}

TEST(Mathematics, InverseFunctionsHaveFixedEdges) {
    EXPECT_EQ(ACosDeg(1), 0.0);
    EXPECT_EQ(ACosDeg(1.5), 0.0);
    EXPECT_EQ(ACosDeg(-1), 180.0);
    EXPECT_EQ(ACosDeg(-kInf), 180.0);
    EXPECT_EQ(ASinDeg(2), 90.0);
    EXPECT_EQ(ASinDeg(1), 90.0);
    EXPECT_EQ(ASinDeg(-1), -90.0);
    EXPECT_EQ(ASinDeg(-7), -90.0);
    EXPECT_TRUE(std::isnan(ASinDeg(kNaN)));
    EXPECT_TRUE(std::isnan(ACosDeg(kNaN)));
}

TEST(Mathematics, SqrtOfANegativeNumberIsNaNWithTheDomainError) {
    EXPECT_EQ(Sqrt(16), 4.0);
    errno = 0;
    EXPECT_TRUE(std::isnan(Sqrt(-1)));
    EXPECT_EQ(errno, EDOM);
    EXPECT_TRUE(std::isnan(Sqrt(kNaN)));
}

TEST(Mathematics, LibraryFunctions) {
    EXPECT_EQ(Pow(2, 10), 1024.0);
    EXPECT_EQ(Pow(0, 0), 1.0);
    EXPECT_EQ(Floor(-2.5), -3.0);
    EXPECT_EQ(Ceil(-2.5), -2.0);
    EXPECT_EQ(Log(1), 0.0);
    EXPECT_EQ(Log(0), -kInf);
}

TEST(Mathematics, FModOfZeroDivisorIsZero) {
    EXPECT_EQ(FMod(5, 0), 0.0);
    EXPECT_EQ(FMod(5, -0.0), 0.0);
    EXPECT_EQ(FMod(7.5, 2), 1.5);
    EXPECT_EQ(FMod(-7.5, 2), -1.5);
    EXPECT_TRUE(std::isnan(FMod(5, kNaN)));
    EXPECT_TRUE(std::isnan(FMod(kInf, 2)));
}

TEST(Mathematics, IntModTruncatesWithTheSignOfTheDividend) {
    EXPECT_EQ(IntMod(5, 0), 0);
    EXPECT_EQ(IntMod(-7, 3), -1);
    EXPECT_EQ(IntMod(7, -3), 1);
    EXPECT_EQ(IntMod(-7, -3), -1);
    EXPECT_EQ(IntMod(9, 3), 0);
    EXPECT_EQ(IntMod(INT_MIN, -1), 0);
    EXPECT_EQ(IntMod(INT_MAX, -1), 0);
    EXPECT_EQ(IntMod(INT_MIN, INT_MAX), -1);
    EXPECT_EQ(IntMod(INT_MIN, 0), 0);
}

TEST(Mathematics, LengthsOfNumberTexts) {
    EXPECT_EQ(LenOfInt(-42), 3);
    EXPECT_EQ(LenOfInt(0), 1);
    EXPECT_EQ(LenOfInt(9), 1);
    EXPECT_EQ(LenOfInt(10), 2);
    EXPECT_EQ(LenOfInt(INT_MAX), 10);
    EXPECT_EQ(LenOfInt(INT_MIN), 11);
    EXPECT_EQ(LenOfNumber(3.0), 1);
    EXPECT_EQ(LenOfNumber(0.5), 3);
    EXPECT_EQ(LenOfNumber(-12.25), 6);
    EXPECT_EQ(LenOfNumber(0.0), 1);
}

TEST(Mathematics, BoxesOverlapByPixels) {
    EXPECT_EQ(BoxesOverlap(0, 0, 10, 10, 9, 9, 5, 5), 1);   // the corner pixel 9,9
    EXPECT_EQ(BoxesOverlap(0, 0, 10, 10, 10, 0, 5, 5), 0);  // touching edges share nothing
    EXPECT_EQ(BoxesOverlap(10, 10, -5, -5, 6, 6, 1, 1), 1); // a negative size reaches left and up
    EXPECT_EQ(BoxesOverlap(10, 10, -5, -5, 5, 5, 1, 1), 0); // ... by |size| pixels only
    EXPECT_EQ(BoxesOverlap(3, 3, 0, 0, 3, 3, 0, 0), 1);     // a size of 0 covers one pixel
    EXPECT_EQ(BoxesOverlap(3, 3, 0, 0, 4, 3, 0, 0), 0);
    EXPECT_EQ(BoxesOverlap(0, 0, 10, 10, 0, 10, 5, 5), 0);  // x overlaps, y does not
    // Sizes at the limits do not overflow.
    EXPECT_EQ(BoxesOverlap(INT_MAX, 0, INT_MAX, 1, INT_MAX, 0, 1, 1), 1);
    EXPECT_EQ(BoxesOverlap(INT_MIN, 0, INT_MIN, 1, INT_MIN, 0, 1, 1), 1);
    EXPECT_EQ(BoxesOverlap(INT_MIN, 0, INT_MAX, 1, -2, 0, 1, 1), 1);
    EXPECT_EQ(BoxesOverlap(INT_MIN, 0, INT_MAX, 1, -1, 0, 1, 1), 0);
}

TEST(Mathematics, TruncationToIntegersHasOneResultForWhatDoesNotFit) {
    EXPECT_EQ(truncateToInt32(2.9), 2);
    EXPECT_EQ(truncateToInt32(-2.9), -2);
    EXPECT_EQ(truncateToInt32(2147483647.9), INT_MAX);
    EXPECT_EQ(truncateToInt32(-2147483648.9), INT_MIN);
    EXPECT_EQ(truncateToInt32(2147483648.0), INT_MIN);
    EXPECT_EQ(truncateToInt32(-2147483649.0), INT_MIN);
    EXPECT_EQ(truncateToInt32(kNaN), INT_MIN);
    EXPECT_EQ(truncateToInt32(kInf), INT_MIN);
    EXPECT_EQ(truncateToInt32(-kInf), INT_MIN);
}

TEST(MinMax, TiesAndNaNGiveTheSecondOperand) {
    // +0 and -0 are equal but distinguishable: the tie shows which one came back.
    EXPECT_TRUE(std::signbit(maxOf(0.0, -0.0)));
    EXPECT_FALSE(std::signbit(maxOf(-0.0, 0.0)));
    EXPECT_TRUE(std::signbit(minOf(0.0, -0.0)));
    EXPECT_EQ(maxOf(3.0, 2.0), 3.0);
    EXPECT_EQ(minOf(3.0, 2.0), 2.0);
    EXPECT_TRUE(std::isnan(minOf(1.0, kNaN)));
    EXPECT_EQ(minOf(kNaN, 1.0), 1.0);
    EXPECT_TRUE(std::isnan(maxOf(1.0, kNaN)));
    EXPECT_EQ(maxOf(kNaN, 1.0), 1.0);
    EXPECT_EQ(minOf(2.5, 1.5f), 1.5);
    EXPECT_EQ(minOf(1.0, 1.5f), 1.0);
    EXPECT_TRUE(std::isnan(minOf(1.0, std::numeric_limits<float>::quiet_NaN())));
}

TEST(MinMax, IntegerForms) {
    EXPECT_EQ(maxOf(int32_t{5}, 7.9), 7);
    EXPECT_EQ(maxOf(int32_t{5}, 3.2), 5);
    EXPECT_EQ(maxOf(int32_t{-10000}, -2.5), -2);
    EXPECT_EQ(maxOf(int32_t{5}, kNaN), 5);
    EXPECT_EQ(maxOf(int32_t{INT_MIN}, kNaN), INT_MIN);
    EXPECT_EQ(maxOf(int32_t{2}, int32_t{3}), 3);
    EXPECT_EQ(maxOf(int32_t{3}, int32_t{2}), 3);
    EXPECT_EQ(minOf(int32_t{2}, int32_t{3}), 2);
    EXPECT_EQ(minOf(int32_t{3}, int32_t{2}), 2);
}
