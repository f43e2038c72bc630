// The socket layer's openers: listening, accepting, connecting and opening a
// datagram socket, each into the lowest free record.
//
// An opener claims its record first and puts the socket in it only when the
// socket is ready, so a half-made socket is never seen as in use and a
// failure leaves the record free. A failed connect keeps its own cause
// (10061 when refused, ...) as the last error, not the result of the
// clean-up after it. A listening socket records the port it is really bound
// to, so listening on port 0 tells which port the system chose.
// Depends on the socket table and the socket stand-in.
#include "net/socket_records.h"
#include "net/socket_table.h"

using namespace platform;

namespace {

constexpr int32_t kListenBacklog = 10;

// Stores the code as the last error and gives the claimed record back.
int32_t failOpening(int32_t slot, SocketHandle socket, int32_t code) {
    if (socket != kInvalidSocketHandle) closeSocketHandleInOrder(socket);
    releaseSocketSlot(slot);
    setSocketError(code);
    return -1;
}

void setFlag(SocketHandle socket, SocketOption option) {
    const int32_t on = 1;
    setSocketOption(socket, option, &on, sizeof on);
}

}  // namespace

int32_t connectTimeoutLimit(int32_t timeoutMs) {
    return (timeoutMs < 1 || timeoutMs > kDefaultConnectTimeoutMs) ? kDefaultConnectTimeoutMs : timeoutMs;
}

int32_t listenTcp(uint16_t port) {
    const int32_t slot = claimSocketSlot();
    if (slot < 0) return -1;
    const SocketHandle socket = openSocket(SocketKind::Stream);
    if (socket == kInvalidSocketHandle) return failOpening(slot, socket, socketLastError());

    setFlag(socket, SocketOption::ReuseAddress);
    SocketAddress bound = socketAddressFromHost(0, port);
    if (bindSocket(socket, bound) != 0 || listenOnSocket(socket, kListenBacklog) != 0) {
        return failOpening(slot, socket, socketLastError());
    }
    SocketAddress actual;
    if (socketLocalEndpoint(socket, &actual)) bound.port = actual.port;
    setSocketNonBlocking(socket, true);
    const int32_t code = socketLastError();
    fillSocketSlot(slot, socket, bound, false);
    setSocketError(code);
    return slot;
}

int32_t acceptTcp(int32_t listenSlot, SocketAddress* remote) {
    if (isUdpSocketSlot(listenSlot)) {
        setSocketError(0);
        return -1;
    }
    SocketAddress from;
    const SocketHandle accepted = acceptOnSocket(socketHandleOf(listenSlot), &from);
    if (accepted == kInvalidSocketHandle) {
        setSocketError(socketLastError());
        return -1;
    }
    const int32_t slot = claimSocketSlot();
    if (slot < 0) {
        closeSocketHandleInOrder(accepted);
        return -1;  // the last error is 8
    }
    if (remote) *remote = from;
    setSocketNonBlocking(accepted, true);
    const int32_t code = socketLastError();
    fillSocketSlot(slot, accepted, from, false);
    setSocketError(code);
    return slot;
}

int32_t connectTcp(const SocketAddress& address, int32_t timeoutMs, uint32_t unreadBytes) {
    if (address.address == 0 && address.port == 0) return -1;
    const int32_t slot = claimSocketSlot();
    if (slot < 0) return -1;
    const SocketHandle socket = openSocket(SocketKind::Stream);
    if (socket == kInvalidSocketHandle) return failOpening(slot, socket, socketLastError());

    setSocketNonBlocking(socket, true);
    if (unreadBytes > 0 && setSocketUnreadLimit(socket, unreadBytes) != 0) return failOpening(slot, socket, socketLastError());
    if (connectSocket(socket, address) != 0) {
        const int32_t code = socketLastError();
        if (code != kSockWouldBlock && code != kSockInProgress) return failOpening(slot, socket, code);
        uint32_t ready = 0;
        const int32_t waited = waitOnSocket(socket, kWaitWrite | kWaitException,
                                            static_cast<uint32_t>(connectTimeoutLimit(timeoutMs)), &ready);
        if (waited == 0) return failOpening(slot, socket, kConnectTimedOut);
        if (waited < 0 || !(ready & kWaitWrite)) return failOpening(slot, socket, socketLastError());
    }
    const int32_t code = socketLastError();
    fillSocketSlot(slot, socket, address, false);
    setSocketError(code);
    return slot;
}

int32_t openUdp(uint16_t port) {
    const int32_t slot = claimSocketSlot();
    if (slot < 0) return -1;
    const SocketAddress bound = socketAddressFromHost(0, port);
    const SocketHandle socket = openSocket(SocketKind::Datagram);
    setSocketError(socketLastError());
    if (socket == kInvalidSocketHandle) return failOpening(slot, socket, socketLastError());

    setFlag(socket, SocketOption::ReuseAddress);
    // Port 0 stays unbound until the first send.
    if (port != 0 && bindSocket(socket, bound) != 0) return failOpening(slot, socket, socketLastError());
    const int32_t on = 1;
    if (setSocketOption(socket, SocketOption::Broadcast, &on, sizeof on) != 0) {
        const char one = '1';
        setSocketOption(socket, SocketOption::Broadcast, &one, 1);
    }
    setSocketNonBlocking(socket, true);
    const int32_t code = socketLastError();
    fillSocketSlot(slot, socket, bound, true);
    setSocketError(code);
    return slot;
}
