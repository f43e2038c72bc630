// The session thread: each pass sends this process's player requests, waits
// once (at most 10 ms) for any of its connections to be ready, reads what
// its host sent, and while hosting accepts member connections, reads their
// messages and answers them; then it delivers texts to local players and
// hands the host's replies to the waiting commands.
//
// The thread never waits on one connection: every connection keeps its own
// receive buffer and send queue (session_link.h) and one wait covers them
// all, so a message that arrives in pieces is resumed when its next piece
// is there, and a reply to a peer that does not read waits in that peer's
// queue. A connection that holds an unfinished message past the partial
// limit, or whose queue passes its bound, is closed at the end of the pass
// like one its peer closed; for the connection to the host that ends the
// session.
//
// Routing rules that keep a session sound:
// - only messages that arrived on a member's connection are handled as the
//   host (forwarded, answered, registered): a text that came back on the
//   host's own member connection and found no local player is dropped, never
//   forwarded again, so undeliverable texts cannot circle;
// - only messages from this process's own host connection count as the
//   host's (ids assigned, answers), so a member cannot forge them; an answer
//   is kept only for this process's query player, and every reply goes to
//   the request or question it answers by the order they were sent
//   (awaited_replies.h), one whose command gave up to none;
// - a player request names the place of its connection, and one that names
//   no place in use, or a place whose connection is ending in this pass, is
//   dropped; the host's 129th connection is closed;
// - a player is removed only by the connection it came on or by the host's
//   own connection (the host may remove anyone, a member only its own), or
//   when that connection ends, which takes every player of it along (not
//   only its first: a socket record number is used again by the next
//   accepted connection, which must not inherit anyone's players), and
//   a question is answered only on the connection its asker came on, so a
//   member can neither remove another's players nor have answers sent to
//   another member;
// - once every valid id (up to 65,279) has been handed out, further player
//   requests are dropped rather than given an id that means something else;
// - a text is delivered to a local player only when its receiver is a valid
//   id, never to a record whose request is still unsent or unanswered.
// Depends on the network object, its awaited replies, the session links and
// messages, the socket layer and the clock.
#include <cstring>
#include <memory>
#include <vector>

#include "net/net_session.h"
#include "net/socket_table.h"
#include "platform/clock.h"

namespace {

// A member connection of the host.
struct HostPlace {
    int32_t slot = -1;
    SessionLink link;
    bool fresh = true;  // accepted in this pass: read before any wait has seen it
};

// The host's table of member connections: the places in use are the first
// ones; a place's number is the connection number a request carries.
class HostConnections {
public:
    // The accepted end of the host's connection to itself, once known by
    // its remote end being the host connection's own end.
    int32_t ownSlot = -1;
    SocketAddress ownEnd;
    // The last accept failed though a connection was waiting (no descriptor
    // or record free): the next pass tries again without waiting on the
    // listener, which would otherwise wake every wait at once.
    bool acceptFailed = false;

    int32_t count() const { return static_cast<int32_t>(places_.size()); }
    HostPlace& at(int32_t place) { return *places_[static_cast<size_t>(place)]; }

    // False when every place is taken.
    bool add(int32_t slot) {
        if (count() >= kHostConnectionPlaces) return false;
        places_.push_back(std::make_unique<HostPlace>());
        places_.back()->slot = slot;
        return true;
    }

    // The connection of the last place moves into the freed one.
    void removePlace(int32_t place) {
        places_[static_cast<size_t>(place)] = std::move(places_.back());
        places_.pop_back();
    }

