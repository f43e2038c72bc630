// The Horspool byte search and the forward and backward text searches.
#include "runtime/strings/text_search.h"

#include <cstring>

int32_t findBytes(const char* range, uint32_t rangeLength, const char* pattern,
                  uint32_t patternLength) {
    if (patternLength == 0 || range == nullptr || pattern == nullptr) return -1;
    if (rangeLength < patternLength) return -1;
    if (rangeLength == patternLength) return std::memcmp(range, pattern, patternLength) == 0 ? 0 : -1;
    // Positions fit 32 bits signed: longer ranges are cut to what a position can name.
    if (rangeLength > INT32_MAX) rangeLength = INT32_MAX;
    const auto* text = reinterpret_cast<const unsigned char*>(range);
    const auto* pat = reinterpret_cast<const unsigned char*>(pattern);
    const uint32_t m = patternLength;
    uint32_t skip[256];
    for (uint32_t& entry : skip) entry = m;
    for (uint32_t i = 0; i + 1 < m; ++i) skip[pat[i]] = m - 1 - i;
    const unsigned char last = pat[m - 1];
    uint32_t pos = 0;
    while (rangeLength - pos >= m) {
        const unsigned char probe = text[pos + m - 1];
        if (probe == last && std::memcmp(text + pos, pat, m - 1) == 0) {
            return static_cast<int32_t>(pos);
        }
        pos += skip[probe];
    }
    return -1;
}

namespace rtstring {

int32_t findForward(TextView text, TextView pattern, int32_t start) {
    if (start < 0) start = 0;  // reading before the text is never wanted
    if (static_cast<uint32_t>(start) >= text.length) return -1;
    int32_t found = findBytes(text.bytes + start, text.length - start, pattern.bytes, pattern.length);
    return found < 0 ? -1 : found + start;
}

int32_t findBackward(TextView text, TextView pattern, int32_t limit) {
    if (limit < 0) {
        int64_t lastPlace = int64_t{text.length} - pattern.length;
        if (lastPlace < 0) return -1;
        limit = lastPlace > INT32_MAX ? INT32_MAX : static_cast<int32_t>(lastPlace);
    }
    int32_t last = -1;
    uint32_t from = 0;
    while (from <= text.length) {
        int32_t found = findBytes(text.bytes + from, text.length - from, pattern.bytes, pattern.length);
        if (found < 0) break;
        int64_t at = int64_t{found} + from;
        if (at > limit) break;
        last = static_cast<int32_t>(at);
        from = static_cast<uint32_t>(at) + 1;
    }
    return last;
}

}  // namespace rtstring

const char* findFirstOf(const char* text, const char* set) {
    if (text == nullptr) return nullptr;
    if (set == nullptr) set = "";
    for (const char* p = text; *p; ++p) {
        if (std::strchr(set, *p)) return p;
    }
    return nullptr;
}

const char* findFirstNotOf(const char* text, const char* set) {
    if (text == nullptr) return nullptr;
    if (set == nullptr) set = "";
    for (const char* p = text; *p; ++p) {
        if (!std::strchr(set, *p)) return p;
    }
    return nullptr;
}
