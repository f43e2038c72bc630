// SplitText. The text and the delimiter set are copied before the array is
// emptied, so either may be an element of that array. The array is emptied
// with its storage released (the plain way leaves a buffer that nothing
// owns); the first push then makes a new one of 64 slots.
#include "runtime/containers/split_text.h"

#include <cstring>

namespace {

// One flag per byte value.
struct DelimiterSet {
    bool member[256] = {};

    explicit DelimiterSet(const RtString& delimiters) {
        for (uint32_t n = 0; n < delimiters.length; ++n) {
            member[static_cast<unsigned char>(delimiters.data[n])] = true;
        }
    }
    bool contains(char c) const { return member[static_cast<unsigned char>(c)]; }
};

void assignBytes(RtString& target, const char* bytes, uint32_t n) {
    if (n == 0) {
        target = RtString();
        return;
    }
    target.reserve(n, false);
    std::memcpy(target.data, bytes, n);
    target.data[n] = '\0';
    target.length = n;
}

}  // namespace

int32_t SplitText(const RtString& text, RtArray<RtString>& out, const RtString& delimiters, int32_t skipEmpty) {
    const DelimiterSet set(delimiters);
    const RtString working(text);
    RtString token;
    out.dim(0);

    const char* p = working.data;
    const char* end = working.data + working.length;
    while (p < end) {
        if (skipEmpty != 0) {
            const char* first = p;
            while (first < end && set.contains(*first)) ++first;
            if (first < end) p = first;  // only delimiters left: p stays
        }
        const char* q = p;
        while (q < end && !set.contains(*q)) ++q;
        if (q == end) {
            assignBytes(token, p, static_cast<uint32_t>(end - p));
            out.push(token);
            break;
        }
        if (q > p || skipEmpty == 0) {
            assignBytes(token, p, static_cast<uint32_t>(q - p));
            out.push(token);
        }
        p = q + 1;
    }
    return out.bound(0);
}
