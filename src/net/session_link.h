// One connection of a session as its two ends keep it: the bytes of a
// message still arriving, and the bytes still to go out. The session thread
// never waits on the socket: a receive takes what the socket holds, a flush
// hands over what the socket takes, and the rest stays in the link until the
// socket is ready again, so one slow or silent peer never holds up the
// thread that serves every connection. Only the program's own sends wait
// (sendWithin): for room in the queue, never longer than the time given.
//
// Rules that keep one peer from holding up or swamping the others:
// - a message whose first byte came longer ago than the partial limit and
//   that is still not whole ends the link (kSockTimedOut), whether its peer
//   trickles or fell silent;
// - a queue that has passed its bound and whose peer then takes less than
//   a bound's worth (at least a byte) within the stall limit ends the link
//   (kSockNoBufferSpace); so does one that passes the hard bound its owner
//   gives: a peer that does not read, or reads only a trickle, can neither
//   make the other end keep everything for it nor hold its senders back;
// - one receive takes at most the number of messages it is given, so a
//   flooding peer gets its turn like the others and no more (and a flood of
//   tiny messages cannot multiply into stored messages of 1 KB each); what
//   it leaves waits in the socket.
// A receive reads exactly what the message in hand still needs (its header,
// then its payload), so no byte is ever read ahead of its message.
// A header claiming more than 1,024 payload bytes has its payload read and
// dropped, so the stream stays in step.
// A peer that ends its sending (it shut its side, or closed) does not end
// the link: what it sent before is still handled and answered, and its
// owner closes the link when that is done.
//
// The commands and the session thread both send on the connection to the
// host: whole messages are queued under the link's own lock, so their bytes
// never mix. Receiving is the session thread's alone.
// Depends on the session messages, the socket layer and the clock.
#pragma once
#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

#include "net/session_message.h"

// The messages one receive takes at most: from a member's connection, and
// from either end of the connection to the host (more, so that a member
// keeps up with what its host forwards from many members, and a host with
// what its own program sends).
inline constexpr uint32_t kMemberReadMessages = 16;
inline constexpr uint32_t kHostReadMessages = 256;

class SessionLink {
public:
    // Both directions emptied and the end forgotten, for a new connection.
    void clear();

    // Reads what the socket holds now, up to maxMessages, and appends every
    // message that is then whole to `whole` (an overlong one counts, and is
    // dropped). The peer's end of sending is noted (peerFinished); a failed
    // read ends the link.
    void receive(int32_t slot, uint32_t nowMs, uint32_t maxMessages, std::deque<SessionMessage>& whole);
    // The peer sends nothing more: what it sent has all been received.
    bool peerFinished() const { return peerFinished_; }
    // Ends the link when a message has been arriving for longer than the limit.
    void checkDeadline(uint32_t nowMs, uint32_t limitMs);

    // Appends the message to the queue, sending nothing yet. False when the
    // link has ended, and for a message longer than the format carries
    // (kSockMessageSize), which is not queued and leaves the link as it was.
    bool queue(const SessionMessage& message);
    // The program's send: waits, at most waitMs, until the queue holds no
    // more than boundBytes with the message (an empty queue always takes
    // one), sending what the socket takes meanwhile; then queues the message
    // and sends what the socket takes now. 0 when queued; otherwise why not:
    // kSockTimedOut when the time ran out, the end cause of a link that
    // ended, kSockMessageSize for a message the format cannot carry.
    int32_t sendWithin(int32_t slot, const SessionMessage& message, size_t boundBytes, uint32_t waitMs);
    // Sends what the socket takes now of what is queued; the bytes still queued.
    size_t flush(int32_t slot);
    size_t queuedBytes();
    bool hasQueued() { return queuedBytes() > 0; }
    // Ends the link when, since its queue passed boundBytes, the peer has
    // not taken boundBytes (at least one byte) for longer than limitMs.
    void checkSendStall(uint32_t nowMs, size_t boundBytes, uint32_t limitMs);

    // 0 while the link lasts; else why it ended (a socket error number).
    int32_t endCause() const { return endCause_.load(); }
    // Ends the link (the first cause stays); nothing more is sent or queued.
    void end(int32_t cause);

private:
    void flushLocked(int32_t slot);
    size_t queuedLocked() const { return queued_.size() - sentUpTo_; }

    // Receiving.
    uint8_t partial_[kSessionHeaderBytes + kSessionPayloadMax] = {};
    uint32_t partialBytes_ = 0;
    uint32_t droppingBytes_ = 0;
    bool inMessage_ = false;
    uint32_t messageBegunMs_ = 0;
    bool peerFinished_ = false;

    // Sending.
    std::mutex sendLock_;
    std::string queued_;
    size_t sentUpTo_ = 0;         // bytes of queued_ already gone
    uint64_t sentTotal_ = 0;      // bytes ever handed to the socket
    uint64_t stallMark_ = 0;      // sentTotal_ when the watch last began
    uint32_t stallSinceMs_ = 0;   // and when
    bool stallWatched_ = false;   // the queue passed its bound and the peer has not taken enough since

    std::atomic<int32_t> endCause_{0};
};
