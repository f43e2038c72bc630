// The network object: session start and reset, player requests, queries,
// the main thread's side of the session, and the engine's start-up and
// shutdown steps for it.
// Depends on the socket layer, the session links, messages and inboxes,
// the runtime's mutex, threads, sleeping and error log, the engine state and
// the registry of shutdown steps.
#include "net/net_session.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "net/host_addresses.h"
#include "net/socket_table.h"
#include "platform/clock.h"
#include "runtime/engine/engine_state.h"
#include "runtime/engine/orderly_end.h"
#include "runtime/files/error_log.h"
#include "runtime/services/timers.h"

namespace {

class SessionLock {
public:
    explicit SessionLock(NetSession& session) : session_(session) { session_.lock(); }
    ~SessionLock() { session_.unlock(); }
    SessionLock(const SessionLock&) = delete;
    SessionLock& operator=(const SessionLock&) = delete;

private:
    NetSession& session_;
};

void copyName(char (&to)[kPlayerNameBytes], const char* from) {
    std::memset(to, 0, sizeof to);
    if (from) std::strncpy(to, from, kPlayerNameBytes - 1);
}

uint32_t nowMillis() { return platform::clockPort().tickMillis(); }

}  // namespace

NetSession::NetSession() { mutexInit(&mutex); }

NetSession::~NetSession() {
    reset();
    mutexDestroy(&mutex);
}

void NetSession::lock() { mutexLock(&mutex); }
void NetSession::unlock() { mutexUnlock(&mutex); }

uint16_t NetSession::listeningPort() const { return hostOrderPort(getSocketPeer(listenSlot.load())); }

void NetSession::releaseSessionSockets() {
    int32_t listening;
    int32_t connection;
    bool reference;
    int32_t cause;
    {
        SessionLock guard(*this);
        listening = listenSlot.exchange(-1);
        connection = connectionSlot.exchange(-1);
        reference = holdsSocketReference;
        holdsSocketReference = false;
        cause = waitFailureLocked(false);
    }
    // The link ends first, so that nothing more is queued for a socket
    // that is going; a send that comes too late says why the session ended.
    hostLink.end(cause);
    if (listening != -1) closeSocket(listening);
    if (connection != -1) closeSocketDelivering(connection);
    if (reference) shutdownSockets();
}

void NetSession::reset() {
    bool running;
    {
        SessionLock guard(*this);
        running = threadRunning != 0;
        if (running) stopRequested = 1;
    }
    const bool stopped = running;
    while (running) {
        {
            SessionLock guard(*this);
            running = threadRunning != 0;
        }
        if (running) SleepMillis(kStopPollMs);
    }
    releaseSessionSockets();
    int32_t cause;
    {
        SessionLock guard(*this);
        cause = endFlushCause;
        endFlushCause = 0;
        settleIdleLocked();
    }
    // Whether everything queued went out before the end (the closes above
    // overwrote the word).
    if (stopped) setSocketError(cause);
}

void NetSession::settleIdleLocked() {
    stopRequested = 1;
    threadRunning = 0;
    acceptPlayers = 1;
    nextPlayerId = kFirstAssignedPlayerId;
    ownPlayerId = 0;
}

int32_t NetSession::start(bool hosting, const char* hostName, uint16_t port, const char* selfHost) {
    reset();
    {
        SessionLock guard(*this);
        localPlayers.clear();
        hostPlayers.clear();
        leftPlayers.clear();
        answers.clear();
        listenSlot = -1;
        connectionSlot = -1;
        nextPlayerId = kFirstAssignedPlayerId;
        ownPlayerId = 0;
        awaitedReplies.clear();
        endCause = 0;
    }
    hostLink.clear();
    if (!startupSockets()) return 0;
    {
        SessionLock guard(*this);
        holdsSocketReference = true;
    }
    SocketAddress address;
    if (hosting) {
        const int32_t listening = listenTcp(port);
        if (listening < 0) return 0;
        listenSlot = listening;
        address = resolveHost(selfHost, listeningPort());
    } else {
        address = resolveHost(hostName, port);
        if (address.address == 0 && address.port == 0) return 0;
    }
    const int32_t connection = connectTcp(address, kSessionConnectTimeoutMs, kMemberUnreadBytes);
    if (connection < 0) return 0;
    setSocketNoDelay(connection);  // questions and texts go as they are queued
    hostLink.limitSilence(connection, silenceLimitMs.load());
    connectionSlot = connection;
    {
        SessionLock guard(*this);
        isHost = hosting ? 1 : 0;
        threadRunning = 1;
        stopRequested = 0;
    }
    if (threadCreate(sessionThreadMain, this, 0) == kThreadFailed) {
        {
            SessionLock guard(*this);
            threadRunning = 0;
        }
        reset();
        return 0;
    }
    if (hosting) return 1;
    SessionMessage answer;
    if (query(kKindJoinHandshake, nullptr, 0, &answer)) return 1;
    // The cause outlives the reset, whose closing overwrites the last error.
    const int32_t cause = lastSocketError();
    reset();
    setSocketError(cause);
    return 0;
}

