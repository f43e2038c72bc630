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
// - one receive takes at most the number of messages it is given, so a
//   flooding peer gets its turn like the others and no more; what it
//   leaves waits in the socket;
// - a message may take any time to arrive whole: a peer that stalls in the
//   middle of one costs only its own buffer, and one that has fallen silent
//   is ended by its owner's look (the connection's silence limit), so an
//   outage shorter than that limit ends nothing, between messages or
//   inside one.
// A receive reads exactly what the message in hand still needs (its header,
// then its payload), so no byte is ever read ahead of its message.
// A header claiming more than 1,024 payload bytes has its payload read and
// dropped, so the stream stays in step.
// A link ends in one of three ways, each with one rule:
// - the peer finished (its FIN: it shut its sending side, or closed): what
//   it sent before is still handled and answered, and it is owed what is
//   queued for it only while its system still takes it; its owner closes
//   the link when that is done (or the silence rule judges it by what it
//   acknowledges, endIfSilent);
// - the connection is over (a reset came, or the system itself ended it):
//   the receive takes what the peer sent before, then the link ends with
//   that cause; what waits to be sent is dropped, since nobody is there to
//   take it. A receive of 0 with kSockConnectionReset in the error word
//   says so; a send may meet the end first, which also stops the sending
//   at once and leaves the receive to take what came before it. Once the
//   peer finished nothing reads the socket: its owner's wait asks for the
//   connection's failure, and ends the link with the system's cause in the
//   pass the system reports it;
// - its owner ends it (silence, lag, a full queue, the session's end):
//   nothing more is read or sent.
//
// The program's commands and the session thread both queue on the
// connection to the host: whole messages are queued under the link's own
// lock, so their bytes never mix. A message queued when nothing waits
// ahead of it is handed to the socket at once, in one send call that never
// waits (the caller pays that call); what the socket does not take, and
// what is queued behind it, the session thread sends. Only the session
// thread receives. The link is ended under the same lock before its socket
// is closed, so no send can reach a socket record that is closing or that
// another connection has taken since.
//
// The host's replies to a member go ahead of the texts waiting for it, never
// inside one begun (send_queue.h); the queue also tells how far the member
// has fallen behind.
// Depends on the session messages, the send queue and the socket layer.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>

#include "net/send_queue.h"
#include "net/session_message.h"
#include "platform/socket_port.h"

// The messages one receive takes at most: from a member's connection, and
// from either end of the connection to the host (more, so that a member
// keeps up with what its host forwards from many members, and a host with
// what its own program sends).
inline constexpr uint32_t kMemberReadMessages = 16;
inline constexpr uint32_t kHostReadMessages = 256;
// A peer from which something came this recently is heard: a live one is
// heard at least every 2 s plus its round trip, by its data, its
// acknowledgements, or its answers to probes of a quiet link or of a
// window it keeps closed (platform::keepSocketHeard). The same bound holds
// for a live peer's acknowledgement of new bytes while some wait for one:
// the system sends them again at least that often.
inline constexpr uint32_t kHeardGraceMs = 3000;

class SessionLink {
public:
    // Both directions emptied and the end forgotten, for a new connection.
    void clear();

    // Reads what the socket holds now, up to maxMessages, and appends every
    // message that is then whole to `whole` (an overlong one counts, and is
    // dropped). The peer's end of sending is noted (peerFinished); the
    // connection's end (a reset, the system's end, a failed read, or a
    // send that met the end, once all that came before it is taken) ends
    // the link with its cause.
    void receive(int32_t slot, uint32_t maxMessages, std::deque<SessionMessage>& whole);
    // Something may still come from the peer: false once it finished, the
    // connection's end was read, or the owner ended the link. Once false,
    // nobody waits to read the socket again. The session thread's alone.
    bool receiving() const { return receiving_; }
    // The peer sends nothing more (its FIN) and the link lasts: what it
    // sent has all been received.
    bool peerFinished() const { return !receiving_ && endCause() == 0; }

    // Appends the whole message to the queue when the queue then holds no
    // more than boundBytes (an empty queue takes any message). When nothing
    // waited ahead of it and sendSlot names the link's socket, the socket is
    // handed what it takes of it at once, without waiting. 0 when queued;
    // otherwise why nothing of it was: kSockNoBufferSpace past the bound,
    // kSockMessageSize for a message longer than the format carries, the
    // end cause of a link that ended.
    int32_t queue(const SessionMessage& message, size_t boundBytes = SIZE_MAX, int32_t sendSlot = -1);
    // The host's reply (an id or an answer) to the member: ahead of the
    // texts waiting, past any bound, sent by the next flush. 0, or as queue.
    int32_t queueReply(const SessionMessage& message);
    // Hands the socket no more than keeps what the system holds unsent for
    // the peer within `bytes`: what waits beyond that waits here, where a
    // reply can still pass it. (The system's own unsent limit only tells
    // when a socket is writable: once writable, one send may leave it
    // holding many times that limit.) Set the socket's unsent limit to the
    // same, so that it turns writable as soon as there is room.
    void holdUnsentTo(size_t bytes) { unsentCapBytes_ = bytes; }
    // Sends what the socket takes now of what is queued; the bytes still queued.
    size_t flush(int32_t slot);
    size_t queuedBytes();
    bool hasQueued() { return queuedBytes() > 0; }
    // What the link's system knows of its peer now (lookAtPeerOnSocket),
    // taken once for both rules below; the look also notes whether the
    // peer kept up (keptUpMs_).
    platform::PeerLook look(int32_t slot, uint32_t nowMs);

