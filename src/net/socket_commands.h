// The socket commands: TCP and UDP sockets named by their slot (0..1023).
// An IP address is a 32-bit integer in host order, the first part of the
// dotted text in the top byte (127.0.0.1 is 2,130,706,433); of a port only
// the low 16 bits count. A failure gives -1 for a slot, and leaves its cause
// in the last socket error, which GetNetErrorText shows as number and text.
// Depends on the socket layer (socket_table.h, host_addresses.h).
#pragma once
#include <cstdint>

#include "runtime/strings/rt_string.h"

// 1 when the socket service is usable, 0 when it failed. Each call takes one
// reference, which SocketShutdown drops; the last drop closes every socket.
int32_t SocketInit();
void SocketShutdown();

int32_t SocketListen(int32_t port);
// Resolves the host (an empty text: this host) and connects within the time
// (at most 30,000 ms; 0 or less also means 30,000). Slot or -1.
int32_t SocketConnect(const RtString& host, int32_t port, int32_t timeoutMs);
// Slot of the accepted connection, its remote address in ip; -1 (ip
// untouched) when nobody is waiting.
int32_t SocketAccept(int32_t listenSlot, int32_t& ip);
// Bytes sent or -1 (always -1 on a datagram slot).
int32_t SocketSend(int32_t slot, const RtString& text);
int32_t SocketOpenUdp(int32_t port);
// Bytes sent or -1; on a stream slot the address is ignored.
int32_t SocketSendTo(int32_t slot, const RtString& text, int32_t ip, int32_t port);
// Up to count bytes (at most kMostReceiveBytes per call) into the text,
// NULs included. Bytes read; 0 when the peer closed; -2 when nothing has
// arrived; -1 on an error. The text is empty unless bytes were read. On a
// UDP slot one call reads one datagram; one longer than count is dropped
// and gives -1 with error 10040 (its sender still in SocketRemoteIp/Port).
int32_t SocketReceive(int32_t slot, RtString& text, int32_t count);
inline constexpr int32_t kMostReceiveBytes = 1 << 20;

// The host's first address in host order; -1 when it cannot be resolved.
int32_t SocketResolveHost(const RtString& host);
RtString SocketIpToText(int32_t ip);
// The remote end of a slot (the sender of the last datagram on a UDP
// slot); 0 for a free slot.
int32_t SocketRemoteIp(int32_t slot);
int32_t SocketRemotePort(int32_t slot);
// 1 when the socket was closed, 0 otherwise (a free slot).
int32_t SocketClose(int32_t slot);
// Blocking for a flag other than 0; the last socket error after the change.
int32_t SocketSetBlocking(int32_t slot, int32_t blocking);

// The addresses this host's name resolves to (listLocalIpAddresses), joined
// by "|", the loopback address last; not a list of the machine's interfaces,
// so a name the hosts file maps to 127.0.0.1 gives just "127.0.0.1". Empty
// when the name cannot be read or looked up.
RtString GetHostIpAddresses();
// The last socket error as "<number> <text>"; empty for a number without text.
RtString GetNetErrorText();
