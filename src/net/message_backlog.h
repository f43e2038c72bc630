// The messages one connection brought that are not handled yet, oldest
// first. Texts keep their order: once one of them must wait (its player's
// inbox is full, or the queue it goes to is), every later text waits behind
// it. Ids, answers and questions change nothing a text depends on and may be
// handled ahead of the texts that wait, so that a program that has not read
// its texts yet still gets its answers. Player requests and removals change
// who a text goes to (a removal taken first would drop the texts sent to
// that player before it): they wait with the texts, and so does everything
// after them, so that replies keep the order of what they answer.
// Depends on the session messages.
#pragma once
#include <cstddef>
#include <deque>

#include "net/session_message.h"

class MessageBacklog {
public:
    // Where a receive appends what it read.
    std::deque<SessionMessage>& arriving() { return messages_; }
    size_t size() const { return messages_.size(); }
    bool empty() const { return messages_.empty(); }

    // A new pass: whatever waited may be tried again.
    void retry() {
        at_ = 0;
        textsWait_ = stopped_ = false;
    }
    // The next message that may be handled now; null when none may.
    SessionMessage* next();
    // The message next() gave was handled: it leaves the backlog.
    void handled();
    // The message next() gave must wait: a text holds back every later text,
    // any other message everything after it, until the next pass.
    void waits();

private:
    std::deque<SessionMessage> messages_;
    size_t at_ = 0;           // the message next() gave; the texts before it wait
    bool textsWait_ = false;  // a text waits: later texts too
    bool stopped_ = false;    // a message of another kind waits: nothing more this pass
};
