// The session commands on the engine's network object: their failure values
// without a session, the bytes they put on the wire, and the network
// object's place in the engine start-up and shutdown.
#include <gtest/gtest.h>

#include <unistd.h>

#include "child_process.h"
#include "net/net_session.h"
#include "net/session_commands.h"
#include "net/socket_commands.h"
#include "net/socket_table.h"
#include "net_test_support.h"
#include "runtime/engine/engine_state.h"
#include "runtime/engine/orderly_end.h"
#include "temp_dir.h"

using nettest::hexBytes;

namespace {

// The engine's network object for one test.
struct EngineNetwork {
    NetSession* session = createNetSession();
    ~EngineNetwork() { releaseNetSession(); }
};

}  // namespace

TEST(SessionCommands, PortsBelowOneMeanTheDefaultPort) {
    EXPECT_EQ(sessionPort(0), 27910);
    EXPECT_EQ(sessionPort(-5), 27910);
    EXPECT_EQ(sessionPort(1), 1);
    EXPECT_EQ(sessionPort(65535), 65535);
}

TEST(SessionCommands, WithoutASessionEveryCommandFailsAtOnce) {
    // First without the network object, then with one that runs no session.
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) createNetSession();
        EXPECT_EQ(NetIsSessionRunning(), 0);
        EXPECT_EQ(NetAddPlayer(RtString("a")), 0);
        EXPECT_EQ(QueryPlayerCount(), 0);
        EXPECT_EQ(QueryPlayerId(0), 0);
        EXPECT_STREQ(QueryPlayerName(101).c_str(), "NO_DATA");
        EXPECT_EQ(NetSendMessage(101, 0, RtString("t")), 0);
        EXPECT_TRUE(NetReceiveMessage(101).isEmpty());
        EXPECT_EQ(NetGetSenderId(), 0);
        EXPECT_EQ(NetPopLeftPlayer(), 0);
        NetSendControl(101);
        NetShutdownSession();
    }
    EXPECT_TRUE(engine.network->localPlayers.empty());
    releaseNetSession();
    EXPECT_EQ(engine.network, nullptr);
    EXPECT_EQ(NetHostSession(0), 0);
}

TEST(SessionCommands, CommandsPutExactBytesOnTheConnection) {
    EngineNetwork network;
    ASSERT_EQ(SocketInit(), 1);
    uint16_t port = 0;
    const int fakeHost = nettest::rawListen(&port);
    network.session->connectionSlot = connectTcp(socketAddressFromHost(0x7F000001u, port), 2000);
    ASSERT_GE(network.session->connectionSlot.load(), 0);
    const int seen = nettest::rawAccept(fakeHost);
    ASSERT_GE(seen, 0);

    // The commands queue; the session thread (here: the test) sends.
    const auto sent = [&](size_t n) {
        network.session->hostLink.flush(network.session->connectionSlot.load());
        return hexBytes(nettest::rawReadExactly(seen, n));
    };
    NetSendControl(0);
    NetSendControl(65280);
    NetSendControl(65535);
    NetSendControl(101);
    EXPECT_EQ(sent(7), "04 00 00 00 00 65 00");
    EXPECT_EQ(NetSendMessage(101, 0, RtString("hi")), 1);
    EXPECT_EQ(sent(9), "03 02 00 FF FF 65 00 68 69");
    EXPECT_EQ(NetSendMessage(5, 7, RtString()), 1);
    EXPECT_EQ(sent(7), "03 00 00 07 00 05 00");
    EXPECT_EQ(NetSendMessage(5, 7, RtString(std::string(1025, 'x').c_str())), 0);
    // A message the format cannot carry is refused, and none of it goes out.
    SessionMessage overlong = makeSessionMessage(3, 7, 5, "x", 1);
    overlong.header.length = kSessionPayloadMax + 1;
    EXPECT_FALSE(network.session->sendToHost(overlong));

    // A query as player 102, which the fake host never answers.
    network.session->ownPlayerId = 102;
    network.session->answerPolls = 1;
    EXPECT_EQ(QueryPlayerId(0x0201), 0);
    EXPECT_EQ(sent(9), "66 02 00 00 00 66 00 01 02");
    EXPECT_TRUE(nettest::rawNothingArrives(seen, 50));
    close(seen);
    close(fakeHost);
}

TEST(SessionCommands, AHostAndAMemberTalkThroughTheCommands) {
    EngineNetwork network;
    ASSERT_EQ(network.session->host(0, "127.0.0.1"), 1);
    EXPECT_EQ(NetIsSessionRunning(), 1);
    const int32_t me = NetAddPlayer(RtString("host player"));
    ASSERT_EQ(me, 101);
    NetSession member;
    ASSERT_EQ(member.join("127.0.0.1", network.session->listeningPort()), 1);
    ASSERT_EQ(member.addPlayer("guest"), 103);
    EXPECT_EQ(QueryPlayerCount(), 2);
    EXPECT_EQ(QueryPlayerId(1), 103);
    EXPECT_STREQ(QueryPlayerName(103).c_str(), "guest");
    EXPECT_EQ(member.sendText(103, me, RtString("hello host")), 1);
    RtString text;
    ASSERT_TRUE(nettest::waitUntil([&] { return !(text = NetReceiveMessage(me)).isEmpty(); }));
    EXPECT_STREQ(text.c_str(), "hello host");
    EXPECT_EQ(NetGetSenderId(), 103);
    NetSetSessionFlag(0);
    EXPECT_EQ(network.session->acceptPlayers, 0);
    NetSetSessionFlag(7);
    EXPECT_EQ(network.session->acceptPlayers, 1);
    NetShutdownSession();
    EXPECT_EQ(NetIsSessionRunning(), 0);
}

TEST(SessionCommands, TheEngineShutdownClosesEverySocket) {
    createNetSession();
    ASSERT_EQ(engine.network->host(0, "127.0.0.1"), 1);
    ASSERT_GT(NetAddPlayer(RtString("p")), 0);
    for (int i = 0; i < 20; ++i) ASSERT_EQ(SocketInit(), 1);  // more than anyone gives back
    ASSERT_GE(SocketOpenUdp(0), 0);
    releaseNetSession();
    EXPECT_EQ(engine.network, nullptr);
    EXPECT_EQ(usedSocketSlotCount(), 0);
    EXPECT_EQ(socketReferenceCount(), 0);
    releaseNetSession();  // nothing left to release
}

TEST(SessionCommands, TheShutdownRunsTheNetworkStep) {
    testsupport::TempDir dir;
    testsupport::ScopedEnv tmp("TMPDIR", dir.path().c_str());
    const testsupport::ChildResult result = testsupport::runInChild([] {
        createNetSession();
        if (engine.network->host(0, "127.0.0.1") != 1) _exit(3);
        shutdownEngine();
        _exit(engine.network == nullptr && usedSocketSlotCount() == 0 ? 0 : 4);
    });
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
}
