// The host's side of the session thread: its table of member connections
// (places) and the handling of what they send: texts forwarded, players
// registered and removed, questions answered.
//
// Each place keeps the messages it brought that are not handled yet, and
// is read while they are few. Nothing a place brought ever waits for
// another peer or for a program: a text for a local player goes into that
// player's inbox (which keeps it, or loses it past its bound), a text for a
// member goes into that member's send queue, and a member whose queue
// passes its bound is closed at once, its players leaving with it, so the
// one who does not read pays and the others go on. A pass handles one
// message of each place in turn and stops after kPassWorkUnits units of
// work (a copy sent or delivered, or a walk of 64 records of the host's
// table), so a pass is short whatever the peers send; what is left waits
// for the next pass, which then does not wait for the sockets. What a pass
// queues for a member goes to its socket at the pass's end, one send for
// everything, so a broadcast costs no system call per copy; ids and answers
// go at once, ahead of the texts waiting for their member.
//
// The session mutex is taken only for the moment of each change to a shared
// list (an inbox, the host's table, the departures); forwarding and answers
// read the host's table without it, since only this thread changes it.
//
// Routing rules that keep a session sound:
// - only messages from a member's connection are handled as the host
//   (forwarded, answered, registered); a text to a player of the host's own
//   process goes straight into that player's inbox, and one for a player
//   whose local record is gone is dropped, never sent round again;
// - a player is removed only by the connection it came on or by the host's
//   own connection (the host may remove anyone, a member only its own), or
//   when that connection ends, which takes every player of it along (a
//   socket record number is used again by the next accepted connection,
//   which must not inherit anyone's players); a question is answered only
//   on the connection its asker came on;
// - one connection holds kPlayersPerConnectionMax players at most; requests
//   past it are dropped;
// - ids are given from 101 in order; once 65,279 has been given they are
//   given again from 101, skipping every id in use (player_ids.h), which
//   includes the id of a record the host's own program still keeps after
//   its player was removed (texts to that id go to that record);
// - when all 128 places are taken, a newcomer takes the place of the
//   connection that has waited longest without asking for a player, and
//   is closed at once when every other one has asked; a connection other
//   than the host's own that has not asked for a player within the request
//   limit is closed, so idle connections cannot keep newcomers out;
// - a member that finishes its sending (its FIN) is still answered what it
//   asked before; its connection is closed once that is handled and handed
//   to the system, which it is owed only while it takes it (one that
//   acknowledges nothing for the silence limit while bytes wait for it is
//   ended as silent, one that takes too slowly goes by the lag rule); a
//   member whose connection is over (a reset came, or the system ended it)
//   is closed as soon as what it sent before is handled, and what waited
//   for it is dropped (session_link.h); once it finished, its wait reports
//   that end with the system's cause;
// - every member connection has the session's silence limit, and the system
//   holds at most kMemberUnsentBytes unsent for it, so what waits for a slow
//   member waits in its queue, where answers can pass it; a member whose
//   oldest text waiting is older than the lag limit (counting only time in
//   which its system took what was sent: a stopped program's system still
//   does, session_link.h) is closed, its players leaving with it;
// - a connection the host closes for a cause of its own (a full queue, a
//   member that fell behind or asked for no player, a newcomer) or that
//   failed (a member that fell silent) is named in the error log with why,
//   and reset: the reset reaches its system at once, where a close in
//   order would wait behind the bytes still to go for a window a stopped
//   program keeps closed, so its program learns that the host closed it
//   whenever it goes on. Who pays: that member, which loses with its queue
//   (dropped either way) what the system still held for it, at most
//   kMemberUnsentBytes, already that late; what reached its system it
//   still reads.
// Depends on the network object, the session links and messages, the
// player ids, the socket layer and the error log.
#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <list>
#include <memory>
#include <vector>

#include "net/net_session.h"
#include "net/player_ids.h"
#include "net/session_link.h"
#include "net/socket_table.h"

// What a session's end still has to send over its links.
struct EndBacklog {
    bool waiting = false;     // queued bytes that can still go, or a message not yet routed
    bool delivering = false;  // bytes the system holds that a peer is still taking
    int32_t lostCause = 0;    // why bytes that can no longer go were lost (0: none)