int32_t NetSession::host(uint16_t port, const char* selfHost) { return start(true, nullptr, port, selfHost); }

int32_t NetSession::join(const char* hostName, uint16_t port) { return start(false, hostName, port, nullptr); }

uint32_t NetSession::waitLimitMs() const {
    return static_cast<uint32_t>(answerPolls > 0 ? answerPolls : 0) * kAnswerPollMs;
}

int32_t NetSession::waitFailureLocked(bool timedOut) const {
    if (timedOut) return platform::kSockTimedOut;
    return endCause != 0 ? endCause : platform::kSockNotConnected;
}

template <class Taken>
int32_t NetSession::awaitLocked(Taken&& taken) {
    const uint32_t start = nowMillis();
    const uint32_t waitMs = waitLimitMs();
    for (;;) {
        if (taken()) return 0;
        const uint32_t waited = nowMillis() - start;
        if (threadRunning == 0 || waited >= waitMs) return waitFailureLocked(threadRunning != 0);
        replied.wait_for(*this, std::chrono::milliseconds(waitMs - waited));
    }
}

uint16_t NetSession::queueSessionRequest(const char* name) {
    SessionLock guard(*this);
    NetPlayer player;
    player.queryOnly = name ? 0 : 1;
    player.id = kAwaitingPlayerId;
    copyName(player.name, name ? name : "query");
    localPlayers.push_back(std::move(player));
    const std::list<NetPlayer>::iterator record = std::prev(localPlayers.end());
    // Sent under the mutex, as questions are: the request's place among the
    // awaited replies is its place on the wire.
    awaitedReplies.expect(kKindPlayerId, &*record);
    sendToHost(makePlayerRequest(record->queryOnly != 0, record->name));
    const int32_t cause = awaitLocked([&] { return isValidPlayerId(record->id); });
    if (cause == 0) {
        setSocketError(0);
        return record->id;
    }
    giveUpReplyLocked(&*record);
    localPlayers.erase(record);
    setSocketError(cause);
    return 0;
}

void NetSession::giveUpReplyLocked(const NetPlayer* record) {
    // Its reply may still come (a slow host) or never (a dropped message).
    // Kept awaited, it is dropped when it comes; the handshake asked after
    // it settles the case where it never does.
    const bool canSettle = threadRunning != 0 && ownPlayerId != 0;
    if (!awaitedReplies.giveUp(record, canSettle) || !canSettle) return;
    awaitedReplies.expect(kKindJoinHandshake, nullptr, false);
    sendToHost(makeSessionMessage(kKindJoinHandshake, kHostPlayerId, ownPlayerId, nullptr, 0));
}

bool NetSession::sendToHost(const SessionMessage& message) {
    const int32_t connection = connectionSlot.load();
    if (connection == -1) return false;
    return hostLink.queue(message, SIZE_MAX, connection) == 0;
}

int32_t NetSession::queueProgramMessage(const SessionMessage& message) {
    int32_t cause;
    const int32_t connection = connectionSlot.load();
    if (connection == -1) {
        SessionLock guard(*this);
        cause = waitFailureLocked(false);
    } else {
        cause = hostLink.queue(message, sendQueueLimitBytes.load(), connection);
    }
    setSocketError(cause);
    return cause;
}

NetPlayer* NetSession::findLocalPlayerLocked(int32_t id) {
    for (NetPlayer& player : localPlayers) {
        if (player.id == id) return &player;
    }
    return nullptr;
}

bool NetSession::deliverLocked(const SessionMessage& text) {
    // Never to a record whose request is still unsent or unanswered.
    NetPlayer* player = isValidPlayerId(text.header.receiver) ? findLocalPlayerLocked(text.header.receiver) : nullptr;
    if (!player) return false;
    player->inbox.push(text, kInboxBytesMax);
    return true;
}

bool NetSession::query(uint8_t kind, const void* payload, uint16_t length, SessionMessage* answer) {
    uint16_t own;
    {
        SessionLock guard(*this);
        own = ownPlayerId;
    }
    if (own == 0) {
        own = queueSessionRequest(nullptr);
        if (own == 0) return false;
        SessionLock guard(*this);
        ownPlayerId = own;
    }
    // Sent under the mutex, so that the question's place among the awaited
    // replies is its place on the wire.
    SessionLock guard(*this);
    answers.clear();
    awaitedReplies.expect(kind, nullptr);
    sendToHost(makeSessionMessage(kind, kHostPlayerId, own, payload, length));
    // The thread keeps only this question's answer.
    const int32_t cause = awaitLocked([this] { return !answers.empty(); });
    if (cause == 0) {
        *answer = answers.front();
        answers.pop_front();
    } else {
        giveUpReplyLocked(nullptr);
    }
    setSocketError(cause);
    return cause == 0;
}

