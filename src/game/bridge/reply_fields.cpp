// Walks the entries of a reply once per lookup: replies are a few hundred
// bytes and a frame looks up about a dozen actions.
#include "game/bridge/reply_fields.h"

#include <cstring>

#include "runtime/strings/number_format.h"

bool findReplyField(const RtString& reply, const char* name, const char*& value, uint32_t& length) {
    const uint32_t nameLength = measureText(name);
    if (nameLength == 0) return false;
    const char* entry = reply.data;
    const char* const end = reply.data + reply.length;
    while (entry < end) {
        const void* separator = std::memchr(entry, ';', static_cast<size_t>(end - entry));
        const char* entryEnd = separator ? static_cast<const char*>(separator) : end;
        const size_t entryLength = static_cast<size_t>(entryEnd - entry);
        if (entryLength > nameLength && entry[nameLength] == '=' && std::memcmp(entry, name, nameLength) == 0) {
            value = entry + nameLength + 1;
            length = static_cast<uint32_t>(entryEnd - value);
            return true;
        }
        entry = entryEnd + 1;
    }
    return false;
}

double replyFieldNumber(const RtString& reply, const char* name) {
    const char* value = nullptr;
    uint32_t length = 0;
    if (!findReplyField(reply, name, value, length) || length == 0) return 0.0;
    // The value ends at ";" or at the reply's NUL, where the number reader stops.
    return rtstring::parseDoubleText(value);
}

RtString replyFieldText(const RtString& reply, const char* name, const char* missing) {
    const char* value = nullptr;
    uint32_t length = 0;
    if (!findReplyField(reply, name, value, length)) return RtString(missing);
    return RtString::fromBytes(value, length);
}
