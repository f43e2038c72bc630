// The bounds report's two lines. Depends on the debugger lines of the
// runtime services; the standard-error copy is written here directly.
#include "runtime/containers/bounds_report.h"

#include <cstdio>

#include "runtime/services/debug_output.h"
#include "runtime/strings/rt_string.h"

namespace containers {

namespace {

// "[" + the number right-aligned in four characters + "]"; longer numbers
// widen their entry.
void appendEntry(RtString& text, int32_t value) {
    char entry[16];
    std::snprintf(entry, sizeof entry, "[%4d]", static_cast<int>(value));
    text += entry;
}

void writeToStandardError(const RtString& line) {
    std::fwrite(line.data, 1, line.length, stderr);
    std::fflush(stderr);
}

}  // namespace

void reportArrayBounds(const int32_t sizes[4], const int32_t indices[4], BoundsReportWidth width) {
    RtString sizesText;
    RtString indexText;
    appendEntry(sizesText, sizes[0]);
    appendEntry(indexText, indices[0]);
    int shown = static_cast<int>(width);
    for (int n = 1; n < shown && sizes[n] > 0; ++n) {
        appendEntry(sizesText, sizes[n]);
        appendEntry(indexText, indices[n]);
    }
    RtString boundsLine = "bounds: " + sizesText + "\n";
    RtString accessLine = "access: " + indexText + "\n";
    debugOutput(boundsLine);
    debugOutput(accessLine);
    writeToStandardError(boundsLine);
    writeToStandardError(accessLine);
}

}  // namespace containers
