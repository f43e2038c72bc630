// The comparison families: the six relations between texts, and between a
// text and a number of any kind.
//
// One template decides every pair (rtstring::relation):
// - two texts compare by strcmp, byte by byte as unsigned values up to the
//   first NUL, except the equality of a pair with a string in it, which
//   compares stored lengths and then all bytes (so a string with a NUL
//   inside is neither equal to nor, by strcmp, unequal to its text before
//   the NUL);
// - a text against a number is read as a number of that number's kind (atoi
//   for int, the 64-bit digit reading for long long and, with its sign kept
//   apart, for unsigned 64-bit numbers, atof for float and double) and the
//   two numbers compare; a NaN makes every relation false except "not equal".
// A null C text reads as the empty text. The operators exist for every pair
// with a string in it; pairs of C text and C text or C text and a number
// cannot be operators and are reached as relation<Relation::Less>("5", 12LL).
//
// Included at the end of rt_string.h; do not include it on its own.
#pragma once
#include <cstring>

#include "runtime/strings/number_format.h"

namespace rtstring {

enum class Relation { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };

template <Relation R, typename T>
bool holds(const T& left, const T& right) {
    if constexpr (R == Relation::Equal) return left == right;
    if constexpr (R == Relation::NotEqual) return left != right;
    if constexpr (R == Relation::Less) return left < right;
    if constexpr (R == Relation::LessEqual) return left <= right;
    if constexpr (R == Relation::Greater) return left > right;
    if constexpr (R == Relation::GreaterEqual) return left >= right;
}

// Text against an unsigned 64-bit number by value, as -1, 0 or 1: the text's
// digits are read over the whole unsigned range (modulo 2^64, as every
// 64-bit reading), and a negative text lies below every such number.
inline int compareTextToUnsigned(const char* text, unsigned long long number) {
    const DecimalInteger read = parseDecimalInteger(text);
    if (read.negative && read.magnitude != 0) return -1;
    return read.magnitude < number ? -1 : (read.magnitude > number ? 1 : 0);
}

// The number value of a text for a number operand of kind K.
template <typename K>
K readNumberAs(const char* text) {
    if constexpr (std::same_as<K, double>) return parseDoubleText(text);
    else if constexpr (std::same_as<K, int>) return parseInt32Text(text);
    else return parseInt64Text(text);
}

template <typename L, typename R>
concept ComparablePair = AnyOperand<L> && AnyOperand<R> && (TextOperand<L> || TextOperand<R>);

template <Relation Rel, typename L, typename R>
    requires ComparablePair<L, R>
bool relation(const L& left, const R& right) {
    if constexpr (TextOperand<L> && TextOperand<R>) {
        if constexpr (Rel == Relation::Equal && (StringOperand<L> || StringOperand<R>)) {
            TextView a = viewOf(left), b = viewOf(right);
            return a.length == b.length &&
                   (a.length == 0 || std::memcmp(a.bytes, b.bytes, a.length) == 0);
        } else {
            return holds<Rel>(std::strcmp(cTextOf(left), cTextOf(right)), 0);
        }
    } else if constexpr (TextOperand<L>) {
        using Kind = NumberKind<R>;
        if constexpr (std::same_as<Kind, unsigned long long>) {
            return holds<Rel>(compareTextToUnsigned(cTextOf(left), right), 0);
        } else {
            return holds<Rel>(readNumberAs<Kind>(cTextOf(left)), static_cast<Kind>(right));
        }
    } else {
        using Kind = NumberKind<L>;
        if constexpr (std::same_as<Kind, unsigned long long>) {
            return holds<Rel>(0, compareTextToUnsigned(cTextOf(right), left));
        } else {
            return holds<Rel>(static_cast<Kind>(left), readNumberAs<Kind>(cTextOf(right)));
        }
    }
}

// Every pair that can be an operator: one operand is a string.
template <typename L, typename R>
concept OperatorPair = ComparablePair<L, R> && (StringOperand<L> || StringOperand<R>);

}  // namespace rtstring

template <typename L, typename R>
    requires rtstring::OperatorPair<L, R>
bool operator==(const L& left, const R& right) {
    return rtstring::relation<rtstring::Relation::Equal>(left, right);
}

template <typename L, typename R>
    requires rtstring::OperatorPair<L, R>
bool operator!=(const L& left, const R& right) {
    return rtstring::relation<rtstring::Relation::NotEqual>(left, right);
}

template <typename L, typename R>
    requires rtstring::OperatorPair<L, R>
bool operator<(const L& left, const R& right) {
    return rtstring::relation<rtstring::Relation::Less>(left, right);
}

template <typename L, typename R>
    requires rtstring::OperatorPair<L, R>
bool operator<=(const L& left, const R& right) {
    return rtstring::relation<rtstring::Relation::LessEqual>(left, right);
}

template <typename L, typename R>
    requires rtstring::OperatorPair<L, R>
bool operator>(const L& left, const R& right) {
    return rtstring::relation<rtstring::Relation::Greater>(left, right);
}

template <typename L, typename R>
    requires rtstring::OperatorPair<L, R>
bool operator>=(const L& left, const R& right) {
    return rtstring::relation<rtstring::Relation::GreaterEqual>(left, right);
}
