// A session connection's receive buffer and send queue (session_link.h).
// Depends on the session messages and the socket layer.
#include "net/session_link.h"

#include <algorithm>
#include <cstring>

#include "net/socket_table.h"

namespace {

constexpr uint32_t kDropChunkBytes = 4096;  // read at a time of an overlong payload
// Bytes already sent are cut from the front of the queue once this many
// have gathered (or when everything has gone).
constexpr size_t kCompactBytes = 64 * 1024;

}  // namespace

void SessionLink::clear() {
    partialBytes_ = 0;
    droppingBytes_ = 0;
    inMessage_ = false;
    std::lock_guard<std::mutex> guard(sendLock_);
    queued_.clear();
    sentUpTo_ = 0;
    endCause_ = 0;
}

void SessionLink::end(int32_t cause) {
    int32_t none = 0;
    endCause_.compare_exchange_strong(none, cause != 0 ? cause : platform::kSockConnectionReset);
}

void SessionLink::receive(int32_t slot, uint32_t nowMs, uint32_t maxMessages, std::vector<SessionMessage>& whole) {
    uint8_t scrap[kDropChunkBytes];
    uint32_t messages = 0;
    // Dropping an overlong payload takes several reads; they are held to a
    // few per message of the allowance too.
    for (uint32_t reads = 0; messages < maxMessages && reads < 4 * maxMessages && endCause() == 0; ++reads) {
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
        if (got <= 0) {
            end(got == 0 ? platform::kSockConnectionReset : lastSocketError());  // 0: the peer closed or reset it
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

bool SessionLink::send(int32_t slot, const SessionMessage& message, uint32_t boundBytes) {
    uint8_t wire[kSessionHeaderBytes + kSessionPayloadMax];
    const uint32_t size = encodeSessionMessage(message, wire);
    std::lock_guard<std::mutex> guard(sendLock_);
    if (endCause() != 0) return false;
    if (size == 0) {  // longer than the format carries: nothing of it goes
        setSocketError(platform::kSockMessageSize);
        return false;
    }
    queued_.append(reinterpret_cast<const char*>(wire), size);
    flushLocked(slot);
    if (queued_.size() - sentUpTo_ > boundBytes) end(platform::kSockNoBufferSpace);
    return endCause() == 0;
}

void SessionLink::flush(int32_t slot) {
    std::lock_guard<std::mutex> guard(sendLock_);
    flushLocked(slot);
}

bool SessionLink::hasQueued() { return queuedBytes() > 0; }

size_t SessionLink::queuedBytes() {
    std::lock_guard<std::mutex> guard(sendLock_);
    return queued_.size() - sentUpTo_;
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
    }
    if (sentUpTo_ == queued_.size()) {
        queued_.clear();
        sentUpTo_ = 0;
    } else if (sentUpTo_ >= kCompactBytes) {
        queued_.erase(0, sentUpTo_);
        sentUpTo_ = 0;
    }
}
