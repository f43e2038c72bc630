// The network object: the one multiplayer session of the process, its
// players, the messages between it and its background thread, and its
// place in the engine's start-up and shutdown.
//
// One process hosts a session (it listens, assigns player ids from 101,
// keeps every player, answers queries, forwards texts); others join it over
// one TCP connection each. The host is a member of its own session through a
// connection to its own listening port. All of a session's traffic runs on
// the session thread (sessionThreadMain); the commands run on the main
// thread and meet the thread only in the lists below, under the mutex.
//
// Lock discipline: every list and flag is read and written with the mutex
// held, and no path takes it twice. Nobody holds it while sleeping or
// waiting on a socket: messages queued under it (requests and questions,
// so that their order among the awaited replies is their order on the
// wire) go to the connection's link (session_link.h), which hands them to
// the socket at once when nothing waits ahead, in one send call that never
// waits. A command waiting for an id or an answer lets the mutex go and
// sleeps on `replied`, which the thread signals as it stores one and as it
// ends. The host's table (`hostPlayers`) is changed only by the session
// thread, under the mutex; the thread alone may read it without the mutex,
// so that forwarding a text to thousands of players holds nobody up.
//
// Who pays when a bound fills: only the one who does not read. The
// program's thread never waits on a peer, and the session thread never
// stops reading a connection because someone else does not read:
// - the program's texts (and its NetSendControl) are queued whole for the
//   host, at once; a text that would take the queue past
//   kSendQueueLimitBytes is refused at once with kSockNoBufferSpace and
//   nothing of it is sent, so a host that stops reading costs the program
//   only the texts it sends once that much waits. A text that was queued
//   is delivered unless the connection itself fails. The program's thread
//   pays one send call that never waits per text (or question, request,
//   goodbye) queued behind nothing, so that it leaves at once rather than
//   at the thread's next pass; the host forwards to its members in batches,
//   one send per member and pass;
// - a local player's inbox keeps kInboxBytesMax of texts; past it the
//   texts to that player are lost, counted, and its program is told on its
//   next NetReceiveMessage (kSockNoBufferSpace, and the count in the error
//   log). Nothing else waits for a full inbox;
// - answers (kinds 2, 101 to 104) go to the command that waits for them as
//   they arrive, whatever number of texts waits unread; at the host they go
//   ahead of the texts waiting for their member (send_queue.h);
// - a member that falls more than lagLimitMs behind in taking its texts
//   (counting time in which its system took what was sent, session_link.h)
//   is closed, its players leaving as when it disconnects, and its
//   connection reset, so that it learns of it even while its program is
//   stopped;
// - a peer that falls silent is ended after silenceLimitMs (session_link.h):
//   every session connection has that limit, so a host removes the players
//   of a member gone without a word, and a member whose host is gone sees
//   its session end (kSockTimedOut); both say so in the error log. A
//   message may take any time to arrive whole: a stall shorter than the
//   silence limit ends nothing.
//
// Departures from the plain design, for safety:
// - the session's reference on the socket layer is dropped once by whichever
//   reset comes first, never a second time (a reset while idle drops none),
//   so a session's end cannot close sockets the program opened itself;
// - the thread finishes its clean-up before it reports itself stopped, so a
//   reset waiting for it never overlaps the thread's own;
// - the thread does not clear a stop that was asked for before it began;
// - a session that ends (a reset, the engine shutdown) first hands the
//   system what is still queued, then waits while a peer still takes what
//   the system holds for it (a peer that sends after the close is answered
//   with a reset, which throws that away), at most kEndFlushMs in all, and
//   closes its connections in order, so that what the system holds is
//   still delivered; only what never left the program counts as not sent,
//   and the reset then leaves 10060 (or the connection's failure) in the
//   last-error word, else 0;
// - every reply of the host is matched to the request or question it
//   answers by the order they were sent (awaited_replies.h): a query takes
//   only the answer to its own question, a request only its own id, and a
//   reply to one given up is dropped when it comes, never taken by the next
//   (an id is then given back with a kind-4 removal, so the host keeps no
//   player nobody has); `answers` holds one at most;
// - a command that gives up has a handshake question (kind 104) sent after
//   what it gave up, as this process's query player: its answer tells that
//   everything sent before was answered or dropped, so one reply that never
//   comes cannot spoil the later ones (without a query player there is
//   nothing to ask: a request given up then counts as dropped);
// - `leftPlayers` keeps the newest kLeftPlayersMax departures;
// - there is no `incoming` list: each connection keeps what it brought and
//   the thread has not handled yet;
// - waiting commands are woken the moment their answer is stored rather
//   than looking every 20 ms (the same 5 s in all), and give up at once
//   when the session has ended; they leave in the last-error word 0 for an
//   answer, kSockTimedOut for a wait that ran out, and otherwise why the
//   session ended (kSockNotConnected without one).
// Depends on the socket layer, the session links, messages and inboxes,
// the runtime's mutex, threads, sleeping and error log, the engine state and
// the registry of shutdown steps.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <list>

