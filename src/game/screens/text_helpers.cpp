// The toolkit's text and number routines.
#include <cmath>

#include "game/screens/game_helpers.h"
#include "runtime/services/mathematics.h"
#include "runtime/strings/text_edit.h"

RtString AngleToText(double angle) {
    const int32_t degrees = truncateToInt32(angle);
    const double fraction = std::fabs(angle - degrees);
    const int32_t minutes = truncateToInt32(fraction * 60);
    const double rest = fraction - minutes / 60.0;
    const int32_t seconds = truncateToInt32(rest * 3600);
    RtString text(degrees);
    text += "\xB0 ";
    text += minutes;
    text += "' ";
    text += seconds;
    text += "\"";
    return text;
}

RtString LongitudeToText(double angle) { return AngleToText(angle) + (angle < 0 ? " W" : " E"); }

RtString LatitudeToText(double angle) { return AngleToText(angle) + (angle < 0 ? " S" : " N"); }

double Clamp(double value, double low, double high) {
    if (value >= low && value <= high) return value;
    return value > high ? high : low;  // below low, or not a number
}

RtString FileNameOfPath(const RtString& path) {
    uint32_t start = 0;
    for (uint32_t i = 0; i < path.length; ++i) {
        if (path.data[i] == '/' || path.data[i] == '\\') start = i + 1;
    }
    return RtString::fromBytes(path.data + start, path.length - start);
}

RtString SplitTokens(const RtString& text, int n, const RtString& separator) {
    if (n < 1) return RtString();
    const bool hasSeparator = separator.length > 0;
    const char cut = hasSeparator ? separator.data[0] : '\0';
    uint32_t fieldStart = 0;
    for (uint32_t i = 0; i <= text.length; ++i) {
        const bool atEnd = i == text.length;
        if (!atEnd && !(hasSeparator && text.data[i] == cut)) continue;
        if (--n == 0) return RtString::fromBytes(text.data + fieldStart, i - fieldStart);
        fieldStart = i + 1;
    }
    return RtString();
}

RtString GetTagAttribute(const RtString& text, const RtString& key) {
    const RtString blank(" "), equals("="), none;
    for (int n = 1; n <= 32; ++n) {
        RtString field = SplitTokens(text, n, blank);
        field = ReplaceText(field, RtString("\""), none);
        field = ReplaceText(field, RtString("<"), none);
        field = ReplaceText(field, RtString(">"), none);
        if (field.isEmpty()) break;
        if (SplitTokens(field, 1, equals).equals(key)) {
            RtString value = SplitTokens(field, 2, equals);
            if (value.length > 0 && value.data[value.length - 1] == '/') value.truncate(static_cast<int>(value.length) - 1);
            return value;
        }
    }
    return RtString("0");
}
