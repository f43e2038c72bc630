// A connection's messages not handled yet (message_backlog.h).
// Depends on the session messages.
#include "net/message_backlog.h"

SessionMessage* MessageBacklog::next() {
    if (stopped_) return nullptr;
    // Everything before at_ is a text that waits: the scan resumes there.
    for (; at_ < messages_.size(); ++at_) {
        const uint8_t kind = messages_[at_].header.kind;
        if (!textsWait_) return &messages_[at_];
        if (kind == kKindText) continue;
        // A request or a removal changes who the waiting texts go to, and
        // the replies after it keep their order: all wait with the texts.
        if (kind == kKindPlayerRequest || kind == kKindRemovePlayer) return nullptr;
        return &messages_[at_];
    }
    return nullptr;
}

void MessageBacklog::handled() {
    if (at_ < messages_.size()) messages_.erase(messages_.begin() + static_cast<std::ptrdiff_t>(at_));
}

void MessageBacklog::waits() {
    if (at_ >= messages_.size()) return;
    if (messages_[at_].header.kind == kKindText) {
        textsWait_ = true;
    } else {
        stopped_ = true;
    }
}
