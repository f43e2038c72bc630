// The socket layer: one process-wide table of 1,024 socket records named by
// record number (slot), the layer's last-error word, the reference count on
// the start-up of the socket service, and the internal operations the socket
// commands, the HTTP client and the session layer build on. Every socket the
// layer opens is non-blocking; all addresses are IPv4.
//
// The last-error word holds the socket service's numbers (platform/
// socket_port.h) and three of the layer's own: 0 when asked to accept on a
// datagram record, 8 when no record is free, 10036 when a connect timed out.
// Each thread has its own word: the session thread's receives (which find
// nothing most of the time) would otherwise overwrite every cause a command
// left for its caller before the caller could read it.
//
// Two threads use the table (the main thread and the session thread); taking
// a record, closing one and the start-up count are guarded by one lock, so
// two openers never take the same record. A slot outside 0..1023 names no
// record: operations on it fail as on a free record.
// Depends on the socket stand-in (platform/socket_port.h).
#pragma once
#include <cstdint>

#include "platform/socket_port.h"

inline constexpr int32_t kSocketSlotCount = 1024;
inline constexpr int32_t kNoFreeSocketSlot = 8;      // last error: the table is full
inline constexpr int32_t kConnectTimedOut = 10036;   // last error: connect timed out
inline constexpr int32_t kDefaultConnectTimeoutMs = 30000;  // also the longest wait
// A send that can move nothing, or a receive with waitAll that gets nothing
// more, for this long gives up with kSockTimedOut rather than wait forever.
inline constexpr uint32_t kSendStallLimitMs = 30000;
inline constexpr uint32_t kReceiveStallLimitMs = 5000;

// Address and port, both in network byte order; both 0 is the no-address record.
using SocketAddress = platform::SocketEndpoint;

struct SocketSlot {
    platform::SocketHandle socket;  // kInvalidSocketHandle: a free record
    SocketAddress peer;  // bound address, remote end, or last datagram's source
    uint8_t isUdp;
};

void setSocketError(int32_t code);
int32_t lastSocketError();

// The lowest free record number; -1 and error 8 when none is free. (The
// openers take their record through the table lock instead.)
int32_t findFreeSocketSlot();
// The number of records in use.
int32_t usedSocketSlotCount();

// 1 when the service is usable (the first reference starts it and frees
// every record), 0 when it could not start.
int32_t startupSockets();
// Drops one reference; at 0 or below closes every record, stops the service
// and leaves the count at 0.
void shutdownSockets();
int32_t socketReferenceCount();

// Record number of the new socket, or -1. Ports are in host order.
int32_t listenTcp(uint16_t port);
int32_t acceptTcp(int32_t listenSlot, SocketAddress* remote);
// unreadBytes, when not 0, holds what the system keeps unread for the
// connection to that (platform::setSocketUnreadLimit).
int32_t connectTcp(const SocketAddress& address, int32_t timeoutMs, uint32_t unreadBytes = 0);
int32_t openUdp(uint16_t port);
// The time limit connectTcp applies: kDefaultConnectTimeoutMs for anything
// below 1 or above it.
int32_t connectTimeoutLimit(int32_t timeoutMs);

// Linger off, both directions shut, closed, the record freed first. The
// result of the close (0 or -1); a free record gives -1.
int32_t closeSocket(int32_t slot);
// closeSocket of a stream record with a reset: what its system still holds
// to send is dropped, and the peer's system learns of the end at once,
// however long the bytes ahead of an orderly close would keep it waiting
// (a peer whose program stopped reading keeps its window closed to them).
int32_t resetSocket(int32_t slot);
// closeSocket of a stream record so that what its system still holds to
// send is delivered: what has arrived unread is read and dropped first (up
// to kCloseDrainBytes), since a close with bytes unread resets the
// connection, and a reset throws away what has not reached the peer yet.
inline constexpr int32_t kCloseDrainBytes = 1024 * 1024;
int32_t closeSocketDelivering(int32_t slot);

