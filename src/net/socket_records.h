// The socket table's records as the layer's own files reach them (not for
// callers outside src/net): taking a record for an opener, handing it its
// socket, and giving it back.
// Depends on socket_table.h.
#pragma once
#include <cstdint>

#include "net/socket_table.h"

// A record taken by an opener but not yet given its socket: not free, yet
// every socket call on it fails as on a free record.
inline constexpr platform::SocketHandle kClaimedSocketHandle = 0xFFFFFFFEu;

// Takes the lowest free record for an opener (marks it claimed); -1 and
// last error 8 when none is free.
int32_t claimSocketSlot();
// Puts the socket in a claimed record, which is then in use.
void fillSocketSlot(int32_t slot, platform::SocketHandle socket, const SocketAddress& peer, bool udp);
// A datagram record's peer after a receive.
void setSocketSlotPeer(int32_t slot, const SocketAddress& peer);
// Frees a claimed record again without closing anything.
void releaseSocketSlot(int32_t slot);

// The socket of a record; kInvalidSocketHandle for a free, claimed or
// out-of-range record.
platform::SocketHandle socketHandleOf(int32_t slot);

// The platform call `call` on the record's socket, `arguments` after it,
// with the service's last error then left in the layer's word: its result.
template <class Call, class... Arguments>
int32_t onSocketOf(int32_t slot, Call call, Arguments... arguments) {
    const int32_t result = call(socketHandleOf(slot), arguments...);
    setSocketError(platform::socketLastError());
    return result;
}

// Linger off, both directions shut, closed: the end of every socket the
// layer made. The result of the close; the last error of the service is
// left as the close left it.
int32_t closeSocketHandleInOrder(platform::SocketHandle socket);