    // How far the peer has fallen behind in taking its texts, as of the
    // look (send_queue.h). The time counts while the peer's system takes
    // what is sent, whether or not its program reads. What a look finds,
    // and what the clock does:
    // - it kept up within kHeardGraceMs (new bytes acknowledged, or bytes
    //   waiting for less than that since nothing did): the peer takes (a
    //   live member, a slow one, one on a lossy link between its losses);
    //   runs;
    // - the peer heard, its window closed and everything sent acknowledged:
    //   its system answers the probes of a window its program keeps closed
    //   (it stopped reading); runs;
    // - bytes waiting, the window open and nothing new acknowledged within
    //   kHeardGraceMs: an outage, whichever side drops the bytes: on the
    //   way to the peer (sent and unacknowledged, whatever still comes the
    //   other way: its own sends, sent again, can keep it heard), or as
    //   they leave this machine (its own link or firewall fails them: held
    //   unsent, nothing in flight); stands. A lasting outage is the silence
    //   rules' to end: first the peer's, which hears nothing, then this
    //   side's once nothing more comes or is acknowledged;
    // - nothing heard: an outage both ways; stands.
    // An idle link has nothing queued and no lag, whatever the clock does.
    uint32_t lagMs(uint32_t nowMs, const platform::PeerLook& look);

    // At a session's end, with the queue handed to the system: true while
    // the system still holds bytes of the link that its peer has not
    // acknowledged and the peer has taken some (or more was handed over)
    // within the last stallMs.
    bool peerStillTaking(int32_t slot, uint32_t nowMs, uint32_t stallMs);

    // The connection may stay silent for limitMs: endIfSilent ends it once
    // nothing at all has come from its peer that long, however sparse the
    // sends, and the system probes a quiet peer meanwhile so that a live
    // one is heard (keepSocketHeard); the system never ends it first.
    void limitSilence(int32_t slot, uint32_t limitMs);
    // Ends the link (kSockTimedOut) when the look finds it silent for
    // longer than its silence limit; true when it ended it. What a look
    // finds:
    // - the connection over (a reset, which the system does not count as
    //   heard, however long ago it came, as for a program that goes on
    //   after a long stop; or the system's own end): not this rule's. A
    //   receiving link's receive takes what came before the end and then
    //   its cause; a finished one's owner learns the end from its wait,
    //   with the system's cause (a reset, or its own timeout);
    // - the peer finished (its FIN): it sends nothing more, so only what it
    //   takes speaks for it: silent once it has not kept up (keptUpMs_) for
    //   the limit. Its FIN does not restart that count: it shows that the
    //   peer is there, not that it takes. With its FIN come:
    //   - nothing queued, or texts queued that it takes: never silent; its
    //     owner closes the link once everything is handed over;
    //   - after an idle spell, texts held on the way: counted from when
    //     they began to wait, so a hold shorter than the limit loses none;
    //   - behind a closed window: counted from its FIN at most (it kept up
    //     while it held the window closed and still sent), so it has the
    //     limit to read again, else it goes;
    //   - behind a lost direction: counted from when the texts it never
    //     acknowledged began to wait;
    // - otherwise, something heard within the limit (data, an
    //   acknowledgement, also one that the peer's own sends carry while
    //   only the direction to it is lost, an answer to a probe): not
    //   silent; nothing at all for longer than the limit: silent.
    bool endIfSilent(const platform::PeerLook& look, uint32_t nowMs);

    // 0 while the link lasts; else why it ended (nothing more is sent).
    int32_t endCause() const { return endCause_.load(); }
    // The owner ends the link (the first cause stays): nothing more is
    // read, sent or queued. Waits for a send under way, so that the socket
    // may be closed after.
    void end(int32_t cause);

private:
    void endLocked(int32_t cause);
    // One send call of what is queued, never waiting: the bytes it took
    // (0 when the socket took nothing now or the link ended).
    size_t sendOnceLocked(int32_t slot);

    // Receiving.
    uint8_t partial_[kSessionHeaderBytes + kSessionPayloadMax] = {};
    uint32_t partialBytes_ = 0;
    uint32_t droppingBytes_ = 0;
    bool receiving_ = true;
    uint32_t silenceLimitMs_ = 0;  // 0: none

    // Sending, under sendLock_.
    std::mutex sendLock_;
    SendQueue outgoing_;
    size_t unsentCapBytes_ = 0;  // 0: no cap
    // The peer's acknowledged bytes at the last look, and when a look last
    // found that it kept up: it acknowledged new bytes, nothing waited for
    // it (queued, in flight or unsent), or, still sending, it was heard
    // holding its window closed with everything sent taken. An idle spell
    // keeps the clock fresh, so what is sent after it counts as waiting
    // from when it began to. The lag rule and a finished peer's silence
    // both read it.
    uint64_t acknowledged_ = 0;
    uint32_t keptUpMs_ = 0;
    bool looked_ = false;
    // At the end, the session thread's alone: the bytes unacknowledged at
    // the last look (-1: none yet), and since when.
    int32_t heldBySystem_ = -1;
    uint32_t heldChangedMs_ = 0;

    std::atomic<int32_t> endCause_{0};
};

// The error log's words for a link: its peer as "a.b.c.d:port", and why
// it ended: "it fell silent (10060 ...)" for a peer from which nothing came
// within the silence limit, else the number and its text. Both are cut to
// fit and always end in a NUL.
void describeLinkPeer(int32_t slot, char* out, size_t size);
void describeLinkEnd(int32_t cause, char* out, size_t size);
