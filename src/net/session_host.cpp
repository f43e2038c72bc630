// The host's side of the session thread (session_host.h).
// Depends on the network object, the session links and messages, the
// player ids, the socket layer and the error log.
#include "net/session_host.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "runtime/files/error_log.h"

namespace {

constexpr size_t kPassWorkUnits = 1024;
constexpr size_t kTableRecordsPerUnit = 64;
constexpr size_t kRemovalsPerLock = 256;  // the mutex is let go between batches
// A place is read while fewer messages than this many reads' worth wait in
// its backlog: a peer that sends faster than the host routes waits in TCP.
constexpr size_t kBacklogReads = 4;

// The messages one read takes. The host's own connection brings the
// program's texts: it keeps up with a program that sends as fast as it may.
uint32_t readAllowance(bool own) { return own ? kHostReadMessages : kMemberReadMessages; }

}  // namespace

void EndBacklog::add(SessionLink& link, int32_t slot, uint32_t nowMs) {
    const size_t queued = link.flush(slot);  // an ended link sends nothing
    if (link.endCause() != 0) {
        if (queued > 0 && lostCause == 0) lostCause = link.endCause();
    } else if (queued > 0) {
        waiting = true;
    } else if (!link.peerFinished() && link.peerStillTaking(slot, nowMs, kEndStallMs)) {
        // Only a peer that may still send can answer the close with a reset.
        delivering = true;
    }
}

SessionHost::SessionHost(NetSession& session, const SocketAddress& ownEnd) : session_(session), ownEnd_(ownEnd) {}

SessionHost::Place* SessionHost::placeOf(int32_t slot) const {
    return slot >= 0 && slot < kSocketSlotCount ? bySlot_[static_cast<size_t>(slot)] : nullptr;
}

const NetPlayer* SessionHost::findHostPlayer(uint16_t id) const {
    for (const NetPlayer& player : session_.hostPlayers) {
        if (player.id == id) return &player;
    }
    return nullptr;
}

size_t SessionHost::tableWalkUnits() const { return 1 + session_.hostPlayers.size() / kTableRecordsPerUnit; }

void SessionHost::watch(std::vector<SocketSlotWait>& waits) {
    session_.lock();
    // A closed host leaves waiting connections in the backlog: no wait on them.
    accepting_ = session_.acceptPlayers != 0;
    session_.unlock();
    listenerWait_ = SIZE_MAX;
    if (accepting_ && !acceptFailed_) {
        listenerWait_ = waits.size();
        waits.push_back(SocketSlotWait{session_.listenSlot.load(), platform::kWaitRead, 0});
    }
    firstPlaceWait_ = waits.size();
    for (const auto& place : places_) {
        const bool reads = wantsToRead(*place);
        const bool sends = place->link.endCause() == 0 && place->link.hasQueued();
        // A finished link is read no more: its wait asks for the
        // connection's failure, so that a reset or the system's own end
        // is learnt, with its cause, in the pass it comes.
        const bool failure = sends && place->link.peerFinished();
        SocketSlotWait wait;
        wait.wanted = (reads ? platform::kWaitRead : 0u) | (sends ? platform::kWaitWrite : 0u) |
                      (failure ? platform::kWaitException : 0u);
        // A place that wants nothing stays out of the wait: a connection its
        // peer reset would otherwise wake every wait at once.
        wait.slot = wait.wanted != 0 ? place->slot : -1;
        waits.push_back(wait);
    }
}

bool SessionHost::serve(const std::vector<SocketSlotWait>& waits, uint32_t nowMs) {
    const size_t watched = places_.size();  // the places the wait covered
    accept(waits, nowMs);
    for (size_t i = 0; i < places_.size(); ++i) {
        Place& place = *places_[i];
        // Its part of the wait, when the wait covered its connection.
        const SocketSlotWait* waited = nullptr;
        if (i < watched && waits[firstPlaceWait_ + i].slot == place.slot) waited = &waits[firstPlaceWait_ + i];
        // A connection that no wait has seen (accepted in this pass) is read
        // at once; so is one whose send met the connection's end: what came
        // before it is already there.
        if (!waited || waited->ready != 0 || place.link.endCause() != 0) read(place);
        if (waited && (waited->ready & platform::kWaitException)) place.link.end(waited->failure);
    }
    checkLimits(nowMs);
    const bool more = route(false);
    flushAndClose();
    return more;
}

void SessionHost::serveClosing(uint32_t nowMs, EndBacklog& backlog) {
    Place* own = placeOf(ownSlot_);
    if (own) read(*own);
    route(true);
    for (const auto& place : places_) backlog.add(place->link, place->slot, nowMs);
    // The program's last texts may still be on their way through its own connection.
    if (own && own->link.endCause() == 0 &&
        (!own->backlog.empty() || (!own->link.peerFinished() && pollSocket(own->slot) == 1))) {
        backlog.waiting = true;
    }
}