#include "net/awaited_replies.h"
#include "net/session_link.h"
#include "net/session_message.h"
#include "net/text_inbox.h"
#include "runtime/services/threads.h"
#include "runtime/strings/rt_string.h"

inline constexpr uint16_t kDefaultSessionPort = 27910;
inline constexpr int32_t kSessionConnectTimeoutMs = 5000;
inline constexpr int32_t kAnswerPolls = 250;      // a waiting command's time, in steps of
inline constexpr int32_t kAnswerPollMs = 20;      // this many milliseconds
inline constexpr int32_t kThreadIdleSleepMs = 10; // a pass waits this long at most for a ready connection
inline constexpr int32_t kStopPollMs = 50;        // a reset waiting for the thread
inline constexpr int32_t kHostConnectionPlaces = 128;
// How long a session connection may stay silent (nothing heard from its
// peer) before it is ended; only this look ends a silent link, never the
// system's own counts, which can carry an earlier outage into the next. A
// live peer is heard at least every 2 s: probes go after 2 s of quiet and
// every 2 s after, and the system retries a send at least every 2 s where
// it can (platform/socket_port.h). So an outage of 20 s is survived, even
// one that begins just before a probe is due (heard again at most 24 s
// after the last time, with 2 s to spare for the round trip), and silence
// is noticed 26 s after the last thing heard (looked at every 100 ms),
// within 26 s of the peer falling silent however sparse or dense the
// traffic.
inline constexpr uint32_t kSilenceLimitMs = 26000;
// How often the thread looks at each link's silence and a member's lag (a
// look asks the system what it knows of the peer: when it last heard from
// it, what it acknowledged).
inline constexpr uint32_t kLinkLookMs = 100;
// A member whose oldest text waiting at the host is this old, counting only
// time in which its system took what was sent, is closed: it cannot keep
// up, or its program has stopped. An outage of the direction to it stops
// the count, however much still comes from it.
inline constexpr uint32_t kLagLimitMs = 10000;
// What the system holds written and unsent for a member: the rest waits in
// its queue, where the host's answers can still go ahead of it.
inline constexpr uint32_t kMemberUnsentBytes = 8 * 1024;
// What a member's own system keeps for it received and unread, held fixed.
// Left to itself the system grows it as small texts arrive, towards tens
// of megabytes, so a member whose program stopped took everything sent
// for many minutes and nothing waited at the host, where the lag rule
// looks. Who pays when it fills: that member, whose texts then wait at
// the host (its answers passing them); a live member's thread empties it
// every pass. It also bounds the member's window: over a link with a
// round trip of 100 ms, about 1 MB a second.
inline constexpr uint32_t kMemberUnreadBytes = 128 * 1024;
// The bound of a connection's send queue. The program's text that would
// take the queue to the host past it is refused (the program pays for a
// host that does not read); a member whose queue at the host passes it is
// closed at once, its players leaving as when it closes (the member pays
// for not reading, and the others go on). A member that takes 100 KB a
// second less than it is sent lasts 40 s.
inline constexpr uint32_t kSendQueueLimitBytes = 4 * 1024 * 1024;
// A member connection that has not asked for a player this long after it
// was accepted is closed, so that idle connections cannot hold every place.
inline constexpr uint32_t kPlayerRequestLimitMs = 10000;
// The players one connection may hold at once (a program's players and its
// query player): 128 connections then hold fewer players than there are
// ids, so one connection can neither use them up nor crowd out the others.
// Requests past it are dropped.
inline constexpr size_t kPlayersPerConnectionMax = 256;
// What one local player's inbox keeps (texts as they travel, header and
// payload): over a minute of 250 KB a second. Texts past it are lost to
// that player alone.
inline constexpr size_t kInboxBytesMax = 16 * 1024 * 1024;
// The departures kept for NetPopLeftPlayer, the oldest going first: ids are
// given again, so a program that never asks could otherwise have them grow
// without end. More than there are ids, so that even a whole table leaving
// at once is kept.
inline constexpr size_t kLeftPlayersMax = 65536;
// How long a session's end waits in all for what is still queued to reach
// the system, and for its peers to take what the system holds for them.
inline constexpr uint32_t kEndFlushMs = 900;
// At a session's end, a peer that takes nothing of what the system holds
// for it for this long does not read: it is not waited for (should it send
// after the close, it loses what it did not take).
inline constexpr uint32_t kEndStallMs = 250;