// Bytes sent (all of them), 0 for a count of 0 or less, -1 on an error or,
// on a datagram record, without a destination (kSockDestinationRequired).
int32_t sendOnSocket(int32_t slot, const void* bytes, int32_t count, const SocketAddress* destination);
// Bytes read; 0 for a closed connection; -2 when nothing has arrived yet;
// -1 on an error (a negative count is kSockInvalidArgument). With waitAll
// the whole count or nothing: once some bytes are in, the rest is waited
// for (at most kReceiveStallLimitMs without progress).
int32_t receiveOnSocket(int32_t slot, void* buffer, int32_t count, bool waitAll);
// What one send call takes now, never waiting: bytes sent (possibly fewer
// than count), 0 for a count of 0 or less, -2 when the socket can take
// nothing now, -1 on an error. Stream records only.
int32_t sendAvailableOnSocket(int32_t slot, const void* bytes, int32_t count);
// Bytes written to a stream record that its peer has not acknowledged yet;
// -1 on an error (a free record included).
int32_t unacknowledgedOnSocket(int32_t slot);
// Bytes written to a stream record that the system has not sent at all
// yet; -1 on an error.
int32_t unsentOnSocket(int32_t slot);
// 1 when data can be read, -2 when not, -1 on an error.
int32_t pollSocket(int32_t slot);
// 1 when the socket turned readable (or writable) within the time, 0 when
// time ran out, -1 on an error.
int32_t waitForSocket(int32_t slot, bool forWriting, uint32_t timeoutMs);
// One record of a wait over many (platform::kWaitRead, kWaitWrite, and
// kWaitException for a connection's failure, its number in `failure`).
struct SocketSlotWait {
    int32_t slot = -1;
    uint32_t wanted = 0;
    uint32_t ready = 0;
    int32_t failure = 0;
};
// Waits up to timeoutMs until any record meets a wanted condition (with no
// record, simply waits); each entry's `ready` then holds what it met, and a
// free record meets nothing. The number of records with a condition met, 0
// when time ran out, -1 on an error.
int32_t waitForSockets(SocketSlotWait* waits, int32_t count, uint32_t timeoutMs);
// A stream record sends each write at once, never holding a small one back
// for the acknowledgement of what went before: for messages that wait for
// an answer. 0, or -1 (the last error says why).
int32_t setSocketNoDelay(int32_t slot);
// Keeps a quiet connection heard for an owner that ends it once silent for
// limitMs (platform::keepSocketHeard). 0, or -1 (the last error says why).
int32_t keepSocketHeard(int32_t slot, uint32_t limitMs);
// What the stream record's system knows of its peer (platform::lookAtPeer).
// 0, or -1 (the look left as it was).
int32_t lookAtPeerOnSocket(int32_t slot, platform::PeerLook* look);
// The system holds at most about this many bytes written to the stream
// record and not yet sent (platform::setSocketUnsentLimit). 0, or -1.
int32_t setSocketUnsentLimit(int32_t slot, uint32_t bytes);
// Sets the socket blocking or not; returns the value stored as last error
// (a free record fails as an invalid handle does: 10038, not a stale value).
int32_t setSocketBlocking(int32_t slot, bool blocking);

// The record's peer; the no-address record for a free record.
SocketAddress getSocketPeer(int32_t slot);
// The address and port the record's socket is bound to (for a connected
// socket, its own end); the no-address record for a free record.
SocketAddress getSocketLocalAddress(int32_t slot);
bool isSocketSlotInUse(int32_t slot);
bool isUdpSocketSlot(int32_t slot);
uint32_t hostOrderAddress(const SocketAddress& address);
uint16_t hostOrderPort(const SocketAddress& address);
// From host-order values.
SocketAddress socketAddressFromHost(uint32_t address, uint16_t port);