bool NetSession::isRunning() {
    SessionLock guard(*this);
    return threadRunning != 0;
}

void NetSession::setAcceptPlayers(bool accept) {
    SessionLock guard(*this);
    acceptPlayers = accept ? 1 : 0;
}

int32_t NetSession::playerCount() {
    {
        SessionLock guard(*this);
        if (threadRunning == 0) {
            setSocketError(waitFailureLocked(false));
            return 0;
        }
    }
    SessionMessage answer;
    return query(kKindPlayerCount, nullptr, 0, &answer) ? sessionPayloadU16(answer) : 0;
}

int32_t NetSession::playerIdAt(int32_t k) {
    const uint8_t payload[2] = {static_cast<uint8_t>(k & 0xFF), static_cast<uint8_t>((k >> 8) & 0xFF)};
    SessionMessage answer;
    return query(kKindPlayerIdByNumber, payload, 2, &answer) ? sessionPayloadU16(answer) : 0;
}

RtString NetSession::playerName(int32_t id) {
    const uint8_t payload[2] = {static_cast<uint8_t>(id & 0xFF), static_cast<uint8_t>((id >> 8) & 0xFF)};
    SessionMessage answer;
    if (!query(kKindPlayerName, payload, 2, &answer)) return RtString("NO_DATA");
    return RtString(reinterpret_cast<const char*>(answer.payload));
}

int32_t NetSession::addPlayer(const char* name) { return queueSessionRequest(name ? name : ""); }

void NetSession::sendControl(int32_t id) {
    if (!isValidPlayerId(id)) return;
    queueProgramMessage(makeSessionMessage(kKindRemovePlayer, kHostPlayerId, static_cast<uint16_t>(id), nullptr, 0));
}

int32_t NetSession::sendText(int32_t sender, int32_t receiver, const RtString& text) {
    if (text.length > kSessionPayloadMax) {
        setSocketError(platform::kSockMessageSize);
        return 0;
    }
    const uint16_t to = receiver == 0 ? kEveryPlayer : static_cast<uint16_t>(receiver);
    const SessionMessage message =
        makeSessionMessage(kKindText, to, static_cast<uint16_t>(sender), text.data, text.length);
    return queueProgramMessage(message) == 0 ? 1 : 0;
}

RtString NetSession::receiveText(int32_t id) {
    SessionMessage message;
    bool taken = false;
    uint64_t lost = 0;
    {
        SessionLock guard(*this);
        if (NetPlayer* player = findLocalPlayerLocked(id)) {
            taken = player->inbox.pop(&message);
            lost = player->inbox.takeLost();
        }
    }
    // The program is told of texts its player lost since it last asked.
    setSocketError(lost > 0 ? platform::kSockNoBufferSpace : 0);
    if (lost > 0) {
        char line[160];
        std::snprintf(line, sizeof line, "Session: %llu texts to player %d were lost: its inbox held %zu bytes\n",
                      static_cast<unsigned long long>(lost), static_cast<int>(id), kInboxBytesMax);
        appendToErrorLog(line);
    }
    if (!taken) return RtString();
    lastSenderId = message.header.sender;
    return RtString(reinterpret_cast<const char*>(message.payload));
}

int32_t NetSession::popLeftPlayer() {
    SessionLock guard(*this);
    if (isHost != 1 || leftPlayers.empty()) return 0;
    const uint16_t id = leftPlayers.back();
    leftPlayers.pop_back();
    return id;
}

void NetSession::sayGoodbye() {
    // Queued past any bound: the session's end that follows sends them
    // with everything else still queued.
    SessionLock guard(*this);
    for (const NetPlayer& player : localPlayers) {
        if (isValidPlayerId(player.id)) {
            sendToHost(makeSessionMessage(kKindRemovePlayer, kHostPlayerId, player.id, nullptr, 0));
        }
    }
}

NetSession* createNetSession() {
    if (!engine.network) {
        engine.network = new NetSession;
        setShutdownStep(ShutdownStageNetwork, &releaseNetSession);
    }
    return engine.network;
}

void releaseNetSession() {
    if (NetSession* session = engine.network) {
        session->sayGoodbye();
        session->reset();
        shutdownSockets();
        delete session;
        engine.network = nullptr;
        // However many references were taken and never given back, none is
        // left: the last release closes every socket of the table.
        do {
            shutdownSockets();
        } while (socketReferenceCount() > 0);
    }
    setShutdownStep(ShutdownStageNetwork, nullptr);
}
