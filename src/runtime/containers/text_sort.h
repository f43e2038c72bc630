// Sorting a run of string slots in place: a quicksort whose pivot is the
// run's last slot, ascending by strcmp or by a compare routine.
//
// Slots are exchanged field by field, so no text is copied and no storage is
// obtained. The sort is not stable. The scans never leave the run, also with
// a routine that orders inconsistently (the order is then unspecified), and
// the stack stays shallow on sorted input (the shorter part is sorted by
// recursion, the longer one by the loop), with the same result as sorting
// the left part first.
#pragma once
#include <cstdint>

#include "runtime/strings/rt_string.h"

// Takes the places of two slots; below 0 when a sorts first, 0 when equal.
using TextCompareRoutine = double (*)(const RtString* a, const RtString* b);

namespace containers {

// compare(a, b) truncated toward zero to 32 bits: results strictly between
// -1 and 1 count as equal. A result that is not a number counts as equal;
// one beyond the 32-bit range saturates.
int32_t compareTextByRoutine(const RtString* a, const RtString* b, TextCompareRoutine compare);

// Exchanges the three fields of two slots.
void swapTextSlots(RtString* a, RtString* b) noexcept;

// Sorts the slots first..last, both included; null compare means strcmp.
// Nothing happens for null places or for last before first.
void sortTextRun(RtString* first, RtString* last, TextCompareRoutine compare);

}  // namespace containers
