// The session thread: each pass sends this process's player requests, reads
// what its host sent, and while hosting accepts member connections, reads
// their messages and answers them; then it delivers texts to local players
// and hands the host's replies to the waiting commands.
//
// Routing rules that keep a session sound:
// - only messages that arrived on a member's connection are handled as the
//   host (forwarded, answered, registered): a text that came back on the
//   host's own member connection and found no local player is dropped, never
//   forwarded again, so undeliverable texts cannot circle;
// - only messages from this process's own host connection count as the
//   host's (ids assigned, answers), so a member cannot forge them;
// - a player request names the place of its connection, and one that names
//   no place in use is dropped; the host's 129th connection is closed;
// - once every valid id (up to 65,279) has been handed out, further player
//   requests are dropped rather than given an id that means something else;
// - a text is delivered to a local player only when its receiver is a valid
//   id, never to a record whose request is still unsent or unanswered.
// Depends on the network object, the session messages and the socket layer.
#include <algorithm>
#include <cstring>

#include "net/net_session.h"
#include "net/socket_table.h"
#include "runtime/services/timers.h"

namespace {

// The host's table of member connections: the places in use are the first
// `count`; a place's number is the connection number a request carries.
struct HostConnections {
    int32_t slots[kHostConnectionPlaces];
    int32_t count = 0;

    HostConnections() { std::fill(std::begin(slots), std::end(slots), -1); }