struct NetPlayer {
    int32_t socketSlot = -1;  // host table: the player's connection; local list: -1
    uint16_t id = kUnsentPlayerId;
    uint8_t queryOnly = 0;  // 1: only gives the process an id for its queries
    uint8_t reserved = 0;
    char name[kPlayerNameBytes] = {};
    TextInbox inbox;  // texts for a local player, oldest first
};

class NetSession {
public:
    NetSession();
    virtual ~NetSession();
    NetSession(const NetSession&) = delete;
    NetSession& operator=(const NetSession&) = delete;

    uint16_t nextPlayerId = kFirstAssignedPlayerId;  // the id the host assigns next
    uint16_t ownPlayerId = 0;  // the query-only player's id; 0 while none
    std::atomic<int32_t> listenSlot{-1};      // host: the listening socket
    std::atomic<int32_t> connectionSlot{-1};  // connection to the host (to itself when hosting)
    std::list<NetPlayer> localPlayers;
    std::list<NetPlayer> hostPlayers;
    uint8_t isHost = 0;
    uint8_t stopRequested = 1;
    uint8_t threadRunning = 0;
    uint8_t acceptPlayers = 1;  // 0: the host takes no connections and no players
    RtMutex* mutex = nullptr;
    std::list<SessionMessage> answers;   // the host's replies to queries
    std::list<uint16_t> leftPlayers;     // ids that left (host only), kLeftPlayersMax at most

    bool holdsSocketReference = false;  // the start's reference on the socket layer
    int32_t lastSenderId = 0;           // sender of the text last taken
    int32_t answerPolls = kAnswerPolls;  // a waiting command's time, in steps of kAnswerPollMs
    SessionLink hostLink;               // the connection to the host's buffers
    AwaitedReplies awaitedReplies;      // requests and questions sent, their replies not yet come
    int32_t endCause = 0;               // why the thread ended by itself (0: it was asked to stop)
    int32_t endFlushCause = 0;          // why something queued could not go at the end (0: all went)
    std::atomic<uint32_t> silenceLimitMs{kSilenceLimitMs};  // of connections made from now on
    std::atomic<uint32_t> lagLimitMs{kLagLimitMs};
    // Signalled (mutex held) when the thread stores an id or an answer, and when it ends.
    std::condition_variable_any replied;
    std::atomic<uint32_t> sendQueueLimitBytes{kSendQueueLimitBytes};
    std::atomic<uint32_t> playerRequestLimitMs{kPlayerRequestLimitMs};

    void lock();
    void unlock();

