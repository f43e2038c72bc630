// A session connection's receive buffer and send queue (session_link.h).
// Depends on the session messages, the send queue and the socket layer.
#include "net/session_link.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "net/socket_table.h"

namespace {

constexpr uint32_t kDropChunkBytes = 4096;  // read at a time of an overlong payload
// The most one send call is handed, so that a program queueing meanwhile
// never waits for the lock longer than one such call takes.
constexpr size_t kSendChunkBytes = 256 * 1024;

// The peer is heard holding its window closed with everything sent taken:
// its system answers for a program that does not read.
bool holdsWindowClosed(const platform::PeerLook& look) {
    const bool heard = look.heardMs >= 0 && static_cast<uint32_t>(look.heardMs) <= kHeardGraceMs;
    return heard && look.windowClosed && look.segmentsInFlight == 0;
}

}  // namespace

void SessionLink::clear() {
    partialBytes_ = 0;
    droppingBytes_ = 0;
    receiving_ = true;
    silenceLimitMs_ = 0;
    acknowledged_ = 0;
    keptUpMs_ = 0;
    looked_ = false;
    heldBySystem_ = -1;
    std::lock_guard<std::mutex> guard(sendLock_);
    outgoing_.clear();
    endCause_ = 0;
}

void SessionLink::end(int32_t cause) {
    receiving_ = false;
    std::lock_guard<std::mutex> guard(sendLock_);
    endLocked(cause);
}

void SessionLink::endLocked(int32_t cause) {
    int32_t none = 0;
    endCause_.compare_exchange_strong(none, cause != 0 ? cause : platform::kSockConnectionReset);
}

void SessionLink::receive(int32_t slot, uint32_t maxMessages, std::deque<SessionMessage>& whole) {
    uint8_t scrap[kDropChunkBytes];
    uint32_t messages = 0;
    // Dropping an overlong payload takes several reads; they are held to a
    // few per message of the allowance too.
    for (uint32_t reads = 0; messages < maxMessages && reads < 4 * maxMessages && receiving_; ++reads) {
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
        if (got == -2) {
            // Nothing more now. After a send met the connection's end, all
            // that came before it was already here: it is taken.
            if (endCause() != 0) receiving_ = false;
            return;
        }
        if (got <= 0) {
            // 0: the peer's FIN, or the connection's end (kSockConnectionReset
            // in the error word; none when a send met the end first and
            // ended the link with it); -1: the read failed.
            const int32_t failure = lastSocketError();
            receiving_ = false;
            if (got < 0 || failure != 0) end(failure);
            return;
        }
        if (droppingBytes_ > 0) {
            droppingBytes_ -= static_cast<uint32_t>(got);
            if (droppingBytes_ == 0) ++messages;
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
        ++messages;
    }
}

int32_t SessionLink::queue(const SessionMessage& message, size_t boundBytes, int32_t sendSlot) {
    uint8_t wire[kSessionHeaderBytes + kSessionPayloadMax];
    const uint32_t size = encodeSessionMessage(message, wire);
    if (size == 0) return platform::kSockMessageSize;  // nothing of it goes
    std::lock_guard<std::mutex> guard(sendLock_);
    if (endCause() != 0) return endCause();
    const bool idle = outgoing_.empty();
    if (!idle && outgoing_.size() + size > boundBytes) return platform::kSockNoBufferSpace;
    outgoing_.pushText(wire, size);
    if (idle && sendSlot >= 0) sendOnceLocked(sendSlot);
    return 0;
}

int32_t SessionLink::queueReply(const SessionMessage& message) {
    uint8_t wire[kSessionHeaderBytes + kSessionPayloadMax];
    const uint32_t size = encodeSessionMessage(message, wire);
    if (size == 0) return platform::kSockMessageSize;
    std::lock_guard<std::mutex> guard(sendLock_);
    if (endCause() != 0) return endCause();
    outgoing_.pushReply(wire, size);
    return 0;
}

size_t SessionLink::sendOnceLocked(int32_t slot) {
    size_t count = 0;
    const uint8_t* bytes = outgoing_.next(&count);
    if (count == 0 || endCause() != 0) return 0;  // an ended link sends nothing
    count = std::min(count, kSendChunkBytes);
    if (unsentCapBytes_ > 0) {
        const int32_t unsent = unsentOnSocket(slot);  // on an error the send says why
        if (unsent >= 0 && static_cast<size_t>(unsent) >= unsentCapBytes_) return 0;
        if (unsent >= 0) count = std::min(count, unsentCapBytes_ - static_cast<size_t>(unsent));
    }
    const int32_t sent = sendAvailableOnSocket(slot, bytes, static_cast<int32_t>(count));
    if (sent < 0) {
        // A send that meets the connection's end ends the link: nothing more
        // goes, and the receive still takes what came before the end.
        if (sent != -2) endLocked(lastSocketError());
        return 0;
    }
    outgoing_.take(static_cast<size_t>(sent));
    return static_cast<size_t>(sent);
}

size_t SessionLink::flush(int32_t slot) {
    for (;;) {
        std::lock_guard<std::mutex> guard(sendLock_);
        if (sendOnceLocked(slot) == 0) return outgoing_.size();
    }
}

platform::PeerLook SessionLink::look(int32_t slot, uint32_t nowMs) {
    platform::PeerLook look;
    lookAtPeerOnSocket(slot, &look);
    const bool takesNew = look.bytesAcknowledged != acknowledged_;
    const bool owesNothing = look.segmentsInFlight == 0 && look.bytesUnsent == 0 && !hasQueued();
    const bool lasts = look.end == platform::PeerLook::End::None;
    if (!looked_ || takesNew || owesNothing || (lasts && holdsWindowClosed(look))) keptUpMs_ = nowMs;
    looked_ = true;
    acknowledged_ = look.bytesAcknowledged;
    return look;
}

uint32_t SessionLink::lagMs(uint32_t nowMs, const platform::PeerLook& look) {
    const bool takes = nowMs - keptUpMs_ <= kHeardGraceMs || holdsWindowClosed(look);
    std::lock_guard<std::mutex> guard(sendLock_);
    outgoing_.observe(nowMs, takes);
    return outgoing_.lagMs();
}

void SessionLink::limitSilence(int32_t slot, uint32_t limitMs) {
    silenceLimitMs_ = limitMs;
    keepSocketHeard(slot, limitMs);
}

bool SessionLink::endIfSilent(const platform::PeerLook& look, uint32_t nowMs) {
    using End = platform::PeerLook::End;
    if (endCause() != 0 || silenceLimitMs_ == 0 || look.end == End::Over) return false;
    const bool silent = look.end == End::Finished
                            ? nowMs - keptUpMs_ > silenceLimitMs_
                            : look.heardMs >= 0 && static_cast<uint32_t>(look.heardMs) > silenceLimitMs_;
    if (silent) end(platform::kSockTimedOut);
    return silent;
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

void describeLinkPeer(int32_t slot, char* out, size_t size) {
    const SocketAddress peer = getSocketPeer(slot);
    const uint32_t address = hostOrderAddress(peer);
    std::snprintf(out, size, "%u.%u.%u.%u:%u", address >> 24, (address >> 16) & 0xFF, (address >> 8) & 0xFF,
                  address & 0xFF, hostOrderPort(peer));
}

void describeLinkEnd(int32_t cause, char* out, size_t size) {
    const char* text = platform::socketErrorMessage(cause);
    std::snprintf(out, size, "%s%d %s%s", cause == platform::kSockTimedOut ? "it fell silent (" : "",
                  static_cast<int>(cause), text ? text : "", cause == platform::kSockTimedOut ? ")" : "");
}
