// The session commands over the engine's network object.
// Depends on the network object and the engine state.
#include "net/session_commands.h"

#include "net/net_session.h"
#include "runtime/engine/engine_state.h"

namespace {

NetSession* session() { return engine.network; }

}  // namespace

uint16_t sessionPort(int32_t port) { return port < 1 ? kDefaultSessionPort : static_cast<uint16_t>(port & 0xFFFF); }

int32_t NetHostSession(int32_t port) { return session() ? session()->host(sessionPort(port)) : 0; }

int32_t NetJoinSession(const RtString& host, int32_t port) {
    return session() ? session()->join(host.c_str(), sessionPort(port)) : 0;
}

void NetShutdownSession() {
    if (session()) session()->reset();
}

int32_t NetIsSessionRunning() { return session() && session()->isRunning() ? 1 : 0; }

void NetSetSessionFlag(int32_t flag) {
    if (session()) session()->setAcceptPlayers(flag != 0);
}

int32_t NetAddPlayer(const RtString& name) { return session() ? session()->addPlayer(name.c_str()) : 0; }

void NetSendControl(int32_t playerId) {
    if (session()) session()->sendControl(playerId);
}

int32_t NetSendMessage(int32_t senderId, int32_t receiverId, const RtString& text) {
    return session() ? session()->sendText(senderId, receiverId, text) : 0;
}

RtString NetReceiveMessage(int32_t playerId) { return session() ? session()->receiveText(playerId) : RtString(); }

int32_t NetGetSenderId() { return session() ? session()->lastSenderId : 0; }

int32_t NetPopLeftPlayer() { return session() ? session()->popLeftPlayer() : 0; }

int32_t QueryPlayerCount() { return session() ? session()->playerCount() : 0; }

int32_t QueryPlayerId(int32_t k) { return session() ? session()->playerIdAt(k) : 0; }

RtString QueryPlayerName(int32_t playerId) {
    return session() ? session()->playerName(playerId) : RtString("NO_DATA");
}
