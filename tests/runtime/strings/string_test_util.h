// Shared helpers of the string suites: readable failure output for RtString
// and its bytes as std::string (NULs kept) for exact comparisons.
#pragma once
#include <ostream>
#include <string>

#include "runtime/strings/rt_string.h"

inline std::string bytesOf(const RtString& s) { return std::string(s.data, s.length); }

inline void PrintTo(const RtString& s, std::ostream* os) {
    *os << '"' << bytesOf(s) << "\" (length " << s.length << ", capacity " << s.capacity << ')';
}
