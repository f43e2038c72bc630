// The append and concatenation families over every operand kind.
//
// One template each: concatOperands makes the result from the left operand
// (a copy of a string, the C text, or the number's own constructor, so a
// double on the left leaves the result with that constructor's 80 bytes) and
// appends the right one; appendOperand appends any operand. A number on the
// right contributes exactly the text its constructor would make, formed on
// the stack instead of in a temporary string: the receiver grows by the same
// rule either way. An unsigned 64-bit number has no constructor: it gives
// its decimal digits, on the left with the room a long long's constructor
// takes.
//
// Included at the end of rt_string.h; do not include it on its own.
#pragma once
#include "runtime/strings/number_format.h"

namespace rtstring {

// The text of a number operand, in a buffer of its own.
struct NumberText {
    char text[kShortDoubleTextSize];
    uint32_t length;

    template <NumberOperand N>
    explicit NumberText(N value) {
        using Kind = NumberKind<N>;
        if constexpr (std::same_as<Kind, double>) {
            length = writeShortDoubleText(static_cast<double>(value), text);
        } else if constexpr (std::same_as<Kind, int>) {
            length = writeInt32Text(static_cast<int>(value), text);
        } else if constexpr (std::same_as<Kind, unsigned long long>) {
            length = writeUInt64Text(static_cast<unsigned long long>(value), text);
        } else {
            length = writeInt64Text(static_cast<long long>(value), text);
        }
    }
};
static_assert(kShortDoubleTextSize >= kIntegerTextSize);

// Appends the text of any operand; an operand of no bytes changes nothing.
template <typename T>
    requires AnyOperand<T>
void appendOperand(RtString& target, const T& operand) {
    if constexpr (StringOperand<T>) {
        target += operand;
    } else if constexpr (CTextOperand<T>) {
        target += static_cast<const char*>(operand);
    } else {
        NumberText number(operand);
        target.appendBytes(number.text, number.length);
    }
}

// The result that a concatenation starts from.
template <typename T>
    requires AnyOperand<T>
RtString startConcat(const T& left) {
    if constexpr (StringOperand<T>) {
        return RtString(left);
    } else if constexpr (CTextOperand<T>) {
        return RtString(static_cast<const char*>(left));
    } else if constexpr (std::same_as<NumberKind<T>, unsigned long long>) {
        RtString result;
        result.reserve(63, false);  // the room RtString(long long) takes
        result.length = writeUInt64Text(static_cast<unsigned long long>(left), result.data);
        return result;
    } else {
        return RtString(static_cast<NumberKind<T>>(left));
    }
}

template <typename L, typename R>
    requires AnyOperand<L> && AnyOperand<R> && (TextOperand<L> || TextOperand<R>)
RtString concatOperands(const L& left, const R& right) {
    RtString result = startConcat(left);
    appendOperand(result, right);
    return result;
}

// A string with a number on either side; the pairs of two texts are the
// plain operators of rt_string.h.
template <typename L, typename R>
concept StringNumberPair = (StringOperand<L> && NumberOperand<R>) ||
                           (NumberOperand<L> && StringOperand<R>);

// C text with a number on either side: no operator can take these.
template <typename L, typename R>
concept CTextNumberPair = (CTextOperand<L> && NumberOperand<R>) ||
                          (NumberOperand<L> && CTextOperand<R>);

}  // namespace rtstring

template <rtstring::NumberOperand N>
RtString& RtString::operator+=(N value) {
    rtstring::appendOperand(*this, value);
    return *this;
}

template <typename L, typename R>
    requires rtstring::StringNumberPair<L, R>
RtString operator+(const L& left, const R& right) {
    return rtstring::concatOperands(left, right);
}

// A character or a truth value beside a string would otherwise become the
// string of its number through the int constructor.
template <typename C>
    requires rtstring::CharacterType<C> || std::same_as<C, bool>
RtString operator+(const RtString&, C) = delete;
template <typename C>
    requires rtstring::CharacterType<C> || std::same_as<C, bool>
RtString operator+(C, const RtString&) = delete;

// concatText("x", 5) is "x5", concatText(5, "x") is "5x".
template <typename L, typename R>
    requires rtstring::CTextNumberPair<L, R>
RtString concatText(const L& left, const R& right) {
    return rtstring::concatOperands(left, right);
}
