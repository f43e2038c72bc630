// The replies a process awaits from its host, matched in the order sent
// (awaited_replies.h).
// Depends on nothing but the standard library.
#include "net/awaited_replies.h"

#include <algorithm>

void AwaitedReplies::expect(uint8_t kind, const NetPlayer* record, bool waited) {
    if (entries_.size() >= kAwaitedRepliesMax) entries_.erase(entries_.begin());
    entries_.push_back(Entry{kind, waited, record});
}

bool AwaitedReplies::giveUp(const NetPlayer* record, bool keep) {
    // A question is one whose command waits and that has no record; the
    // commands run on one thread, so at most one question waits at a time.
    const auto awaited = std::find_if(entries_.begin(), entries_.end(), [record](const Entry& e) {
        return e.waited && e.record == record;
    });
    if (awaited == entries_.end()) return false;
    if (keep) {
        awaited->waited = false;
        awaited->record = nullptr;
    } else {
        entries_.erase(awaited);
    }
    return true;
}

bool AwaitedReplies::match(uint8_t kind, Entry* answered) {
    const auto reply = std::find_if(entries_.begin(), entries_.end(), [kind](const Entry& e) { return e.kind == kind; });
    if (reply == entries_.end()) return false;
    *answered = *reply;
    entries_.erase(entries_.begin(), reply + 1);
    return true;
}
