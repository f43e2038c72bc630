// Searching text: the Horspool byte search and the commands built on it.
//
// Positions are 0-based byte offsets; not found is -1. A string operand is
// searched over its stored length, NUL bytes included; C text up to its NUL,
// a null pointer as the empty text. Every text operand may be a string or C
// text, in any combination.
#pragma once
#include <cstdint>

#include "runtime/strings/rt_string.h"

// Offset of the first occurrence of the pattern in the range, or -1; an
// empty or null pattern, a null range and a range shorter than the pattern
// give -1. The 256-entry skip table lives on the stack of one call.
int32_t findBytes(const char* range, uint32_t rangeLength, const char* pattern,
                  uint32_t patternLength);

namespace rtstring {
int32_t findForward(TextView text, TextView pattern, int32_t start);
int32_t findBackward(TextView text, TextView pattern, int32_t limit);
}  // namespace rtstring

// The first occurrence at or after start, or -1 (start at or past the end,
// an empty text). A negative start counts as 0.
template <rtstring::TextOperand T, rtstring::TextOperand P>
int32_t FindText(const T& text, const P& pattern, int32_t start) {
    return rtstring::findForward(rtstring::viewOf(text), rtstring::viewOf(pattern), start);
}

// The last occurrence that begins at or before limit, or -1; a negative
// limit means the last place the pattern fits. Occurrences may overlap.
template <rtstring::TextOperand T, rtstring::TextOperand P>
int32_t FindLastText(const T& text, const P& pattern, int32_t limit) {
    return rtstring::findBackward(rtstring::viewOf(text), rtstring::viewOf(pattern), limit);
}

// The first byte of the text that occurs (does not occur) in the set, or
// null; a null text gives null, a null set is the empty set.
const char* findFirstOf(const char* text, const char* set);
const char* findFirstNotOf(const char* text, const char* set);
