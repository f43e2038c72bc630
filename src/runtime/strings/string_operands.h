// The operand kinds of the string operator families.
//
// Every family (append, concatenation, comparison, search) takes its operands
// as one of seven kinds: a string (RtString), C text, int, long long,
// unsigned long long, float or double. C++ code passes more integer types
// than those; each is mapped to the kind that holds all its values: int for
// integers narrower than 32 bits and for signed 32-bit ones, long long for
// the other signed ones and for unsigned 32-bit ones, and unsigned long long
// for unsigned 64-bit ones, so that a value above the long long range keeps
// its digits and its order. float and double both contribute and compare as
// double. bool and the character types are not numbers here: a character is
// appended with appendChar.
#pragma once
#include <concepts>
#include <cstdint>
#include <type_traits>

class RtString;

// Length of C text up to its first NUL; 0 for a null pointer.
uint32_t measureText(const char* text);

namespace rtstring {

template <typename T>
concept CharacterType = std::same_as<T, char> || std::same_as<T, wchar_t> ||
                        std::same_as<T, char8_t> || std::same_as<T, char16_t> ||
                        std::same_as<T, char32_t>;

template <typename T>
concept NumberOperand =
    (std::is_integral_v<T> && !std::same_as<T, bool> && !CharacterType<T>) ||
    std::same_as<T, float> || std::same_as<T, double>;

template <typename T>
concept StringOperand = std::same_as<std::remove_cvref_t<T>, RtString>;

template <typename T>
concept CTextOperand = std::same_as<std::decay_t<T>, const char*> ||
                       std::same_as<std::decay_t<T>, char*>;

template <typename T>
concept TextOperand = StringOperand<T> || CTextOperand<T>;

template <typename T>
concept AnyOperand = TextOperand<T> || NumberOperand<std::remove_cvref_t<T>>;

// The canonical type of a number operand: int, long long, unsigned long long
// or double.
template <NumberOperand N>
using NumberKind = std::conditional_t<
    std::is_floating_point_v<N>, double,
    std::conditional_t<(std::is_signed_v<N> && sizeof(N) <= sizeof(int)) ||
                           (std::is_unsigned_v<N> && sizeof(N) < sizeof(int)),
                       int,
                       std::conditional_t<std::is_unsigned_v<N> && (sizeof(N) > sizeof(int)),
                                          unsigned long long, long long>>>;

// Bytes and length of a text operand: a string's stored length (NULs inside
// count), C text up to its NUL (a null pointer is the empty text).
struct TextView {
    const char* bytes;
    uint32_t length;
};

template <TextOperand T>
TextView viewOf(const T& text) {
    if constexpr (StringOperand<T>) {
        return {text.data, text.length};
    } else {
        const char* p = text;
        return {p ? p : "", measureText(p)};
    }
}

// The NUL-terminated text of an operand, for strcmp and the number readings;
// a null C text reads as the empty text.
template <TextOperand T>
const char* cTextOf(const T& text) {
    if constexpr (StringOperand<T>) {
        return text.data;
    } else {
        const char* p = text;
        return p ? p : "";
    }
}

}  // namespace rtstring
