// One connection of a session as its two ends keep it: the bytes of a
// message still arriving, and the bytes still to go out. Nothing here waits
// on the socket: a receive takes what the socket holds, a send hands over
// what the socket takes, and the rest stays in the link until the socket is
// ready again, so one slow or silent peer never holds up the thread that
// serves every connection.
//
// Rules that keep one peer from holding up or swamping the others:
// - a message whose first byte came longer ago than the partial limit and
//   that is still not whole ends the link (kSockTimedOut), whether its peer
//   trickles or fell silent;
// - bytes queued past the send bound end the link (kSockNoBufferSpace): a
//   peer that does not read cannot make the other end keep everything for it;
// - one receive takes at most the number of messages it is given, so a
//   flooding peer gets its turn like the others and no more (and a flood of
//   tiny messages cannot multiply into stored messages of 1 KB each); what
//   it leaves waits in the socket.
// A receive reads exactly what the message in hand still needs (its header,
// then its payload), so no byte is ever read ahead of its message.
// A header claiming more than 1,024 payload bytes has its payload read and
// dropped, so the stream stays in step.
//
// The commands and the session thread both send on the connection to the
// host: whole messages are queued under the link's own lock, so their bytes
// never mix. Receiving is the session thread's alone.
// Depends on the session messages and the socket layer.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "net/session_message.h"

// The messages one receive takes at most: from a member's connection, and
// from the connection to the host (more, so that a host's own member end
// keeps up with what the host sends it while several members send at once).
inline constexpr uint32_t kMemberReadMessages = 16;
inline constexpr uint32_t kHostReadMessages = 256;

class SessionLink {
public:
    // Both directions emptied and the end forgotten, for a new connection.
    void clear();

    // Reads what the socket holds now, up to maxMessages, and appends every
    // message that is then whole to `whole` (an overlong one counts, and is
    // dropped). A closed or failed connection ends the link.
    void receive(int32_t slot, uint32_t nowMs, uint32_t maxMessages, std::vector<SessionMessage>& whole);
    // Ends the link when a message has been arriving for longer than the limit.
    void checkDeadline(uint32_t nowMs, uint32_t limitMs);

    // Queues the message and sends what the socket takes now. False when the
    // link has ended (before, or because the queue passed the bound), and
    // for a message longer than the format carries (kSockMessageSize), which
    // is not queued and leaves the link as it was.
    bool send(int32_t slot, const SessionMessage& message, uint32_t boundBytes);
    // Sends what the socket takes now of what is queued.
    void flush(int32_t slot);
    bool hasQueued();
    size_t queuedBytes();

    // 0 while the link lasts; else why it ended (a socket error number).
    int32_t endCause() const { return endCause_.load(); }

private:
    void end(int32_t cause);
    void flushLocked(int32_t slot);

    // Receiving: the message begun, or the payload still to drop.
    uint8_t partial_[kSessionHeaderBytes + kSessionPayloadMax] = {};
    uint32_t partialBytes_ = 0;
    uint32_t droppingBytes_ = 0;
    bool inMessage_ = false;
    uint32_t messageBegunMs_ = 0;

    // Sending.
    std::mutex sendLock_;
    std::string queued_;
    size_t sentUpTo_ = 0;  // bytes of queued_ already gone

    std::atomic<int32_t> endCause_{0};
};
