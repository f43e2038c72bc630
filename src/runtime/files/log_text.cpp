// The log's escapes for control characters in names.
#include "runtime/files/log_text.h"

#include "runtime/strings/ascii_text.h"

namespace files {

std::string escapeForLog(const std::string& text) {
    using rtstring::kLowerHexDigits;
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') shown += "\\n";
        else if (c == '\r') shown += "\\r";
        else if (c == '\t') shown += "\\t";
        else if (c == '\\') shown += "\\\\";
        else if (byte < 0x20 || byte == 0x7f)
            shown.append("\\x").append(1, kLowerHexDigits[byte >> 4]).append(1, kLowerHexDigits[byte & 15]);
        else shown += c;
    }
    return shown;
}

}  // namespace files
