// The socket commands over the socket layer.
// Depends on the socket table, the host addresses and RtString.
#include "net/socket_commands.h"

#include <cstring>

#include "net/host_addresses.h"
#include "net/socket_table.h"

namespace {

uint16_t lowPort(int32_t port) { return static_cast<uint16_t>(port & 0xFFFF); }

void makeEmpty(RtString& text) {
    if (text.ownsBuffer()) text.data[0] = '\0';
    text.length = 0;
}

}  // namespace

int32_t SocketInit() { return startupSockets(); }

void SocketShutdown() { shutdownSockets(); }

int32_t SocketListen(int32_t port) { return listenTcp(lowPort(port)); }

int32_t SocketConnect(const RtString& host, int32_t port, int32_t timeoutMs) {
    const SocketAddress address = resolveHost(host.c_str(), lowPort(port));
    if (address.address == 0 && address.port == 0) return -1;
    return connectTcp(address, timeoutMs);
}

int32_t SocketAccept(int32_t listenSlot, int32_t& ip) {
    SocketAddress remote;
    const int32_t slot = acceptTcp(listenSlot, &remote);
    if (slot >= 0) ip = static_cast<int32_t>(hostOrderAddress(remote));
    return slot;
}

int32_t SocketSend(int32_t slot, const RtString& text) {
    return sendOnSocket(slot, text.data, static_cast<int32_t>(text.length), nullptr);
}

int32_t SocketOpenUdp(int32_t port) { return openUdp(lowPort(port)); }

int32_t SocketSendTo(int32_t slot, const RtString& text, int32_t ip, int32_t port) {
    const SocketAddress target = socketAddressFromHost(static_cast<uint32_t>(ip), lowPort(port));
    return sendOnSocket(slot, text.data, static_cast<int32_t>(text.length), &target);
}

int32_t SocketReceive(int32_t slot, RtString& text, int32_t count) {
    if (count > kMostReceiveBytes) count = kMostReceiveBytes;
    if (count >= 0) text.reserve(static_cast<uint32_t>(count) + 1, true);
    // The shared empty buffer is never written: a count of 0 reads into a
    // byte of our own.
    char spare = 0;
    char* buffer = text.ownsBuffer() ? text.data : &spare;
    const int32_t result = receiveOnSocket(slot, buffer, count, false);
    if (result > 0) {
        text.data[result] = '\0';
        text.length = static_cast<uint32_t>(result);
    } else {
        makeEmpty(text);
    }
    return result;
}

int32_t SocketResolveHost(const RtString& host) {
    const SocketAddress address = resolveHost(host.c_str(), 0);
    if (address.address == 0) return -1;
    return static_cast<int32_t>(hostOrderAddress(address));
}

RtString SocketIpToText(int32_t ip) { return RtString(ipToText(socketAddressFromHost(static_cast<uint32_t>(ip), 0))); }

int32_t SocketRemoteIp(int32_t slot) { return static_cast<int32_t>(hostOrderAddress(getSocketPeer(slot))); }

int32_t SocketRemotePort(int32_t slot) { return hostOrderPort(getSocketPeer(slot)); }

int32_t SocketClose(int32_t slot) { return closeSocket(slot) == 0 ? 1 : 0; }

int32_t SocketSetBlocking(int32_t slot, int32_t blocking) { return setSocketBlocking(slot, blocking != 0); }

RtString GetHostIpAddresses() {
    constexpr size_t kWorkBytes = 4096;
    startupSockets();
    int32_t count = 0;
    const char* list = listLocalIpAddresses(&count, "|");
    // Without a list the reference just taken stays taken.
    if (!list) return RtString();
    char work[kWorkBytes];
    std::strncpy(work, list, kWorkBytes - 1);
    work[kWorkBytes - 1] = '\0';
    if (char* last = std::strrchr(work, '|')) *last = '\0';
    shutdownSockets();
    return count != 0 ? RtString(work) : RtString();
}

RtString GetNetErrorText() { return RtString(socketErrorText()); }