    // Ends any running session, then listens on the port (0: one the system
    // picks) and connects to itself at selfHost (null: this host's own first
    // address) and starts the thread. 1 when the session is up.
    int32_t host(uint16_t port, const char* selfHost = nullptr);
    // Ends any running session, connects to the host and starts the thread;
    // 1 when the host answered the handshake.
    int32_t join(const char* hostName, uint16_t port);
    // The session reset: stops the thread (waiting for it without limit;
    // the thread's end delivers what is queued, at most kEndFlushMs), closes
    // the session's sockets, drops its reference on the socket layer and
    // puts the flags back. The lists stay until the next start. After a
    // running session, the last error says whether everything queued went
    // (0) or not (10060, or the connection's failure).
    void reset();
    // The listening port (host order) while hosting; 0 otherwise.
    uint16_t listeningPort() const;

    // Registers a player of this process (null name: the query-only player),
    // sends its request and waits for its id; the id, or 0 (the record
    // removed again).
    uint16_t queueSessionRequest(const char* name);
    // Sends a query of the kind as this process's query-only player and
    // waits for the host's answer of that kind to that player.
    bool query(uint8_t kind, const void* payload, uint16_t length, SessionMessage* answer);
    // Queues the message on the connection to the host, without waiting
    // and past any bound (requests, questions and goodbyes are few and
    // small); it leaves at once when nothing waits ahead, else the session
    // thread sends it. False without a connection,
    // when that connection's link has ended, or for a message longer than
    // the format carries (none of it is sent).
    bool sendToHost(const SessionMessage& message);
    // The program's send: queues the message for the host at once, within
    // the queue's bound. 0, or why nothing of it was queued (the last error
    // is set either way).
    int32_t queueProgramMessage(const SessionMessage& message);

    // A text for this process's players (mutex held): the first local
    // record with the receiver's id keeps it, or loses it when its inbox is
    // full. False when no local record has that id.
    bool deliverLocked(const SessionMessage& text);
    // The first local record with the id, or null (mutex held).
    NetPlayer* findLocalPlayerLocked(int32_t id);

    bool isRunning();
    void setAcceptPlayers(bool accept);
    int32_t playerCount();
    int32_t playerIdAt(int32_t k);
    RtString playerName(int32_t id);
    int32_t addPlayer(const char* name);
    void sendControl(int32_t id);
    int32_t sendText(int32_t sender, int32_t receiver, const RtString& text);
    RtString receiveText(int32_t id);
    int32_t popLeftPlayer();

    // The engine shutdown's farewell: a kind-4 message for every local
    // player with a valid id, before anything is closed.
    void sayGoodbye();
    // Closes the session's sockets and drops its socket-layer reference,
    // each once, whichever thread comes first.
    void releaseSessionSockets();
    // The flags of a session that is over (mutex held): the thread stopped,
    // new players taken, ids from 101, no query player.
    void settleIdleLocked();

private:
    int32_t start(bool hosting, const char* hostName, uint16_t port, const char* selfHost);
    // How long a waiting command waits in all.
    uint32_t waitLimitMs() const;
    // Waits (mutex held, let go meanwhile) until `taken` holds, the thread
    // ends or the wait's limit runs out: 0 when it holds, else the word
    // for the last error.
    template <class Taken>
    int32_t awaitLocked(Taken&& taken);
    // The last-error word for a wait that ended without its answer (mutex held).
    int32_t waitFailureLocked(bool timedOut) const;
    // A command stops waiting for the reply to the request of the record
    // (null: to its question); mutex held.
    void giveUpReplyLocked(const NetPlayer* record);
};

// The thread body: passes of sending, receiving and routing until asked to
// stop or until the connection to the host is gone. Returns 0.
uint32_t sessionThreadMain(void* session);

// Engine start-up: makes the one network object (engine.network) and
// registers releaseNetSession as the shutdown's network step. A second call
// returns the object already made.
NetSession* createNetSession();
// Engine shutdown: goodbyes, the reset, then the object is freed and every
// reference on the socket layer dropped, however many remained: the count
// ends at 0 and every socket of the table is closed.
void releaseNetSession();