void SessionHost::closeAll() {
    for (const auto& place : places_) closeSocketDelivering(place->slot);
    places_.clear();
    bySlot_.fill(nullptr);
    ownSlot_ = -1;
}

SessionHost::Place* SessionHost::longestIdle() const {
    Place* idle = nullptr;
    for (const auto& place : places_) {
        if (place->askedForPlayer || place->slot == ownSlot_) continue;
        if (!idle || static_cast<int32_t>(place->acceptedMs - idle->acceptedMs) < 0) idle = place.get();
    }
    return idle;
}

void SessionHost::accept(const std::vector<SocketSlotWait>& waits, uint32_t nowMs) {
    const bool waiting = listenerWait_ < waits.size() && waits[listenerWait_].ready != 0;
    if (!accepting_ || !(acceptFailed_ || waiting)) return;
    SocketAddress remote;
    const int32_t accepted = acceptTcp(session_.listenSlot.load(), &remote);
    acceptFailed_ = accepted < 0 && lastSocketError() != platform::kSockWouldBlock;
    if (accepted < 0) return;
    setSocketNoDelay(accepted);  // answers and texts go as they are queued
    setSocketUnsentLimit(accepted, kMemberUnsentBytes);
    auto place = std::make_unique<Place>();
    place->link.limitSilence(accepted, session_.silenceLimitMs.load());
    place->link.holdUnsentTo(kMemberUnsentBytes);
    place->slot = accepted;
    place->acceptedMs = nowMs;
    bySlot_[static_cast<size_t>(accepted)] = place.get();
    if (ownSlot_ == -1 && remote.address == ownEnd_.address && remote.port == ownEnd_.port) ownSlot_ = accepted;
    if (static_cast<int32_t>(places_.size()) < kHostConnectionPlaces) {
        places_.push_back(std::move(place));
        return;
    }
    // Every place is taken: the newcomer takes the place of the connection
    // that has waited longest without asking for a player; when every one
    // has asked, the newcomer is the one that goes.
    Place* idle = longestIdle();
    if (!idle) {
        bySlot_[static_cast<size_t>(accepted)] = nullptr;
        closeSocket(accepted);
        return;
    }
    closePlace(*idle, false, "it asked for no player and every place was taken");
    *std::find_if(places_.begin(), places_.end(), [idle](const auto& p) { return p.get() == idle; }) = std::move(place);
}

bool SessionHost::backlogFull(const Place& place) const {
    return place.backlog.size() >= kBacklogReads * readAllowance(place.slot == ownSlot_);
}

bool SessionHost::wantsToRead(const Place& place) const {
    return place.link.receiving() && !backlogFull(place);
}

void SessionHost::read(Place& place) {
    if (!wantsToRead(place)) return;
    const size_t before = place.backlog.size();
    place.link.receive(place.slot, readAllowance(place.slot == ownSlot_), place.backlog);
    for (size_t i = before; i < place.backlog.size(); ++i) {
        if (place.backlog[i].header.kind == kKindPlayerRequest) place.askedForPlayer = true;
    }
}

void SessionHost::checkLimits(uint32_t nowMs) {
    const uint32_t requestLimit = session_.playerRequestLimitMs.load();
    const bool lookAtLag = nowMs - lastLagLookMs_ >= kLinkLookMs;
    if (lookAtLag) lastLagLookMs_ = nowMs;
    const uint32_t lagLimit = session_.lagLimitMs.load();
    for (const auto& place : places_) {
        // The host's own program reads its texts from its inboxes.
        if (place->slot == ownSlot_ || place->link.endCause() != 0) continue;
        if (!place->askedForPlayer && nowMs - place->acceptedMs > requestLimit) {
            std::snprintf(place->why, sizeof place->why, "it asked for no player within %u s",
                          (requestLimit + 999) / 1000);
            place->link.end(platform::kSockTimedOut);
            continue;
        }
        if (!lookAtLag) continue;
        const platform::PeerLook look = place->link.look(place->slot, nowMs);
        if (place->link.endIfSilent(look, nowMs)) continue;
        const uint32_t lagMs = place->link.lagMs(nowMs, look);
        if (lagMs > lagLimit) {
            std::snprintf(place->why, sizeof place->why, "it fell %u s behind", lagMs / 1000);
            place->link.end(platform::kSockTimedOut);
        }
    }
}

