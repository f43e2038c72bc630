// The session commands: host or join a session, add players, exchange texts
// and ask the host about its players. They run on the main thread and work
// on the engine's one network object; without it (before the engine
// start-up) each gives its failure value. Commands that ask the host
// something wait up to about 5 seconds. Player ids are those the host
// assigns (from 101); receiver 0 of a text means every player.
// Depends on the network object (net_session.h).
#pragma once
#include <cstdint>

#include "runtime/strings/rt_string.h"

// The port a session uses: below 1 means 27910.
uint16_t sessionPort(int32_t port);

int32_t NetHostSession(int32_t port);
int32_t NetJoinSession(const RtString& host, int32_t port);
void NetShutdownSession();
int32_t NetIsSessionRunning();
// 0 closes the session to new connections and players; anything else opens it.
void NetSetSessionFlag(int32_t flag);
// The new player's id, or 0.
int32_t NetAddPlayer(const RtString& name);
// Tells the host that the player leaves (ids 1 to 65,279 only).
void NetSendControl(int32_t playerId);
// 1 when sent, else 0 (also without a session, and for texts of more than
// 1,024 bytes, which the format cannot carry).
int32_t NetSendMessage(int32_t senderId, int32_t receiverId, const RtString& text);
// The player's oldest text, or an empty text.
RtString NetReceiveMessage(int32_t playerId);
// The sender of the text last taken; 0 before the first.
int32_t NetGetSenderId();
// The most recent departure (host only), or 0.
int32_t NetPopLeftPlayer();
int32_t QueryPlayerCount();
int32_t QueryPlayerId(int32_t k);
// The name, or "NO_DATA".
RtString QueryPlayerName(int32_t playerId);
