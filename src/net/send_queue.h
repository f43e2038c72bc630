// A connection's bytes still to go out, as whole messages in two queues:
// replies (the host's ids and answers, kinds 2 and 101 to 104), which go
// ahead of the texts waiting, and everything else, in the order queued. A
// reply never goes inside a message already begun: while the front text
// is partly sent, only its rest goes, then the replies.
//
// The queue also knows how far its reader has fallen behind: the age of
// the oldest text still queued, counted on a clock that runs only while
// the reader's system takes what is sent (observe), whether or not its
// program reads: a program that stopped, whose system still answers for
// it, falls behind, while an outage, in which nothing sent is taken, stops
// the clock and is the silence rule's to judge (session_link.h). Texts
// stamped with the same millisecond of that clock share one record, so the
// bookkeeping stays small however many messages wait.
// Not locked: its owner (session_link.h) guards it.
// Depends on the session messages and the byte queue.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>

#include "net/byte_queue.h"
#include "net/session_message.h"

class SendQueue {
public:
    void clear();
    // Appends one whole message as it travels (encodeSessionMessage).
    void pushText(const uint8_t* wire, size_t size);
    void pushReply(const uint8_t* wire, size_t size);

    size_t size() const { return replies_.size() + texts_.size(); }
    bool empty() const { return size() == 0; }
    bool hasTexts() const { return !texts_.empty(); }

    // The bytes to hand the socket next, *count of them (0: none).
    const uint8_t* next(size_t* count) const;
    // The socket took count bytes (at most what next() gave).
    void take(size_t count);

    // A look at nowMs: whether the reader's system takes what is sent now.
    // The time since the last look counts when it does.
    void observe(uint32_t nowMs, bool takes);
    // How far the reader has fallen behind, in milliseconds; 0 with no text queued.
    uint32_t lagMs() const;

private:
    struct Stamp {
        uint32_t clockMs;  // the lag clock when queued
        size_t bytes;      // of the texts queued then, still here
    };

    bool repliesFirst() const { return !replies_.empty() && begunLeft_ == 0; }

    ByteQueue replies_;
    ByteQueue texts_;
    size_t begunLeft_ = 0;  // bytes still to go of the front text once its first went
    std::deque<Stamp> stamps_;
    uint32_t clockMs_ = 0;
    uint32_t lastLookMs_ = 0;
    bool looked_ = false;
};
