// A session connection's receive buffer and send queue (session_link.h).
// Depends on the session messages and the socket layer.
#include "net/session_link.h"

#include <algorithm>
#include <cstring>

#include "net/socket_table.h"

namespace {

constexpr uint32_t kReceiveChunkBytes = 4096;
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

void SessionLink::receive(int32_t slot, uint32_t nowMs, std::vector<SessionMessage>& whole) {
    uint8_t chunk[kReceiveChunkBytes];
    for (uint32_t taken = 0; taken < kLinkReadBudgetBytes && endCause() == 0;) {
        const int32_t want = static_cast<int32_t>(std::min(kReceiveChunkBytes, kLinkReadBudgetBytes - taken));
        const int32_t got = receiveOnSocket(slot, chunk, want, false);
        if (got == -2) return;
        if (got == 0) {
            end(platform::kSockConnectionReset);  // the peer closed (or reset) the connection
        } else if (got < 0) {
            end(lastSocketError());
        } else {
            take(chunk, static_cast<uint32_t>(got), nowMs, whole);
            taken += static_cast<uint32_t>(got);
        }
    }
}

void SessionLink::take(const uint8_t* bytes, uint32_t count, uint32_t nowMs, std::vector<SessionMessage>& whole) {
    while (count > 0) {
        if (!inMessage_) {
            inMessage_ = true;
            messageBegunMs_ = nowMs;
        }
        if (droppingBytes_ > 0) {
            const uint32_t n = std::min(count, droppingBytes_);
            droppingBytes_ -= n;
            bytes += n;
            count -= n;
            inMessage_ = droppingBytes_ > 0;
            continue;
        }
        const uint32_t length = partialBytes_ >= kSessionHeaderBytes
                                    ? decodeSessionHeader(partial_).length
                                    : 0;
        const uint32_t needed = (partialBytes_ < kSessionHeaderBytes ? kSessionHeaderBytes : kSessionHeaderBytes + length) -
                                partialBytes_;
        const uint32_t n = std::min(count, needed);
        std::memcpy(partial_ + partialBytes_, bytes, n);
        partialBytes_ += n;
        bytes += n;
        count -= n;
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
    if (size == 0) return true;
    queued_.append(reinterpret_cast<const char*>(wire), size);
    flushLocked(slot);
    if (queued_.size() - sentUpTo_ > boundBytes) end(platform::kSockNoBufferSpace);
    return endCause() == 0;
}

void SessionLink::flush(int32_t slot) {
    std::lock_guard<std::mutex> guard(sendLock_);
    flushLocked(slot);
}

bool SessionLink::hasQueued() {
    std::lock_guard<std::mutex> guard(sendLock_);
    return sentUpTo_ < queued_.size();
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