    SessionLink* linkOf(int32_t slot) {
        for (auto& place : places_) {
            if (place->slot == slot) return &place->link;
        }
        return nullptr;
    }

private:
    std::vector<std::unique_ptr<HostPlace>> places_;
};

uint32_t nowMillis() { return platform::clockPort().tickMillis(); }

// Pass step: requests of local players not yet sent. The id moves to
// "awaiting" as the request goes, so no record is sent twice.
void sendPlayerRequests(NetSession& session) {
    session.lock();
    for (NetPlayer& player : session.localPlayers) {
        if (player.id != kUnsentPlayerId) continue;
        player.id = kAwaitingPlayerId;
        session.awaitedReplies.expect(kKindPlayerId, &player);
        session.sendToHost(makePlayerRequest(player.queryOnly != 0, player.name));
    }
    session.unlock();
}

// Readiness of the pass's connections, from one wait over all of them. The
// records are kept from pass to pass, so that an idle pass allocates nothing.
struct PassWait {
    std::vector<SocketSlotWait> waits;  // the host connection, the listener when watched, each place
    size_t firstPlace = 0;
    bool listener = false;  // a connection to accept (or an accept to try again)

    bool hostReady() const { return waits[0].ready != 0; }
    bool placeReady(int32_t place) const {
        const size_t i = firstPlace + static_cast<size_t>(place);
        return i < waits.size() && waits[i].ready != 0;
    }
};

void waitForAny(NetSession& session, HostConnections& connections, bool hosting, PassWait& pass) {
    pass.waits.clear();
    const auto watch = [&](int32_t slot, SessionLink* link) {
        SocketSlotWait wait;
        wait.slot = slot;
        wait.wanted = platform::kWaitRead | (link && link->hasQueued() ? platform::kWaitWrite : 0u);
        pass.waits.push_back(wait);
    };
    watch(session.connectionSlot.load(), &session.hostLink);
    session.lock();
    // A closed host leaves waiting connections in the backlog: no wait on them.
    const bool accepting = hosting && session.acceptPlayers != 0;
    session.unlock();
    const bool watchListener = accepting && !connections.acceptFailed;
    if (watchListener) watch(session.listenSlot.load(), nullptr);
    pass.firstPlace = pass.waits.size();
    for (int32_t place = 0; place < connections.count(); ++place) {
        watch(connections.at(place).slot, &connections.at(place).link);
    }
    waitForSockets(pass.waits.data(), static_cast<int32_t>(pass.waits.size()), kThreadIdleSleepMs);
    pass.listener = accepting && (connections.acceptFailed || pass.waits[1].ready != 0);
}

// Pass step, host only: a new connection, and what each ready member sent.
void serveMembers(NetSession& session, HostConnections& connections, const PassWait& ready, uint32_t now,
                  std::vector<SessionMessage>& arrived) {
    if (ready.listener) {
        SocketAddress remote;
        const int32_t accepted = acceptTcp(session.listenSlot.load(), &remote);
        connections.acceptFailed = accepted < 0 && lastSocketError() != platform::kSockWouldBlock;
        if (accepted >= 0 && !connections.add(accepted)) {
            closeSocket(accepted);
        } else if (accepted >= 0 && connections.ownSlot == -1 && remote.address == connections.ownEnd.address &&
                   remote.port == connections.ownEnd.port) {
            connections.ownSlot = accepted;
        }
    }
    const uint32_t limit = session.partialMessageLimitMs.load();
    for (int32_t place = 0; place < connections.count(); ++place) {
        HostPlace& member = connections.at(place);
        const bool readable = member.fresh || ready.placeReady(place);
        member.fresh = false;
        const size_t before = arrived.size();
        if (readable) member.link.receive(member.slot, now, kMemberReadMessages, arrived);
        member.link.checkDeadline(now, limit);
        for (size_t i = before; i < arrived.size(); ++i) {
            arrived[i].arrivedOn = member.slot;
            if (arrived[i].header.kind == kKindPlayerRequest) arrived[i].header.sender = static_cast<uint16_t>(place);
        }
    }
}

// Texts for players of this process (mutex held). A text to one player is
// taken by the first local record with that id; a full inbox drops it.
void deliverLocally(NetSession& session) {
    for (auto message = session.incoming.begin(); message != session.incoming.end();) {
        const uint16_t receiver = message->header.receiver;
        bool taken = false;
        if (message->header.kind == kKindText && isValidPlayerId(receiver)) {
            for (NetPlayer& player : session.localPlayers) {
                if (player.id != receiver) continue;
                if (player.inbox.size() < kInboxMessagesMax) player.inbox.push_back(*message);
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

// Queues the message for the member connection on that slot (if it is one).
// The host's own connection is read by this very thread, so it is never
// closed for falling behind: past the bound, texts for it are dropped
// instead (what its players could not have read in time anyway), while
// ids and answers still go.
void sendToMember(NetSession& session, HostConnections& connections, int32_t slot, const SessionMessage& message) {
    SessionLink* link = connections.linkOf(slot);
    if (!link) return;
    const uint32_t bound = session.sendQueueLimitBytes.load();
    if (slot != connections.ownSlot) {
        link->send(slot, message, bound);
    } else if (message.header.kind != kKindText || link->queuedBytes() <= bound) {
        link->send(slot, message, UINT32_MAX);
    }
}

void forwardText(NetSession& session, HostConnections& connections, const SessionMessage& message) {
    SessionMessage copy = message;
    if (message.header.receiver == kEveryPlayer) {
        for (NetPlayer& player : session.hostPlayers) {
            if (player.queryOnly != 0 || player.reserved != 0 || player.id == message.header.sender) continue;
            copy.header.receiver = player.id;
            sendToMember(session, connections, player.socketSlot, copy);
        }
    } else if (NetPlayer* player = findHostPlayer(session, message.header.receiver)) {
        sendToMember(session, connections, player->socketSlot, copy);
    }
}

void registerPlayer(NetSession& session, HostConnections& connections, const SessionMessage& request) {
    const uint16_t place = request.header.sender;
    if (!session.acceptPlayers || place >= connections.count() || !isValidPlayerId(session.nextPlayerId)) return;
    HostPlace& member = connections.at(place);
    if (member.slot != request.arrivedOn || member.link.endCause() != 0) return;  // its connection is going
    NetPlayer player;
    player.socketSlot = member.slot;
    player.id = session.nextPlayerId++;
    bool queryOnly = false;
    readPlayerRequest(request, &queryOnly, player.name);
    player.queryOnly = queryOnly ? 1 : 0;
    const uint16_t id = player.id;
    session.hostPlayers.push_back(std::move(player));
    sendToMember(session, connections, member.slot, makeSessionMessage(kKindPlayerId, id, kHostPlayerId, nullptr, 0));
}

// Removes every record of the host's table that the rule picks (mutex
// held), each listed as left while hosting, in table order.
template <class Rule>
void removeHostPlayers(NetSession& session, Rule&& picks) {
    for (auto player = session.hostPlayers.begin(); player != session.hostPlayers.end();) {
        if (!picks(*player)) {
            ++player;
            continue;
        }
        if (session.isHost == 1) session.leftPlayers.push_back(player->id);
        player = session.hostPlayers.erase(player);
    }
}

// Only the connection a player came on, or the host's own, may remove it.
void removePlayers(NetSession& session, const HostConnections& connections, uint16_t id, int32_t connection) {
    removeHostPlayers(session, [&](const NetPlayer& p) {
        return p.id == id && (p.socketSlot == connection || connection == connections.ownSlot);
    });
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
void handleAsHost(NetSession& session, HostConnections& connections) {
    for (auto message = session.incoming.begin(); message != session.incoming.end();) {
        const SessionMessageHeader& header = message->header;
        bool handled = true;
        if (message->arrivedOn == -1) {
            handled = false;
        } else if (header.kind == kKindText) {
            forwardText(session, connections, *message);
        } else if (header.receiver != kHostPlayerId) {
            handled = false;
        } else if (header.kind == kKindPlayerRequest) {
            registerPlayer(session, connections, *message);
        } else if (header.kind == kKindRemovePlayer) {
            removePlayers(session, connections, header.sender, message->arrivedOn);
        } else if (isQueryKind(header.kind)) {
            const NetPlayer* asker = findHostPlayer(session, header.sender);
            if (asker && asker->socketSlot == message->arrivedOn) {
                sendToMember(session, connections, asker->socketSlot, answerQuery(session, *message));
            }
        } else {
            handled = false;
        }
        message = handled ? session.incoming.erase(message) : std::next(message);
    }
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
            return;
        }
    }
    session.sendToHost(makeSessionMessage(kKindRemovePlayer, kHostPlayerId, id, nullptr, 0));
}

// Member step (mutex held): ids assigned and answers from this process's host.
void takeFromHost(NetSession& session) {
    for (auto message = session.incoming.begin(); message != session.incoming.end();) {
        const SessionMessageHeader& header = message->header;
        if (message->arrivedOn != -1 || header.sender != kHostPlayerId ||
            (header.kind != kKindPlayerId && header.kind < 100)) {
            ++message;
            continue;
        }
        if (header.kind == kKindPlayerId) {
            takePlayerId(session, header.receiver);
        } else if (isQueryKind(header.kind) && header.receiver == session.ownPlayerId) {
            // Kept only as the answer to the question waiting now.
            AwaitedReplies::Entry question;
            if (session.awaitedReplies.match(header.kind, &question) && question.waited && session.answers.empty()) {
                session.answers.push_back(*message);
            }
        }
        message = session.incoming.erase(message);
    }
}

// Pass step, host only: what waits in the members' queues goes out, and the
// connections that ended (closed, failed, too slow, too far behind) are
// dropped, the last place moving into each freed one.
void flushAndDropMembers(NetSession& session, HostConnections& connections) {
    for (int32_t place = 0; place < connections.count(); ++place) {
        HostPlace& member = connections.at(place);
        if (member.link.endCause() == 0) member.link.flush(member.slot);
    }
    for (int32_t place = connections.count() - 1; place >= 0; --place) {
        const int32_t slot = connections.at(place).slot;
        if (connections.at(place).link.endCause() == 0) continue;
        // Every player of the connection leaves with it: a record left behind
        // would keep a socket record number the next accepted connection may
        // be given, and that newcomer would get its texts and answers.
        session.lock();
        removeHostPlayers(session, [slot](const NetPlayer& p) { return p.socketSlot == slot; });
        session.unlock();
        closeSocket(slot);
        if (slot == connections.ownSlot) connections.ownSlot = -1;
        connections.removePlace(place);
    }
}

// The thread's end: what still waits for the host is given one more chance
// to go (the goodbyes of an engine shutdown), its connections are closed
// and the session's sockets released before it reports itself stopped.
void finishThread(NetSession& session, HostConnections& connections, int32_t cause) {
    session.hostLink.flush(session.connectionSlot.load());
    for (int32_t place = 0; place < connections.count(); ++place) closeSocket(connections.at(place).slot);
    session.releaseSessionSockets();
    session.lock();
    session.endCause = cause;
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
    if (session.listenSlot.load() != -1) connections.ownEnd = getSocketLocalAddress(session.connectionSlot.load());
    std::vector<SessionMessage> arrived;
    PassWait ready;
    int32_t cause = 0;
    for (;;) {
        session.lock();
        const bool stop = session.stopRequested != 0;
        session.unlock();
        if (stop) break;

        sendPlayerRequests(session);
        const bool hosting = session.listenSlot.load() != -1;
        waitForAny(session, connections, hosting, ready);
        const uint32_t now = nowMillis();

        arrived.clear();
        SessionLink& hostLink = session.hostLink;
        if (ready.hostReady()) hostLink.receive(session.connectionSlot.load(), now, kHostReadMessages, arrived);
        hostLink.checkDeadline(now, session.partialMessageLimitMs.load());
        if (hostLink.endCause() != 0) {
            cause = hostLink.endCause();
            break;
        }
        if (hosting) serveMembers(session, connections, ready, now, arrived);

        session.lock();
        session.incoming.insert(session.incoming.end(), arrived.begin(), arrived.end());
        deliverLocally(session);
        if (hosting) handleAsHost(session, connections);
        takeFromHost(session);
        session.incoming.clear();
        session.unlock();

        if (hostLink.hasQueued()) hostLink.flush(session.connectionSlot.load());
        if (hosting) flushAndDropMembers(session, connections);
    }
    finishThread(session, connections, cause);
    return 0;
}
