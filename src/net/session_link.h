// One connection of a session as its two ends keep it: the bytes of a
// message still arriving, and the bytes still to go out. The session thread
// never waits on the socket: a receive takes what the socket holds, a flush
// hands over what the socket takes, and the rest stays in the link until the
// socket is ready again, so one slow or silent peer never holds up the
// thread that serves every connection. Nobody waits for room in the queue
// either: a message is queued whole at once, or refused at once when the
// queue would pass the bound its sender gives.
//
// Rules that keep one peer from holding up or swamping the others:
// - a message whose first byte came longer ago than the partial limit and
//   that is still not whole ends the link (kSockTimedOut), whether its peer
//   trickles or fell silent; only time in which the link was read counts
//   (pauseDeadline), so a peer is never cut off for our own pause;
// - one receive takes at most the number of messages it is given, so a
//   flooding peer gets its turn like the others and no more; what it
//   leaves waits in the socket.
// A receive reads exactly what the message in hand still needs (its header,
// then its payload), so no byte is ever read ahead of its message.
// A header claiming more than 1,024 payload bytes has its payload read and
// dropped, so the stream stays in step.
// A peer that ends its sending (it shut its side, or closed) does not end
// the link: what it sent before is still handled and answered, and its
// owner closes the link when that is done.
//
// The program's commands and the session thread both queue on the
// connection to the host: whole messages are queued under the link's own
// lock, so their bytes never mix. Only the session thread sends and
// receives.
// Depends on the session messages, the byte queue and the socket layer.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>

#include "net/byte_queue.h"
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
    // The link is not read for now: the message arriving starts its time
    // again when reading resumes.
    void pauseDeadline(uint32_t nowMs);

    // Appends the whole message to the queue, sending nothing yet, when the
    // queue then holds no more than boundBytes (an empty queue takes any
    // message). 0 when queued; otherwise why nothing of it was:
    // kSockNoBufferSpace past the bound, kSockMessageSize for a message
    // longer than the format carries, the end cause of a link that ended.
    int32_t queue(const SessionMessage& message, size_t boundBytes = SIZE_MAX);
    // Sends what the socket takes now of what is queued; the bytes still queued.
    size_t flush(int32_t slot);
    size_t queuedBytes();
    bool hasQueued() { return queuedBytes() > 0; }

    // At a session's end, with the queue handed to the system: true while
    // the system still holds bytes of the link that its peer has not
    // acknowledged and the peer has taken some (or more was handed over)
    // within the last stallMs.
    bool peerStillTaking(int32_t slot, uint32_t nowMs, uint32_t stallMs);

    // 0 while the link lasts; else why it ended (a socket error number).
    int32_t endCause() const { return endCause_.load(); }
    // Ends the link (the first cause stays); nothing more is sent or queued.
    void end(int32_t cause);

private:
    // Receiving.
    uint8_t partial_[kSessionHeaderBytes + kSessionPayloadMax] = {};
    uint32_t partialBytes_ = 0;
    uint32_t droppingBytes_ = 0;
    bool inMessage_ = false;
    uint32_t messageBegunMs_ = 0;
    bool peerFinished_ = false;

    // Sending.
    std::mutex sendLock_;
    ByteQueue outgoing_;
    // At the end, the session thread's alone: the bytes unacknowledged at
    // the last look (-1: none yet), and since when.
    int32_t heldBySystem_ = -1;
    uint32_t heldChangedMs_ = 0;

    std::atomic<int32_t> endCause_{0};
};
