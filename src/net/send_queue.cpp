// A connection's outgoing messages, replies first, and its reader's lag
// (send_queue.h).
// Depends on the session messages and the byte queue.
#include "net/send_queue.h"

#include <algorithm>

void SendQueue::clear() {
    replies_.clear();
    texts_.clear();
    begunLeft_ = 0;
    stamps_.clear();
    looked_ = false;
}

void SendQueue::pushText(const uint8_t* wire, size_t size) {
    texts_.append(wire, size);
    if (!stamps_.empty() && stamps_.back().clockMs == clockMs_) {
        stamps_.back().bytes += size;
    } else {
        stamps_.push_back(Stamp{clockMs_, size});
    }
}

void SendQueue::pushReply(const uint8_t* wire, size_t size) { replies_.append(wire, size); }

const uint8_t* SendQueue::next(size_t* count) const {
    if (repliesFirst()) {
        *count = replies_.size();
        return replies_.front();
    }
    // With replies waiting, a begun text goes no further than its own end.
    *count = replies_.empty() || begunLeft_ == 0 ? texts_.size() : begunLeft_;
    return texts_.front();
}

void SendQueue::take(size_t count) {
    if (repliesFirst()) {
        replies_.take(count);
        return;
    }
    count = std::min(count, texts_.size());
    while (count > 0) {
        if (begunLeft_ == 0) begunLeft_ = kSessionHeaderBytes + decodeSessionHeader(texts_.front()).length;
        const size_t part = std::min(count, begunLeft_);
        begunLeft_ -= part;
        count -= part;
        texts_.take(part);
        for (size_t left = part; left > 0;) {
            const size_t used = std::min(left, stamps_.front().bytes);
            stamps_.front().bytes -= used;
            left -= used;
            if (stamps_.front().bytes == 0) stamps_.pop_front();
        }
    }
}

void SendQueue::observe(uint32_t nowMs, bool takes) {
    const uint32_t elapsed = looked_ ? nowMs - lastLookMs_ : 0;
    looked_ = true;
    lastLookMs_ = nowMs;
    if (takes) clockMs_ += elapsed;
}

uint32_t SendQueue::lagMs() const { return stamps_.empty() ? 0 : clockMs_ - stamps_.front().clockMs; }
