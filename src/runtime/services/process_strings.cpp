// The process strings.
#include "runtime/services/process_strings.h"

#include <utility>

RtString& commandLineString() {
    static RtString text;
    return text;
}

RtString& projectNameString() {
    static RtString text;
    return text;
}

RtString& windowTitleString() {
    static RtString text;
    return text;
}

RtString GetCommandLineString() { return commandLineString(); }

void setCommandLineString(const char* text) {
    RtString fresh(text);
    RtString& stored = commandLineString();
    std::swap(stored.data, fresh.data);
    std::swap(stored.capacity, fresh.capacity);
    std::swap(stored.length, fresh.length);
}
