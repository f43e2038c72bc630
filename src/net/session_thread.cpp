// The session thread: each pass waits once (at most 10 ms, not at all while
// work is left over) for any of its connections to be ready, takes what its
// host sent (ids, answers, texts for local players), and while hosting
// serves the member connections (session_host.h), then hands the socket
// what is still queued for the host. The program's own messages do not wait
// for a pass: they leave as they are queued (session_link.h), and a command
// waiting for an id or an answer is woken as the thread stores it.
//
// The thread never waits on one connection: every connection keeps its own
// receive buffer and send queue (session_link.h) and one wait covers them
// all, so a message that arrives in pieces is resumed when its next piece
// is there, and a reply to a peer that does not read waits in that peer's
// queue. It never holds the session mutex longer than one change to a
// shared list takes, and it reads the connection to the host whatever the
// local players' programs do: texts go to their inboxes (which keep or lose
// them, text_inbox.h), ids and answers to the commands waiting for them.
//
// Rules for what comes from this process's host:
// - only messages from this process's own host connection count as the
//   host's (ids assigned, answers), so a member cannot forge them; an answer
//   is kept only for this process's query player, and every reply goes to
//   the request or question it answers by the order they were sent
//   (awaited_replies.h), one whose command gave up to none;
// - a text is delivered to a local player only when its receiver is a valid
//   id, never to a record whose request is still unsent or unanswered;
// - when the host closes or resets the connection, what it sent before is
//   still taken, then the session ends with kSockConnectionReset, and the
//   error log says that the host closed it;
// - when the connection fails (the host fell silent, kSockTimedOut: nothing
//   at all came from it for the silence limit, its close included, looked
//   at every 100 ms; or any other failure), the session ends with that
//   cause, and the error log names the host and the cause.
// A session's end (asked for, or because the host is gone) first hands the
// system what is still queued and lets its peers take it, at most
// kEndFlushMs in all, and then closes its connections in order.
// Depends on the network object, its awaited replies, the host's side of
// the thread, the session links and messages, the socket layer, the clock
// and the error log.
#include <cstdio>
#include <deque>
#include <memory>
#include <vector>

#include "net/net_session.h"
#include "net/session_host.h"
#include "net/socket_table.h"
#include "platform/clock.h"
#include "runtime/files/error_log.h"
#include "runtime/services/timers.h"

