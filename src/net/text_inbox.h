// A local player's texts, oldest first, held as they travel (header and
// payload), so that a text costs its own bytes and no more. A text that
// finds no room within the bound is lost to this player alone and counted
// until the player's program is told (takeLost): a program that does not
// read pays for it, and nobody else does.
// Depends on the session messages and the byte queue.
#pragma once
#include <cstddef>
#include <cstdint>

#include "net/byte_queue.h"
#include "net/session_message.h"

class TextInbox {
public:
    // Keeps the text when the inbox then holds no more than boundBytes;
    // otherwise counts it as lost. True when kept.
    bool push(const SessionMessage& text, size_t boundBytes);
    // The oldest text, taken out; false when there is none.
    bool pop(SessionMessage* text);
    size_t count() const { return count_; }
    size_t bytes() const { return bytes_.size(); }  // header and payload bytes held
    // The texts lost since the last call.
    uint64_t takeLost();

private:
    ByteQueue bytes_;
    size_t count_ = 0;
    uint64_t lost_ = 0;
};
