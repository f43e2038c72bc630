// A local player's texts (text_inbox.h).
// Depends on the session messages and the byte queue.
#include "net/text_inbox.h"

#include <cstring>

bool TextInbox::push(const SessionMessage& text, size_t boundBytes) {
    uint8_t wire[kSessionHeaderBytes + kSessionPayloadMax];
    const uint32_t size = encodeSessionMessage(text, wire);
    if (size == 0 || bytes_.size() + size > boundBytes) {
        ++lost_;
        return false;
    }
    bytes_.append(wire, size);
    ++count_;
    return true;
}

bool TextInbox::pop(SessionMessage* text) {
    if (count_ == 0) return false;
    text->header = decodeSessionHeader(bytes_.front());
    const uint16_t length = text->header.length;
    std::memcpy(text->payload, bytes_.front() + kSessionHeaderBytes, length);
    text->payload[length] = 0;
    bytes_.take(kSessionHeaderBytes + length);
    --count_;
    return true;
}

uint64_t TextInbox::takeLost() {
    const uint64_t lost = lost_;
    lost_ = 0;
    return lost;
}