namespace {

constexpr uint32_t kEndStepMs = 1;  // a session's end looks again this often

uint32_t nowMillis() { return platform::clockPort().tickMillis(); }

// One wait over the host connection and, while hosting, the listener and
// the places. `waits` is kept from pass to pass, so that an idle pass
// allocates nothing.
void waitForAny(NetSession& session, SessionHost* host, bool readHost, uint32_t timeoutMs,
                std::vector<SocketSlotWait>& waits) {
    waits.clear();
    SessionLink& link = session.hostLink;
    SocketSlotWait toHost;
    toHost.wanted = (readHost ? platform::kWaitRead : 0u) | (link.hasQueued() ? platform::kWaitWrite : 0u);
    toHost.slot = toHost.wanted != 0 ? session.connectionSlot.load() : -1;
    waits.push_back(toHost);
    if (host) host->watch(waits);
    waitForSockets(waits.data(), static_cast<int32_t>(waits.size()), timeoutMs);
}

// An id from this process's host (mutex held): it goes to the request it
// answers; one that no local record takes (its request given up) is given
// back with a removal, so that the host keeps no player nobody has.
void takePlayerId(NetSession& session, uint16_t id) {
    AwaitedReplies::Entry request;
    if (!session.awaitedReplies.match(kKindPlayerId, &request) || !isValidPlayerId(id)) return;
    for (NetPlayer& player : session.localPlayers) {
        if (request.waited && &player == request.record && player.id == kAwaitingPlayerId) {
            player.id = id;
            session.replied.notify_all();
            return;
        }
    }
    session.sendToHost(makeSessionMessage(kKindRemovePlayer, kHostPlayerId, id, nullptr, 0));
}

// Member step: what came from this process's host, in order, all of it.
void takeFromHost(NetSession& session, std::deque<SessionMessage>& fromHost) {
    for (const SessionMessage& message : fromHost) {
        const SessionMessageHeader& header = message.header;
        session.lock();
        if (header.kind == kKindText) {
            session.deliverLocked(message);
        } else if (header.sender == kHostPlayerId && header.kind == kKindPlayerId) {
            takePlayerId(session, header.receiver);
        } else if (header.sender == kHostPlayerId && isQueryKind(header.kind) &&
                   header.receiver == session.ownPlayerId) {
            // Kept only as the answer to the question waiting now.
            AwaitedReplies::Entry question;
            if (session.awaitedReplies.match(header.kind, &question) && question.waited && session.answers.empty()) {
                session.answers.push_back(message);
                session.replied.notify_all();
            }
        }
        session.unlock();
    }
    fromHost.clear();
}

// The thread's end: what is still queued (the goodbyes of an engine
// shutdown, the program's last texts) is given up to kEndFlushMs to reach
// the system; what the system has taken counts as sent. Within the same
// time the end waits while a peer still takes what the system holds for
// it: a peer that goes on talking, as a game does every frame, would have
// its next text answered by a reset once the connection is closed, and
// the reset throws away what it had not taken yet. The connections are
// closed and the session's sockets released before the thread reports
// itself stopped.
void finishThread(NetSession& session, SessionHost* host, int32_t cause) {
    // Stored first: a command that fails from here on, as the connection
    // goes, leaves the session's own cause (releaseSessionSockets).
    session.lock();
    session.endCause = cause;
    session.unlock();
    const uint32_t start = nowMillis();
    EndBacklog backlog;
    for (;;) {
        backlog = EndBacklog();
        const uint32_t now = nowMillis();
        if (host) host->serveClosing(now, backlog);
        backlog.add(session.hostLink, session.connectionSlot.load(), now);
        if (!(backlog.waiting || backlog.delivering) || now - start >= kEndFlushMs) break;
        SleepMillis(kEndStepMs);
    }
    if (host) host->closeAll();
    session.releaseSessionSockets();
    session.lock();
    session.endFlushCause = backlog.waiting ? static_cast<int32_t>(platform::kSockTimedOut) : backlog.lostCause;
    session.settleIdleLocked();
    // Under the mutex: once it is let go, the session may be gone.
    session.replied.notify_all();
    session.unlock();
}

// The error log's line for a connection to the host that ended: the host
// closed or reset it (kSockConnectionReset, a FIN or a reset that came),
// or it failed, the cause named.
void logHostEnd(int32_t slot, int32_t cause) {
    char peer[32];
    char why[160];
    describeLinkPeer(slot, peer, sizeof peer);
    describeLinkEnd(cause, why, sizeof why);
    char line[320];
    if (cause == platform::kSockConnectionReset) {
        std::snprintf(line, sizeof line, "Session: the connection to the host %s ended: the host closed or reset it (%s)\n",
                      peer, why);
    } else {
        std::snprintf(line, sizeof line, "Session: the connection to the host %s failed: %s\n", peer, why);
    }
    appendToErrorLog(line);
}

}  // namespace

uint32_t sessionThreadMain(void* argument) {
    NetSession& session = *static_cast<NetSession*>(argument);
    std::unique_ptr<SessionHost> host;
    if (session.listenSlot.load() != -1) {
        host = std::make_unique<SessionHost>(session, getSocketLocalAddress(session.connectionSlot.load()));
    }
    std::deque<SessionMessage> fromHost;  // read from the host in this pass
    std::vector<SocketSlotWait> waits;
    SessionLink& hostLink = session.hostLink;
    uint32_t lastSilenceLookMs = nowMillis();
    bool workLeft = false;
    int32_t cause = 0;
    for (;;) {
        session.lock();
        const bool stop = session.stopRequested != 0;
        session.unlock();
        if (stop) break;

        const bool readHost = hostLink.receiving();
        waitForAny(session, host.get(), readHost, workLeft ? 0 : kThreadIdleSleepMs, waits);
        const uint32_t now = nowMillis();
        const int32_t connection = session.connectionSlot.load();

        // A send that met the connection's end leaves what came before it to be taken at once.
        if (readHost && (waits[0].ready != 0 || hostLink.endCause() != 0)) {
            hostLink.receive(connection, kHostReadMessages, fromHost);
        }
        takeFromHost(session, fromHost);
        if (now - lastSilenceLookMs >= kLinkLookMs) {
            lastSilenceLookMs = now;
            hostLink.endIfSilent(hostLink.look(connection, now), now);
        }
        if (!hostLink.receiving()) {
            // The host's FIN leaves no cause of its own.
            cause = hostLink.endCause() != 0 ? hostLink.endCause() : static_cast<int32_t>(platform::kSockConnectionReset);
            logHostEnd(connection, cause);
            break;
        }
        workLeft = host && host->serve(waits, now);
        hostLink.flush(connection);
    }
    finishThread(session, host.get(), cause);
    return 0;
}
