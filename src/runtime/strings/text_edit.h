// Cutting, trimming, replacing and case conversion of string values.
//
// Each command returns a new value and leaves its arguments as they are.
#pragma once
#include <cstdint>

#include "runtime/strings/rt_string.h"

// `count` bytes from `start`: a negative count means to the end, a count past
// the end is clipped; a start below 0 or at or past the end, or nothing left
// to take, gives the empty value. Start and count are summed in 64 bits.
RtString ExtractSubstring(const RtString& text, int32_t start, int32_t count);
// The text without its trailing (leading) bytes that occur in `set`; an
// empty set gives a copy.
RtString TrimRight(const RtString& text, const RtString& set);
RtString TrimLeft(const RtString& text, const RtString& set);
// Every occurrence of `find`, left to right, replaced; the search goes on
// behind each inserted replacement, so replacement text is never searched
// again. An empty find text replaces nothing.
RtString replaceAll(const RtString& text, const RtString& find, const RtString& replacement);
RtString ReplaceText(const RtString& text, const RtString& find, const RtString& replacement);
// Only A to Z (a to z) change; every other byte, 0x80 to 0xFF included, stays.
RtString LowerCase(const RtString& text);
RtString UpperCase(const RtString& text);
