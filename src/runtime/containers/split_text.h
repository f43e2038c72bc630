// SplitText: cuts a text into tokens at any of a set of delimiter characters
// and stores them, in text order from index 0, in a one-dimensional string
// array. Returns the number of tokens (the array's first size).
//
// With skipEmpty 0 a leading delimiter and two delimiters in a row give empty
// tokens; a delimiter at the very end gives none. With skipEmpty non-zero no
// empty token is stored. An empty delimiter set splits nothing: a non-empty
// text is one token. Text and delimiters are taken as their length in bytes.
#pragma once
#include <cstdint>

#include "runtime/containers/rt_array.h"
#include "runtime/strings/rt_string.h"

int32_t SplitText(const RtString& text, RtArray<RtString>& out, const RtString& delimiters, int32_t skipEmpty);