bool SessionHost::route(bool ownOnly) {
    const size_t count = places_.size();
    size_t work = 0;
    bool progress = true;
    while (progress && work < kPassWorkUnits) {
        progress = false;
        for (size_t k = 0; k < count && work < kPassWorkUnits; ++k) {
            Place& place = *places_[(cursor_ + k) % count];
            if (place.backlog.empty() || (ownOnly && place.slot != ownSlot_)) continue;
            work += handle(place, place.backlog.front());
            place.backlog.pop_front();
            progress = true;
        }
    }
    if (count > 0) cursor_ = (cursor_ + 1) % count;
    return std::any_of(places_.begin(), places_.end(), [](const auto& place) { return !place->backlog.empty(); });
}

size_t SessionHost::handle(Place& from, const SessionMessage& message) {
    const SessionMessageHeader& header = message.header;
    if (header.kind == kKindText) return routeText(message);
    if (header.receiver != kHostPlayerId) return 1;  // not for the host: dropped
    if (header.kind == kKindPlayerRequest) return registerPlayer(from, message);
    if (header.kind == kKindRemovePlayer) {
        removePlayers([&](const NetPlayer& p) {
            return p.id == header.sender && (p.socketSlot == from.slot || from.slot == ownSlot_);
        });
        return tableWalkUnits();
    }
    if (isQueryKind(header.kind)) return answer(from, message);
    return 1;  // a kind the host does not take: dropped
}

size_t SessionHost::routeText(const SessionMessage& text) {
    const uint16_t receiver = text.header.receiver;
    if (receiver == kEveryPlayer) return broadcast(text);
    if (!isValidPlayerId(receiver)) return 1;
    session_.lock();
    const bool local = session_.deliverLocked(text);
    session_.unlock();
    if (local) return 1;
    const NetPlayer* player = findHostPlayer(receiver);
    Place* to = player ? placeOf(player->socketSlot) : nullptr;
    // A player of the host's own process whose local record is gone: dropped.
    if (to && to->slot != ownSlot_) sendTo(*to, text);
    return tableWalkUnits();
}

size_t SessionHost::broadcast(const SessionMessage& text) {
    localIds_.clear();
    remote_.clear();
    for (const NetPlayer& player : session_.hostPlayers) {
        if (player.queryOnly != 0 || player.reserved != 0 || player.id == text.header.sender) continue;
        Place* to = placeOf(player.socketSlot);
        if (!to || to->link.endCause() != 0) continue;
        if (to->slot == ownSlot_) {
            localIds_.push_back(player.id);
        } else {
            remote_.emplace_back(to, player.id);
        }
    }
    SessionMessage copy = text;
    if (!localIds_.empty()) {
        session_.lock();
        for (const uint16_t id : localIds_) {
            copy.header.receiver = id;
            session_.deliverLocked(copy);
        }
        session_.unlock();
    }
    for (const auto& [to, id] : remote_) {
        copy.header.receiver = id;
        sendTo(*to, copy);
    }
    return tableWalkUnits() + localIds_.size() + remote_.size();
}

size_t SessionHost::registerPlayer(Place& from, const SessionMessage& request) {
    // A connection that is failing, or that holds all the players it may: no player for it.
    if (from.link.endCause() != 0 || from.players >= kPlayersPerConnectionMax) return 1;
    NetPlayer player;
    player.socketSlot = from.slot;
    bool queryOnly = false;
    readPlayerRequest(request, &queryOnly, player.name);
    player.queryOnly = queryOnly ? 1 : 0;
    uint16_t id = 0;
    session_.lock();
    if (session_.acceptPlayers != 0) {
        id = ids_.firstFreeFrom(session_.nextPlayerId);
        if (id != 0) {  // else every valid id is in use: the request is dropped
            session_.nextPlayerId = static_cast<uint16_t>(id + 1);
            player.id = id;
            ids_.take(id);
            session_.hostPlayers.push_back(std::move(player));
        }
    }
    session_.unlock();
    if (id != 0) {
        ++from.players;
        reply(from, makeSessionMessage(kKindPlayerId, id, kHostPlayerId, nullptr, 0));
    }
    return 1;
}

