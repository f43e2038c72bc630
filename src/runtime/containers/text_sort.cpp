// Quicksort of string slots; see text_sort.h.
#include "runtime/containers/text_sort.h"

#include <cmath>
#include <cstddef>
#include <cstring>

namespace containers {

namespace {

struct TextRun {
    RtString* slots;
    TextCompareRoutine compare;

    int compareSlots(ptrdiff_t a, ptrdiff_t b) const {
        if (compare != nullptr) return compareTextByRoutine(slots + a, slots + b, compare);
        return std::strcmp(slots[a].data, slots[b].data);
    }

    // Sorts slots first..last (relative to `slots`, first <= last).
    void sort(ptrdiff_t first, ptrdiff_t last) const {
        for (;;) {
            // The pivot is whatever the last slot holds at each comparison.
            ptrdiff_t i = first;
            ptrdiff_t j = last;
            do {
                while (i < last && compareSlots(i, last) < 0) ++i;
                while (j > first && compareSlots(j, last) > 0) --j;
                if (i <= j) {
                    swapTextSlots(slots + i, slots + j);
                    ++i;
                    --j;
                }
            } while (i <= j);
            bool left = j > first;
            bool right = i < last;
            if (left && right) {
                if (j - first < last - i) {
                    sort(first, j);
                    first = i;
                } else {
                    sort(i, last);
                    last = j;
                }
            } else if (left) {
                last = j;
            } else if (right) {
                first = i;
            } else {
                return;
            }
        }
    }
};

}  // namespace

int32_t compareTextByRoutine(const RtString* a, const RtString* b, TextCompareRoutine compare) {
    double result = compare(a, b);
    if (std::isnan(result)) return 0;
    if (result >= 2147483647.0) return INT32_MAX;
    if (result <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(result);
}

void swapTextSlots(RtString* a, RtString* b) noexcept {
    char* data = a->data;
    uint32_t capacity = a->capacity;
    uint32_t length = a->length;
    a->data = b->data;
    a->capacity = b->capacity;
    a->length = b->length;
    b->data = data;
    b->capacity = capacity;
    b->length = length;
}

void sortTextRun(RtString* first, RtString* last, TextCompareRoutine compare) {
    if (first == nullptr || last == nullptr || last < first) return;
    TextRun run{first, compare};
    run.sort(0, last - first);
}

}  // namespace containers
