// Listing the working directory into a string array, with the wildcard match
// and the case-blind order that the listing uses.
//
// The result holds first the directory names (every one, "." and ".."
// included, whatever the pattern), then the names of the other entries that
// match the pattern, each part sorted without regard to the case of ASCII
// letters. A symbolic link counts as what it points to. Names that differ
// only in letter case (possible here, not where the rules were made) keep a
// fixed order among themselves: byte order decides between them.
#pragma once
#include <cstdint>

#include "runtime/containers/rt_array.h"
#include "runtime/strings/rt_string.h"

// Letters compare without case (A to Z only); "?" matches any one character
// but "."; "*" matches any run, dots included, also the empty one; "*.*" on
// its own matches every name, also one without a dot.
bool matchWildcard(const char* pattern, const char* name);

// The texts compared with A to Z folded to a to z, as a number below, at or
// above 0; the compare routine of the listing's sort.
double compareTextNoCase(const RtString* a, const RtString* b);

// Fills `out` (one dimension, directories then files) and returns
// directories x 65,536 + files. A directory that cannot be read gives an
// empty array and 0.
double ListDirectory(const RtString& pattern, RtArray<RtString>& out);
