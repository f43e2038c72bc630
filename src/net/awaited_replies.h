// What a process waits to hear from its session's host, in the order it was
// sent: its player requests (each answered by a kind-2 id) and its questions
// (each answered in its own kind).
//
// The host handles one connection's messages in the order they came and
// answers each at most once, on that same connection, in that order. So a
// reply belongs to the oldest awaited message of its kind, and every message
// sent before that one whose reply has not come was dropped by the host (a
// closed host drops requests, a host drops questions from an asker it does
// not know): its reply will never come, and it is forgotten. A message whose
// command gave up waiting stays awaited until its reply comes or it is
// forgotten so, and that reply is dropped, never taken as the reply to a
// later message of its kind.
//
// One case remains: a message dropped ahead of a later one of the same kind
// would take that later reply. The network object (net_session.h) therefore
// sends, whenever a command gives up, a question the host always answers;
// its answer settles everything sent before it.
// Depends on nothing but the standard library.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct NetPlayer;

// More awaited replies than this means the host has stopped answering; the
// oldest is then forgotten, so a silent host cannot make the list grow.
inline constexpr size_t kAwaitedRepliesMax = 64;

class AwaitedReplies {
public:
    struct Entry {
        uint8_t kind = 0;                   // the kind of the reply
        bool waited = true;                 // a command still waits for it
        const NetPlayer* record = nullptr;  // a request's local record, while it waits
    };

    void clear() { entries_.clear(); }
    size_t size() const { return entries_.size(); }

    // A message whose reply is of the kind has just been sent: a request
    // with its local record, or a question (null record). Not waited: a
    // message whose reply nobody takes.
    void expect(uint8_t kind, const NetPlayer* record, bool waited = true);
    // Its command no longer waits for the reply to the request of the record
    // (null: to the question waited now). Kept, the message stays awaited
    // until its reply comes or it is settled; otherwise it is forgotten at
    // once. False when no reply to it was awaited (not sent, or settled).
    bool giveUp(const NetPlayer* record, bool keep);
    // The message a reply of the kind answers, taken out together with every
    // message sent before it; false (nothing changed) when no message of
    // that kind is awaited.
    bool match(uint8_t kind, Entry* answered);

private:
    std::vector<Entry> entries_;  // oldest first; a few at most
};
