// Constant data lists of numbers and texts, read item by item in order.
// Reading past the end of the current list is fatal: code 20, then the
// orderly end; the target keeps its value.
#pragma once
#include <cstdint>

#include "runtime/strings/rt_string.h"

struct DataItem {
    double number;
    const char* text;  // null when the item is a number
};

struct DataList {
    const DataItem* items;
    int32_t count;
    int32_t readIndex;  // the next item to read
};

extern DataList* currentDataList;  // null at start

// Makes the list current and rewinds it.
void RestoreData(DataList* list);
// A number item is truncated toward zero (NaN and numbers outside the 32-bit
// range give the smallest 32-bit integer); a text item is read as the
// runtime reads text as an integer (atoi).
void ReadDataInt(int32_t* out);
// A number item is copied; a text item is read as the runtime reads
// text as a number (atof).
void ReadDataFloat(double* out);
// A text item is copied; a number item becomes its number text.
void ReadDataString(RtString* out);