    // Hands the link's socket what it takes now and notes what the link
    // still holds; what the system took counts as gone, though the end
    // waits while the peer still takes it (kEndStallMs).
    void add(SessionLink& link, int32_t slot, uint32_t nowMs);
};

class SessionHost {
public:
    // ownEnd: the local end of the host's connection to itself, by which
    // its accepted end is known.
    SessionHost(NetSession& session, const SocketAddress& ownEnd);
    SessionHost(const SessionHost&) = delete;
    SessionHost& operator=(const SessionHost&) = delete;

    // Adds the listener (while new connections are taken) and the places to
    // the pass's wait.
    void watch(std::vector<SocketSlotWait>& waits);
    // The host's part of a pass, after the wait: a new connection, what the
    // ready places sent, their limits, the routing, the sends, and the
    // places that are done. True when work was left for the next pass.
    bool serve(const std::vector<SocketSlotWait>& waits, uint32_t nowMs);
    // One step of the session's end: what the host's own connection still
    // brings is routed, and what is queued is sent; the backlog notes what
    // is left.
    void serveClosing(uint32_t nowMs, EndBacklog& backlog);
    // Closes every member connection, in order (what the system holds is
    // still delivered).
    void closeAll();

private:
    // A member connection.
    struct Place {
        int32_t slot = -1;
        SessionLink link;
        bool askedForPlayer = false;
        uint32_t acceptedMs = 0;
        size_t players = 0;                  // records of the host's table on this connection
        std::deque<SessionMessage> backlog;  // read, not handled yet
        char why[64] = {};                   // the host's own cause for closing it, if any
    };

    void accept(const std::vector<SocketSlotWait>& waits, uint32_t nowMs);
    // The place of the connection that has waited longest without asking
    // for a player (never the host's own), or null.
    Place* longestIdle() const;
    bool backlogFull(const Place& place) const;
    bool wantsToRead(const Place& place) const;
    void read(Place& place);
    // The request and lag limits: a place past one is ended, with why.
    void checkLimits(uint32_t nowMs);
    // Handles the places' messages in turn (only the host's own place when
    // `ownOnly`); true when work was left.
    bool route(bool ownOnly);
    // The work done.
    size_t handle(Place& from, const SessionMessage& message);
    size_t routeText(const SessionMessage& text);
    size_t broadcast(const SessionMessage& text);
    size_t registerPlayer(Place& from, const SessionMessage& request);
    size_t answer(Place& from, const SessionMessage& question);
    void sendTo(Place& place, const SessionMessage& message);
    // Who pays when a member's queue fills: that member alone.
    void keepWithinBound(Place& place);
    void reply(Place& to, const SessionMessage& message);
    size_t tableWalkUnits() const;
    void flushAndClose();
    // Closes the place's connection (in order, else with a reset) and
    // forgets it (the place stays in the table); `why` names a cause of the
    // host's own for the error log.
    void closePlace(Place& place, bool inOrder, const char* why);

    Place* placeOf(int32_t slot) const;
    const NetPlayer* findHostPlayer(uint16_t id) const;
    // Removes every record of the host's table that the rule picks, each
    // listed as left while hosting, in table order.
    template <class Rule>
    void removePlayers(Rule&& picks);

    NetSession& session_;
    SocketAddress ownEnd_;
    int32_t ownSlot_ = -1;  // the accepted end of the host's connection to itself
    std::vector<std::unique_ptr<Place>> places_;  // the places in use are the first ones
    std::array<Place*, kSocketSlotCount> bySlot_{};
    PlayerIds ids_;
    size_t cursor_ = 0;  // the place served first in the next pass
    // The last accept failed though a connection was waiting (no descriptor
    // or record free): the next pass tries again without waiting on the
    // listener, which would otherwise wake every wait at once.
    bool acceptFailed_ = false;
    bool accepting_ = false;
    uint32_t lastLagLookMs_ = 0;
    size_t listenerWait_ = SIZE_MAX;
    size_t firstPlaceWait_ = 0;
    // Kept from pass to pass, so that routing allocates nothing once warm.
    std::vector<uint16_t> localIds_;
    std::vector<std::pair<Place*, uint16_t>> remote_;
    std::vector<std::list<NetPlayer>::iterator> leaving_;
};