    // The connection of the last place moves into the freed one.
    void removePlace(int32_t place) {
        slots[place] = slots[count - 1];
        slots[count - 1] = -1;
        --count;
    }
};

// Sends with the session mutex released, as every send is made.
void sendUnlocked(NetSession& session, int32_t slot, const SessionMessage& message) {
    session.unlock();
    sendSessionMessage(slot, message);
    session.lock();
}

// Pass step: requests of local players not yet sent. The id moves to
// "awaiting" before the send, so the record is never sent twice.
void sendPlayerRequests(NetSession& session, bool& activity) {
    session.lock();
    for (;;) {
        auto pending = std::find_if(session.localPlayers.begin(), session.localPlayers.end(),
                                    [](const NetPlayer& p) { return p.id == kUnsentPlayerId; });
        if (pending == session.localPlayers.end()) break;
        activity = true;
        const SessionMessage request = makePlayerRequest(pending->queryOnly != 0, pending->name);
        pending->id = kAwaitingPlayerId;
        sendUnlocked(session, session.connectionSlot.load(), request);
    }
    session.unlock();
}

void keepIncoming(NetSession& session, SessionMessage& message) {
    session.lock();
    session.incoming.push_back(message);
    session.unlock();
}

// Pass step: everything the host sent. False when the connection is gone.
bool receiveFromHost(NetSession& session, bool& activity) {
    SessionMessage message;
    for (;;) {
        const SessionRead read = readSessionMessage(session.connectionSlot.load(), &message);
        if (read == SessionRead::Whole) {
            message.fromMember = false;
            keepIncoming(session, message);
        } else if (read != SessionRead::Skipped) {
            return read != SessionRead::Closed;
        }
        activity = true;
    }
}

// A member's connection closed: its first player leaves, the place is freed.
void dropConnection(NetSession& session, HostConnections& connections, int32_t place) {
    const int32_t slot = connections.slots[place];
    session.lock();
    auto player = std::find_if(session.hostPlayers.begin(), session.hostPlayers.end(),
                               [slot](const NetPlayer& p) { return p.socketSlot == slot; });
    if (player != session.hostPlayers.end()) {
        if (session.isHost == 1) session.leftPlayers.push_back(player->id);
        session.hostPlayers.erase(player);
    }
    session.unlock();
    closeSocket(slot);
    connections.removePlace(place);
}

// Pass step, host only: new connections and one message from each member.
void serveMembers(NetSession& session, HostConnections& connections, bool& activity) {
    session.lock();
    const bool accepting = session.acceptPlayers != 0;
    session.unlock();
    if (accepting) {
        const int32_t accepted = acceptTcp(session.listenSlot.load(), nullptr);
        if (accepted >= 0) {
            activity = true;
            if (connections.count < kHostConnectionPlaces) {
                connections.slots[connections.count++] = accepted;
            } else {
                closeSocket(accepted);
            }
        }
    }
    SessionMessage message;
    // A connection moved into a freed place waits for the next pass.
    for (int32_t place = 0; place < connections.count; ++place) {
        const SessionRead read = readSessionMessage(connections.slots[place], &message);
        if (read == SessionRead::Whole) {
            message.fromMember = true;
            if (message.header.kind == kKindPlayerRequest) message.header.sender = static_cast<uint16_t>(place);
            keepIncoming(session, message);
            activity = true;
        } else if (read == SessionRead::Skipped) {
            activity = true;
        } else if (read == SessionRead::Closed) {
            dropConnection(session, connections, place);
            activity = true;
        }
    }
}

// Texts for players of this process (mutex held). A text to one player is
// taken by the first local record with that id.
void deliverLocally(NetSession& session) {
    for (auto message = session.incoming.begin(); message != session.incoming.end();) {
        const uint16_t receiver = message->header.receiver;
        bool taken = false;
        if (message->header.kind == kKindText && isValidPlayerId(receiver)) {
            for (NetPlayer& player : session.localPlayers) {
                if (player.id != receiver) continue;
                player.inbox.push_back(*message);
                taken = true;
                break;
            }
        }
        message = taken ? session.incoming.erase(message) : std::next(message);
    }
}

NetPlayer* findHostPlayer(NetSession& session, uint16_t id) {
    for (NetPlayer& player : session.hostPlayers) {
        if (player.id == id) return &player;
    }
    return nullptr;
}

void forwardText(NetSession& session, const SessionMessage& message) {
    SessionMessage copy = message;
    if (message.header.receiver == kEveryPlayer) {
        for (NetPlayer& player : session.hostPlayers) {
            if (player.queryOnly != 0 || player.reserved != 0 || player.id == message.header.sender) continue;
            copy.header.receiver = player.id;
            sendUnlocked(session, player.socketSlot, copy);
        }
    } else if (NetPlayer* player = findHostPlayer(session, message.header.receiver)) {
        sendUnlocked(session, player->socketSlot, copy);
    }
}

void registerPlayer(NetSession& session, const HostConnections& connections, const SessionMessage& request) {
    const uint16_t place = request.header.sender;
    if (!session.acceptPlayers || place >= connections.count || !isValidPlayerId(session.nextPlayerId)) return;
    NetPlayer player;
    player.socketSlot = connections.slots[place];
    player.id = session.nextPlayerId++;
    bool queryOnly = false;
    readPlayerRequest(request, &queryOnly, player.name);
    player.queryOnly = queryOnly ? 1 : 0;
    const int32_t slot = player.socketSlot;
    const uint16_t id = player.id;
    session.hostPlayers.push_back(std::move(player));
    sendUnlocked(session, slot, makeSessionMessage(kKindPlayerId, id, kHostPlayerId, nullptr, 0));
}

void removePlayers(NetSession& session, uint16_t id) {
    for (auto player = session.hostPlayers.begin(); player != session.hostPlayers.end();) {
        if (player->id != id) {
            ++player;
            continue;
        }
        if (session.isHost == 1) session.leftPlayers.push_back(id);
        player = session.hostPlayers.erase(player);
    }
}

SessionMessage answerQuery(NetSession& session, const SessionMessage& query) {
    const uint16_t asker = query.header.sender;
    switch (query.header.kind) {
        case kKindPlayerCount: {
            uint16_t count = 0;
            for (const NetPlayer& p : session.hostPlayers) count += (p.queryOnly == 0 && isValidPlayerId(p.id)) ? 1 : 0;
            return makeSessionMessageU16(kKindPlayerCount, asker, kHostPlayerId, count);
        }
        case kKindPlayerIdByNumber: {
            uint32_t k = sessionPayloadU16(query);
            uint16_t id = 0;
            for (const NetPlayer& p : session.hostPlayers) {
                if (p.queryOnly != 0) continue;
                if (k-- == 0) {
                    id = p.id;
                    break;
                }
            }
            return makeSessionMessageU16(kKindPlayerIdByNumber, asker, kHostPlayerId, id);
        }
        case kKindPlayerName: {
            const NetPlayer* player = findHostPlayer(session, sessionPayloadU16(query));
            const char* name = (player && player->name[0]) ? player->name : "NO_DATA";
            return makeSessionMessage(kKindPlayerName, asker, kHostPlayerId, name,
                                      static_cast<uint32_t>(std::strlen(name)));
        }
        default:  // kKindJoinHandshake
            return makeSessionMessageU16(kKindJoinHandshake, asker, kHostPlayerId, 1);
    }
}

// Host step (mutex held): texts forwarded, requests registered, removals
// made, queries answered; each handled message leaves `incoming`.
void handleAsHost(NetSession& session, const HostConnections& connections, bool& activity) {
    if (!session.incoming.empty()) activity = true;
    for (auto message = session.incoming.begin(); message != session.incoming.end();) {
        const SessionMessageHeader& header = message->header;
        bool handled = true;
        if (!message->fromMember) {
            handled = false;
        } else if (header.kind == kKindText) {
            forwardText(session, *message);
        } else if (header.receiver != kHostPlayerId) {
            handled = false;
        } else if (header.kind == kKindPlayerRequest) {
            registerPlayer(session, connections, *message);
        } else if (header.kind == kKindRemovePlayer) {
            removePlayers(session, header.sender);
        } else if (header.kind >= kKindPlayerCount && header.kind <= kKindJoinHandshake) {
            if (NetPlayer* asker = findHostPlayer(session, header.sender)) {
                const int32_t slot = asker->socketSlot;
                sendUnlocked(session, slot, answerQuery(session, *message));
            }
        } else {
            handled = false;
        }
        message = handled ? session.incoming.erase(message) : std::next(message);
    }
}

// Member step (mutex held): ids assigned and answers from this process's host.
void takeFromHost(NetSession& session) {
    for (auto message = session.incoming.begin(); message != session.incoming.end();) {
        bool taken = false;
        if (!message->fromMember && message->header.sender == kHostPlayerId) {
            if (message->header.kind == kKindPlayerId) {
                for (NetPlayer& player : session.localPlayers) {
                    if (player.id != kAwaitingPlayerId) continue;
                    player.id = message->header.receiver;
                    break;
                }
                taken = true;
            } else if (message->header.kind >= 100) {
                session.answers.push_back(*message);
                taken = true;
            }
        }
        message = taken ? session.incoming.erase(message) : std::next(message);
    }
}

// The thread's end: its connections closed and the session's sockets
// released before it reports itself stopped.
void finishThread(NetSession& session, HostConnections& connections) {
    for (int32_t place = 0; place < connections.count; ++place) closeSocket(connections.slots[place]);
    connections = HostConnections{};
    session.releaseSessionSockets();
    session.lock();
    session.stopRequested = 1;
    session.acceptPlayers = 1;
    session.nextPlayerId = kFirstAssignedPlayerId;
    session.ownPlayerId = 0;
    session.threadRunning = 0;
    session.unlock();
}

}  // namespace

uint32_t sessionThreadMain(void* argument) {
    NetSession& session = *static_cast<NetSession*>(argument);
    HostConnections connections;
    for (;;) {
        bool activity = false;
        session.lock();
        const bool stop = session.stopRequested != 0;
        session.unlock();
        if (stop) break;

        sendPlayerRequests(session, activity);
        if (!receiveFromHost(session, activity)) break;
        const bool hosting = session.listenSlot.load() != -1;
        if (hosting) serveMembers(session, connections, activity);

        session.lock();
        deliverLocally(session);
        if (hosting) handleAsHost(session, connections, activity);
        takeFromHost(session);
        session.incoming.clear();
        session.unlock();
        if (!activity) SleepMillis(kThreadIdleSleepMs);
    }
    finishThread(session, connections);
    return 0;
}