size_t SessionHost::answer(Place& from, const SessionMessage& question) {
    const uint16_t asker = question.header.sender;
    const NetPlayer* player = findHostPlayer(asker);
    if (!player || player->socketSlot != from.slot || from.link.endCause() != 0) return tableWalkUnits();
    SessionMessage message;
    switch (question.header.kind) {
        case kKindPlayerCount: {
            uint16_t count = 0;
            for (const NetPlayer& p : session_.hostPlayers) count += (p.queryOnly == 0 && isValidPlayerId(p.id)) ? 1 : 0;
            message = makeSessionMessageU16(kKindPlayerCount, asker, kHostPlayerId, count);
            break;
        }
        case kKindPlayerIdByNumber: {
            uint32_t k = sessionPayloadU16(question);
            uint16_t id = 0;
            for (const NetPlayer& p : session_.hostPlayers) {
                if (p.queryOnly != 0) continue;
                if (k-- == 0) {
                    id = p.id;
                    break;
                }
            }
            message = makeSessionMessageU16(kKindPlayerIdByNumber, asker, kHostPlayerId, id);
            break;
        }
        case kKindPlayerName: {
            const NetPlayer* named = findHostPlayer(sessionPayloadU16(question));
            const char* name = (named && named->name[0]) ? named->name : "NO_DATA";
            message = makeSessionMessage(kKindPlayerName, asker, kHostPlayerId, name,
                                       static_cast<uint32_t>(std::strlen(name)));
            break;
        }
        default:  // kKindJoinHandshake
            message = makeSessionMessageU16(kKindJoinHandshake, asker, kHostPlayerId, 1);
    }
    reply(from, message);
    return 2 * tableWalkUnits();
}

void SessionHost::reply(Place& to, const SessionMessage& message) {
    // A reply goes at once, ahead of the work left in the pass and of the
    // texts waiting for its member: an asker never waits for forwarding it
    // has no part in.
    if (to.link.queueReply(message) != 0) return;
    keepWithinBound(to);
    to.link.flush(to.slot);
}

void SessionHost::sendTo(Place& place, const SessionMessage& message) {
    if (place.link.queue(message) == 0) keepWithinBound(place);
}

void SessionHost::keepWithinBound(Place& place) {
    if (place.slot == ownSlot_) return;
    // Who pays when a member's queue fills: that member alone. What its
    // socket takes goes at once; a member whose queue still passes the
    // bound has not read for long, and is closed rather than kept.
    const size_t bound = session_.sendQueueLimitBytes.load();
    if (place.link.queuedBytes() > bound && place.link.flush(place.slot) > bound) {
        place.link.end(platform::kSockNoBufferSpace);
    }
}

template <class Rule>
void SessionHost::removePlayers(Rule&& picks) {
    leaving_.clear();
    std::list<NetPlayer>& table = session_.hostPlayers;
    for (auto player = table.begin(); player != table.end(); ++player) {
        if (picks(*player)) leaving_.push_back(player);
    }
    for (size_t first = 0; first < leaving_.size(); first += kRemovalsPerLock) {
        session_.lock();
        const size_t last = std::min(leaving_.size(), first + kRemovalsPerLock);
        for (size_t i = first; i < last; ++i) {
            const uint16_t id = leaving_[i]->id;
            if (session_.isHost == 1) {
                if (session_.leftPlayers.size() >= kLeftPlayersMax) session_.leftPlayers.pop_front();
                session_.leftPlayers.push_back(id);
            }
            // A record of the host's own program keeps its id (and the texts
            // to it) until the next session: that id is still in use.
            if (!session_.findLocalPlayerLocked(id)) ids_.giveBack(id);
            if (Place* place = placeOf(leaving_[i]->socketSlot)) --place->players;
            table.erase(leaving_[i]);
        }
        session_.unlock();
    }
}

void SessionHost::closePlace(Place& place, bool inOrder, const char* why) {
    const int32_t slot = place.slot;
    if (why) {
        char peer[32];
        describeLinkPeer(slot, peer, sizeof peer);
        char line[256];
        std::snprintf(line, sizeof line, "Session: closed the connection of %s: %s\n", peer, why);
        appendToErrorLog(line);
    }
    // Every player of the connection leaves with it: a record left behind
    // would keep a socket record number the next accepted connection may
    // be given, and that newcomer would get its texts and answers.
    removePlayers([slot](const NetPlayer& p) { return p.socketSlot == slot; });
    if (inOrder) {
        closeSocketDelivering(slot);
    } else {
        resetSocket(slot);
    }
    bySlot_[static_cast<size_t>(slot)] = nullptr;
    if (slot == ownSlot_) ownSlot_ = -1;
}

void SessionHost::flushAndClose() {
    for (size_t i = places_.size(); i-- > 0;) {
        Place& place = *places_[i];
        const size_t queued = place.link.flush(place.slot);  // an ended link sends nothing
        const int32_t cause = place.link.endCause();
        // Closed once nothing more comes from it, what came is handled, and
        // it is owed nothing more: its link ended (what is still queued
        // is dropped), or its peer finished and all queued was handed over.
        if (place.link.receiving() || !place.backlog.empty() || (cause == 0 && queued > 0)) continue;
        if (cause != 0) {
            char why[160];
            describeLinkEnd(cause, why, sizeof why);
            closePlace(place, false, place.why[0] != 0 ? place.why : why);
        } else {
            closePlace(place, true, nullptr);
        }
        // The connection of the last place moves into the freed one.
        places_[i] = std::move(places_.back());
        places_.pop_back();
    }
}
