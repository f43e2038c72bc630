// The log's escapes for control characters in names.
#include "runtime/files/log_text.h"

namespace files {

std::string escapeForLog(const std::string& text) {
    static const char kHex[] = "0123456789abcdef";
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') shown += "\\n";
        else if (c == '\r') shown += "\\r";
        else if (c == '\t') shown += "\\t";
        else if (c == '\\') shown += "\\\\";
        else if (byte < 0x20 || byte == 0x7f) shown.append("\\x").append(1, kHex[byte >> 4]).append(1, kHex[byte & 15]);
        else shown += c;
    }
    return shown;
}

}  // namespace files
