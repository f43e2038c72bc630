// Data lists. Depends on the error code, the orderly end and the number text
// of the string values.
#include "runtime/services/data_lists.h"

#include "runtime/engine/orderly_end.h"
#include "runtime/services/mathematics.h"
#include "runtime/services/runtime_error.h"
#include "runtime/strings/number_format.h"

DataList* currentDataList = nullptr;

namespace {

// The next item, or null after the out-of-data end (when that returns
// because the program is already ending).
const DataItem* nextItem() {
    DataList* list = currentDataList;
    if (!list || !list->items || list->readIndex < 0 || list->readIndex >= list->count) {
        setRuntimeError(ErrorOutOfData);
        terminateProgram();
        return nullptr;
    }
    return &list->items[list->readIndex];
}

void advance() { ++currentDataList->readIndex; }

}  // namespace

void RestoreData(DataList* list) {
    if (list) list->readIndex = 0;
    currentDataList = list;
}

void ReadDataInt(int32_t* out) {
    const DataItem* item = nextItem();
    if (!item) return;
    int32_t value = item->text ? rtstring::parseInt32Text(item->text) : truncateToInt32(item->number);
    if (out) *out = value;
    advance();
}

void ReadDataFloat(double* out) {
    const DataItem* item = nextItem();
    if (!item) return;
    double value = item->text ? rtstring::parseDoubleText(item->text) : item->number;
    if (out) *out = value;
    advance();
}

void ReadDataString(RtString* out) {
    const DataItem* item = nextItem();
    if (!item) return;
    if (out) {
        if (item->text) *out = item->text;
        else *out = RtString(item->number);
    }
    advance();
}
