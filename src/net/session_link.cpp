// A session connection's receive buffer and send queue (session_link.h).
// Depends on the session messages, the socket layer and the clock.
#include "net/session_link.h"

#include <algorithm>
#include <cstring>

#include "net/socket_table.h"
#include "platform/clock.h"

namespace {

constexpr uint32_t kDropChunkBytes = 4096;  // read at a time of an overlong payload
// Bytes already sent are cut from the front of the queue once this many
// have gathered (or when everything has gone).
constexpr size_t kCompactBytes = 64 * 1024;
// A program's send waiting for room looks at the socket this often at least.
constexpr uint32_t kRoomCheckMs = 10;

}  // namespace

void SessionLink::clear() {
    partialBytes_ = 0;
    droppingBytes_ = 0;
    inMessage_ = false;
    peerFinished_ = false;
    std::lock_guard<std::mutex> guard(sendLock_);
    queued_.clear();
    sentUpTo_ = 0;
    sentTotal_ = 0;
    stallWatched_ = false;
    endCause_ = 0;
}

void SessionLink::end(int32_t cause) {
    int32_t none = 0;
    endCause_.compare_exchange_strong(none, cause != 0 ? cause : platform::kSockConnectionReset);
}

void SessionLink::receive(int32_t slot, uint32_t nowMs, uint32_t maxMessages, std::deque<SessionMessage>& whole) {
    uint8_t scrap[kDropChunkBytes];
    uint32_t messages = 0;
    // Dropping an overlong payload takes several reads; they are held to a
    // few per message of the allowance too.
    for (uint32_t reads = 0; messages < maxMessages && reads < 4 * maxMessages && endCause() == 0 && !peerFinished_;
         ++reads) {
        uint8_t* into = partial_ + partialBytes_;
        uint32_t wanted;
        if (droppingBytes_ > 0) {
            into = scrap;
            wanted = std::min(droppingBytes_, kDropChunkBytes);
        } else if (partialBytes_ < kSessionHeaderBytes) {
            wanted = kSessionHeaderBytes - partialBytes_;
        } else {
            wanted = kSessionHeaderBytes + decodeSessionHeader(partial_).length - partialBytes_;
        }
        const int32_t got = receiveOnSocket(slot, into, static_cast<int32_t>(wanted), false);
        if (got == -2) return;
        if (got == 0) {  // the peer shut its sending side, closed, or reset the connection
            peerFinished_ = true;
            return;
        }
        if (got < 0) {
            end(lastSocketError());
            return;
        }
        if (!inMessage_) {
            inMessage_ = true;
            messageBegunMs_ = nowMs;
        }
        if (droppingBytes_ > 0) {
            droppingBytes_ -= static_cast<uint32_t>(got);
            if (droppingBytes_ == 0) {
                inMessage_ = false;
                ++messages;
            }
            continue;
        }
        partialBytes_ += static_cast<uint32_t>(got);
        if (partialBytes_ < kSessionHeaderBytes) continue;
        const SessionMessageHeader header = decodeSessionHeader(partial_);
        if (header.length > kSessionPayloadMax) {
            droppingBytes_ = header.length;
            partialBytes_ = 0;
            continue;
        }
        if (partialBytes_ < kSessionHeaderBytes + header.length) continue;
        SessionMessage& message = whole.emplace_back();
        message.header = header;
        std::memcpy(message.payload, partial_ + kSessionHeaderBytes, header.length);
        message.payload[header.length] = 0;
        partialBytes_ = 0;
        inMessage_ = false;
        ++messages;
    }
}

void SessionLink::checkDeadline(uint32_t nowMs, uint32_t limitMs) {
    if (inMessage_ && nowMs - messageBegunMs_ > limitMs) end(platform::kSockTimedOut);
}

bool SessionLink::queue(const SessionMessage& message) {
    uint8_t wire[kSessionHeaderBytes + kSessionPayloadMax];
    const uint32_t size = encodeSessionMessage(message, wire);
    std::lock_guard<std::mutex> guard(sendLock_);
    if (endCause() != 0) return false;
    if (size == 0) {  // longer than the format carries: nothing of it goes
        setSocketError(platform::kSockMessageSize);
        return false;
    }
    queued_.append(reinterpret_cast<const char*>(wire), size);
    return true;
}

int32_t SessionLink::sendWithin(int32_t slot, const SessionMessage& message, size_t boundBytes, uint32_t waitMs) {
    uint8_t wire[kSessionHeaderBytes + kSessionPayloadMax];
    const uint32_t size = encodeSessionMessage(message, wire);
    if (size == 0) return platform::kSockMessageSize;
    platform::ClockPort& clock = platform::clockPort();
    const uint32_t start = clock.tickMillis();
    std::unique_lock<std::mutex> guard(sendLock_);
    for (;;) {
        flushLocked(slot);  // sends nothing once the link has ended
        if (endCause() != 0) return endCause();
        const size_t queued = queuedLocked();
        if (queued == 0 || queued + size <= boundBytes) break;
        const uint32_t waited = clock.tickMillis() - start;
        if (waited >= waitMs) return platform::kSockTimedOut;
        // The session thread may flush meanwhile, so the lock is not held
        // while waiting for the socket to take more.
        guard.unlock();
        waitForSocket(slot, true, std::min(waitMs - waited, kRoomCheckMs));
        guard.lock();
    }
    queued_.append(reinterpret_cast<const char*>(wire), size);
    flushLocked(slot);
    return endCause();
}

size_t SessionLink::flush(int32_t slot) {
    std::lock_guard<std::mutex> guard(sendLock_);
    flushLocked(slot);
    return queuedLocked();
}

size_t SessionLink::queuedBytes() {
    std::lock_guard<std::mutex> guard(sendLock_);
    return queuedLocked();
}

void SessionLink::checkSendStall(uint32_t nowMs, size_t boundBytes, uint32_t limitMs) {
    std::lock_guard<std::mutex> guard(sendLock_);
    // Once the queue has passed the bound, the peer must take a bound's
    // worth (at least a byte; emptying the queue takes more) within the
    // limit. Dipping just under the bound is not enough: its senders are
    // held back again by the next message, so a peer that only trickles
    // would set their pace without end.
    const uint64_t enough = std::max<uint64_t>(boundBytes, 1);
    if (!stallWatched_ || sentTotal_ - stallMark_ >= enough) {
        stallWatched_ = queuedLocked() > boundBytes;
        stallMark_ = sentTotal_;
        stallSinceMs_ = nowMs;
    } else if (nowMs - stallSinceMs_ > limitMs) {
        end(platform::kSockNoBufferSpace);
    }
}

void SessionLink::flushLocked(int32_t slot) {
    while (sentUpTo_ < queued_.size() && endCause() == 0) {
        const size_t left = queued_.size() - sentUpTo_;
        const int32_t n = left > static_cast<size_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(left);
        const int32_t sent = sendAvailableOnSocket(slot, queued_.data() + sentUpTo_, n);
        if (sent == -2 || sent == 0) break;
        if (sent < 0) {
            end(lastSocketError());
            break;
        }
        sentUpTo_ += static_cast<size_t>(sent);
        sentTotal_ += static_cast<uint64_t>(sent);
    }
    if (sentUpTo_ == queued_.size()) {
        queued_.clear();
        sentUpTo_ = 0;
    } else if (sentUpTo_ >= kCompactBytes) {
        queued_.erase(0, sentUpTo_);
        sentUpTo_ = 0;
    }
}
