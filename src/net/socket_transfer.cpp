// Sending and receiving on a record of the socket table.
//
// Where the socket cannot take or give more in the middle of a transfer, the
// layer waits for it (a wait on the socket, never a fixed sleep and never a
// spin) instead of retrying the call in a tight loop; a peer that makes no
// progress at all for the stall limit ends the transfer with kSockTimedOut,
// so a stalled or vanished peer cannot hold a thread forever.
// sendAvailableOnSocket is the one transfer that never waits: it hands the
// socket what it takes now and says how much, for callers that keep their
// own queue of bytes still to go (the session thread). closeSocketDelivering
// reads what arrived unread before it closes, so that the close is orderly.
// Depends on the socket table and the socket stand-in.
#include <cstdint>

#include "net/socket_records.h"
#include "net/socket_table.h"

using namespace platform;

namespace {

bool isNoAddress(const SocketAddress& address) { return address.address == 0 && address.port == 0; }

// Waits until the socket can move data again. True to go on; false (with the
// last error set) when it failed or stalled.
bool waitToContinue(SocketHandle socket, bool forWriting) {
    uint32_t ready = 0;
    const uint32_t wanted = forWriting ? (kWaitWrite | kWaitException) : kWaitRead;
    const int32_t waited =
        waitOnSocket(socket, wanted, forWriting ? kSendStallLimitMs : kReceiveStallLimitMs, &ready);
    if (waited > 0) return true;
    setSocketError(waited == 0 ? static_cast<int32_t>(kSockTimedOut) : socketLastError());
    return false;
}

// One receive call; a datagram record's peer becomes the datagram's source.
int32_t receiveOnce(int32_t slot, SocketHandle socket, bool udp, uint8_t* buffer, int32_t count) {
    int32_t got;
    if (udp) {
        SocketAddress source;
        got = receiveFromOnHandle(socket, buffer, static_cast<uint32_t>(count), &source);
        // A datagram too long for the room still names its sender.
        if (got >= 0 || socketLastError() == kSockMessageSize) setSocketSlotPeer(slot, source);
    } else {
        got = receiveOnHandle(socket, buffer, static_cast<uint32_t>(count));
    }
    setSocketError(socketLastError());
    return got;
}

}  // namespace

int32_t sendOnSocket(int32_t slot, const void* bytes, int32_t count, const SocketAddress* destination) {
    const bool udp = isUdpSocketSlot(slot);
    SocketAddress target;
    if (udp) {
        // The failure names its cause: a stale "no error" would mislead.
        if (!destination || isNoAddress(*destination)) {
            setSocketError(kSockDestinationRequired);
            return -1;
        }
        target = *destination;
    }
    if (count <= 0) return 0;
    if (!bytes) {
        setSocketError(kSockBadAddress);
        return -1;
    }
    const SocketHandle socket = socketHandleOf(slot);
    const auto* data = static_cast<const uint8_t*>(bytes);
    int32_t sent = 0;
    while (sent < count) {
        const uint32_t left = static_cast<uint32_t>(count - sent);
        const int32_t result = udp ? sendToOnHandle(socket, data + sent, left, target)
                                   : sendOnHandle(socket, data + sent, left);
        const int32_t code = socketLastError();
        setSocketError(code);
        if (result > 0) {
            sent += result;
        } else if (result < 0 && code != kSockWouldBlock) {
            return -1;
        } else if (!waitToContinue(socket, true)) {
            return -1;
        }
    }
    return count;
}

int32_t sendAvailableOnSocket(int32_t slot, const void* bytes, int32_t count) {
    if (count <= 0) return 0;
    if (!bytes) {
        setSocketError(kSockBadAddress);
        return -1;
    }
    if (isUdpSocketSlot(slot)) return -1;
    const int32_t result = sendOnHandle(socketHandleOf(slot), bytes, static_cast<uint32_t>(count));
    const int32_t code = socketLastError();
    setSocketError(code);
    if (result >= 0) return result;
    return code == kSockWouldBlock ? -2 : -1;
}

int32_t unacknowledgedOnSocket(int32_t slot) { return onSocketOf(slot, unacknowledgedOnHandle); }

int32_t unsentOnSocket(int32_t slot) { return onSocketOf(slot, unsentOnHandle); }

int32_t receiveOnSocket(int32_t slot, void* buffer, int32_t count, bool waitAll) {
    if (waitAll && count <= 0) return count;
    if (count < 0 || (!buffer && count > 0)) {
        setSocketError(count < 0 ? kSockInvalidArgument : kSockBadAddress);
        return -1;
    }
    const bool udp = isUdpSocketSlot(slot);
    if (udp) setSocketSlotPeer(slot, SocketAddress{});
    const SocketHandle socket = socketHandleOf(slot);
    auto* data = static_cast<uint8_t*>(buffer);

    if (!waitAll) {
        const int32_t got = receiveOnce(slot, socket, udp, data, count);
        if (got >= 0) return got;
        const int32_t code = lastSocketError();
        if (code == kSockConnectionReset) return 0;
        return code == kSockWouldBlock ? -2 : -1;
    }

    int32_t total = 0;
    while (total < count) {
        const int32_t got = receiveOnce(slot, socket, udp, data + total, count - total);
        if (got > 0) {
            total += got;
            continue;
        }
        if (got == 0) return 0;  // the peer closed
        const int32_t code = lastSocketError();
        if (code == kSockConnectionReset) return 0;
        if (code != kSockWouldBlock) return -1;
        if (total == 0) return -2;
        if (!waitToContinue(socket, false)) return -1;
    }
    return count;
}

int32_t closeSocketDelivering(int32_t slot) {
    uint8_t scrap[16 * 1024];
    for (int32_t drained = 0, got = 0; drained < kCloseDrainBytes; drained += got) {
        got = receiveOnSocket(slot, scrap, sizeof scrap, false);
        if (got <= 0) break;
    }
    return closeSocket(slot);
}
