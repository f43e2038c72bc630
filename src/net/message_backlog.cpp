// A connection's messages not handled yet (message_backlog.h).
// Depends on the session messages.
#include "net/message_backlog.h"

SessionMessage* MessageBacklog::next() {
    if (stopped_) return nullptr;
    for (at_ = 0; at_ < messages_.size(); ++at_) {
        if (!textsWait_ || messages_[at_].header.kind != kKindText) return &messages_[at_];
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
