// A session connection's receive buffer and send queue (session_link.h).
// Depends on the session messages, the byte queue and the socket layer.
#include "net/session_link.h"

#include <algorithm>
#include <cstring>

#include "net/socket_table.h"

namespace {

constexpr uint32_t kDropChunkBytes = 4096;  // read at a time of an overlong payload
// The most one send call is handed, so that a program queueing meanwhile
// never waits for the lock longer than one such call takes.
constexpr size_t kSendChunkBytes = 256 * 1024;

}  // namespace

void SessionLink::clear() {
    partialBytes_ = 0;
    droppingBytes_ = 0;
    inMessage_ = false;
    peerFinished_ = false;
    heldBySystem_ = -1;
    std::lock_guard<std::mutex> guard(sendLock_);
    outgoing_.clear();
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

void SessionLink::pauseDeadline(uint32_t nowMs) {
    if (inMessage_) messageBegunMs_ = nowMs;
}

int32_t SessionLink::queue(const SessionMessage& message, size_t boundBytes) {
    uint8_t wire[kSessionHeaderBytes + kSessionPayloadMax];
    const uint32_t size = encodeSessionMessage(message, wire);
    if (size == 0) return platform::kSockMessageSize;  // nothing of it goes
    std::lock_guard<std::mutex> guard(sendLock_);
    if (endCause() != 0) return endCause();
    if (!outgoing_.empty() && outgoing_.size() + size > boundBytes) return platform::kSockNoBufferSpace;
    outgoing_.append(wire, size);
    return 0;
}

size_t SessionLink::flush(int32_t slot) {
    for (;;) {
        std::lock_guard<std::mutex> guard(sendLock_);
        if (outgoing_.empty() || endCause() != 0) return outgoing_.size();  // an ended link sends nothing
        const size_t chunk = std::min(outgoing_.size(), kSendChunkBytes);
        const int32_t sent = sendAvailableOnSocket(slot, outgoing_.front(), static_cast<int32_t>(chunk));
        if (sent == -2 || sent == 0) return outgoing_.size();
        if (sent < 0) {
            end(lastSocketError());
            return outgoing_.size();
        }
        outgoing_.take(static_cast<size_t>(sent));
    }
}

bool SessionLink::peerStillTaking(int32_t slot, uint32_t nowMs, uint32_t stallMs) {
    const int32_t held = unacknowledgedOnSocket(slot);
    if (held <= 0) return false;  // all arrived (or the socket failed): a close loses nothing
    if (held != heldBySystem_) {
        heldBySystem_ = held;
        heldChangedMs_ = nowMs;
    }
    return nowMs - heldChangedMs_ < stallMs;
}

size_t SessionLink::queuedBytes() {
    std::lock_guard<std::mutex> guard(sendLock_);
    return outgoing_.size();
}
