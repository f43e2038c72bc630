// A session against peers that misbehave on purpose: slow, silent, flooding,
// full or forging members on raw sockets, and a fake host that answers late
// or out of turn. Each peer's behaviour is fixed by the test; only the
// bounds are measured in time.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "file_bytes.h"
#include "net/net_session.h"
#include "net/session_commands.h"
#include "net/socket_table.h"
#include "net_test_support.h"
#include "runtime/engine/engine_state.h"
#include "temp_dir.h"

using nettest::HostedSession;
using nettest::hexBytes;
using nettest::fakeHostFor;
using nettest::leftCount;
using nettest::millisTaken;
using nettest::RawPeer;
using nettest::waitUntil;
using nettest::wireMessage;
using nettest::wireRequest;
using nettest::wireU16;

namespace {

constexpr int32_t kTimedOut = 10060;

// A header claiming more than the format allows, with no payload after it.
std::string overlongHeader() { return std::string(1, '\x03') + wireU16(60000) + wireU16(0xFFFF) + wireU16(1); }

// A running host, its peers made by each test.
class PeersOfAHost : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(hosted.port, 0); }

    HostedSession hosted;
    NetSession& host = hosted.host;
};

// Messages the fake host reads up to and including the first of the kind.
std::vector<std::string> readUntilKind(RawPeer& host, uint8_t kind) {
    std::vector<std::string> seen;
    do {
        seen.push_back(host.readMessage());
    } while (!seen.back().empty() && static_cast<uint8_t>(seen.back()[0]) != kind);
    return seen;
}

}  // namespace

TEST(SessionPeers, ATricklingAndAFloodingPeerHoldNothingUp) {
    NetSession* host = createNetSession();
    ASSERT_EQ(host->host(0, "127.0.0.1"), 1);
    const uint16_t port = host->listeningPort();

    // One peer starts a 1,000-byte text and sends it a byte every 40 ms;
    // another claims 60,000 bytes and falls silent.
    RawPeer trickler(port);
    const std::string text = wireMessage(3, 0xFFFF, 1, std::string(1000, 't'));
    trickler.send(text.substr(0, 7));
    trickler.startTrickle(text.substr(7), 40);
    RawPeer silent(port);
    silent.send(overlongHeader());
    // A third floods texts to everyone and never reads.
    RawPeer flooder(port);
    const uint16_t floodId = flooder.registerPlayer("flood");
    ASSERT_NE(floodId, 0);
    flooder.startFlood(wireMessage(3, 0xFFFF, floodId, std::string(200, 'f')));
    ASSERT_TRUE(waitUntil([&] { return flooder.bytesSent() > 512 * 1024; }));

    // Each figure is also kept in the test's record (--gtest_output=xml).
    const auto within = [](const char* what, double limitMs, auto&& action) {
        const double ms = millisTaken(action);
        testing::Test::RecordProperty(what, std::to_string(ms));
        EXPECT_LT(ms, limitMs) << what;
    };
    NetSession member;
    within("joinMs", 1000, [&] { EXPECT_EQ(member.join("127.0.0.1", port), 1); });
    int32_t count = -1;
    int32_t id = -1;
    std::string name;
    // A query takes well under a millisecond; the bounds leave room for a loaded machine.
    within("countMs", 500, [&] { count = member.playerCount(); });
    within("idMs", 500, [&] { id = member.playerIdAt(0); });
    within("nameMs", 500, [&] { name = member.playerName(floodId).c_str(); });
    EXPECT_EQ(count, 1);
    EXPECT_EQ(id, floodId);
    EXPECT_EQ(name, "flood");
    NetSession late;
    within("secondJoinMs", 1000, [&] { EXPECT_EQ(late.join("127.0.0.1", port), 1); });

    within("memberShutdownMs", 1000, [&] { member.reset(); });
    // The engine's network step, the host's session still running among its peers.
    within("engineShutdownMs", 1000, [&] { releaseNetSession(); });
    late.reset();
    EXPECT_EQ(socketReferenceCount(), 0);
}

TEST_F(PeersOfAHost, AStallInsideAMessageEndsNothingOnEitherSide) {
    // Default limits. Three members of the host, and the member of a fake
    // host, each stop inside a message for 7 s, then send the rest.
    ASSERT_EQ(host.addPlayer("reads"), 101);
    uint16_t fakePort = 0;
    const int listening = nettest::rawListen(&fakePort);
    NetSession member;
    const std::unique_ptr<RawPeer> fakeHost = fakeHostFor(member, listening, fakePort);
    // To the member's one player, its query player 102.
    const std::string toMember = wireMessage(3, 102, 1, "after the stall");
    fakeHost->send(toMember.substr(0, 9));
    const struct {
        const char* what;
        size_t cut;       // bytes sent before the stall
        bool overlong;    // the text is led by a header claiming 60,000 bytes
    } cases[] = {{"a text cut inside its payload", 9, false}, {"half a header", 3, false}, {"an overlong payload", 7, true}};
    std::vector<std::unique_ptr<RawPeer>> peers;
    std::vector<std::string> rests;
    for (const auto& c : cases) {
        peers.push_back(std::make_unique<RawPeer>(hosted.port));
        const uint16_t id = peers.back()->registerPlayer(c.what);
        ASSERT_NE(id, 0) << c.what;
        std::string bytes = wireMessage(3, 101, id, c.what);
        if (c.overlong) bytes = overlongHeader() + std::string(60000, 'x') + bytes;
        peers.back()->send(bytes.substr(0, c.cut));
        rests.push_back(bytes.substr(c.cut));
    }
    std::this_thread::sleep_for(std::chrono::seconds(7));
    for (size_t i = 0; i < peers.size(); ++i) peers[i]->send(rests[i]);
    fakeHost->send(toMember.substr(9));
    // Every text arrives, and nobody left.
    std::set<std::string> got;
    ASSERT_TRUE(waitUntil([&] {
        for (RtString text = host.receiveText(101); !text.isEmpty(); text = host.receiveText(101)) got.insert(text.c_str());
        return got.size() == 3;
    })) << got.size();
    for (const auto& c : cases) EXPECT_EQ(got.count(c.what), 1u) << c.what;
    EXPECT_EQ(leftCount(host), 0u);
    EXPECT_EQ(host.playerCount(), 4);
    EXPECT_TRUE(waitUntil([&] { return std::string(member.receiveText(102).c_str()) == "after the stall"; }));
    EXPECT_TRUE(member.isRunning());
    member.reset();
    close(listening);
}

TEST_F(PeersOfAHost, AMemberThatNeverReadsIsClosedOnceItsQueuePassesTheBound) {
    host.sendQueueLimitBytes = 64 * 1024;
    // Texts from its player a to its player b come back on its own
    // connection, which it never reads.
    RawPeer sink(hosted.port, 4096);
    const uint16_t a = sink.registerPlayer("a");
    const uint16_t b = sink.registerPlayer("b");
    ASSERT_NE(b, 0);
    sink.startFlood(wireMessage(3, b, a, std::string(1000, 's')));
    ASSERT_TRUE(waitUntil([&] { return leftCount(host) == 2; }));
    EXPECT_EQ(host.popLeftPlayer(), b);  // both its players leave with it
    EXPECT_EQ(host.popLeftPlayer(), a);
    // The host serves on at once and stops at once.
    int32_t count = -1;
    EXPECT_LT(millisTaken([&] { count = host.playerCount(); }), 500);
    EXPECT_EQ(count, 0);
    EXPECT_LT(millisTaken([&] { host.reset(); }), 1000);
}

TEST_F(PeersOfAHost, AFloodOfTextsFillsAnInboxToItsBoundAndTheRestIsLostToThatPlayerAlone) {
    testsupport::TempDir logFolder;
    testsupport::ScopedEnv logHere("TMPDIR", logFolder.path().c_str());
    ASSERT_EQ(host.addPlayer("alice"), 101);
    ASSERT_EQ(host.addPlayer("bob"), 102);
    std::vector<std::unique_ptr<RawPeer>> flooders;
    std::vector<uint16_t> ids;
    for (int i = 0; i < 2; ++i) {
        flooders.push_back(std::make_unique<RawPeer>(hosted.port));
        ids.push_back(flooders.back()->registerPlayer("flood"));
        ASSERT_NE(ids.back(), 0);
        flooders.back()->startFlood(wireMessage(3, 101, ids.back(), std::string(1000, static_cast<char>('a' + i))));
    }
    // Past the bound, alice's texts are lost; nobody waits for her, and
    // bob's text still arrives at once.
    ASSERT_TRUE(waitUntil([&] { return flooders[0]->bytesSent() + flooders[1]->bytesSent() > 2 * kInboxBytesMax; }, 20000));
    EXPECT_GT(nettest::inboxBytes(host, 101), kInboxBytesMax - 1007);
    EXPECT_LE(nettest::inboxBytes(host, 101), kInboxBytesMax);
    RawPeer other(hosted.port);
    const uint16_t otherId = other.registerPlayer("other");
    ASSERT_NE(otherId, 0);
    other.send(wireMessage(3, 102, otherId, "to bob"));
    EXPECT_TRUE(waitUntil([&] { return std::string(host.receiveText(102).c_str()) == "to bob"; }, 500));
    EXPECT_EQ(lastSocketError(), 0);
    EXPECT_LT(millisTaken([&] { EXPECT_EQ(host.playerCount(), 5); }), 500);
    for (auto& flooder : flooders) flooder->stop();
    // Alice's program learns of the loss when it reads next; the error log
    // has the count. What she kept is whole, in each flooder's order.
    const size_t kept = nettest::inboxCount(host, 101);
    EXPECT_EQ(host.receiveText(101).length, 1000u);
    EXPECT_EQ(lastSocketError(), 10055);
    EXPECT_NE(testsupport::readFileBytes(logFolder.file("ErrorLog.txt")).find("texts to player 101 were lost"),
              std::string::npos);
    for (size_t i = 1; i < kept; ++i) {
        const RtString text = host.receiveText(101);
        ASSERT_EQ(text.length, 1000u);
        EXPECT_EQ(text.c_str()[999], text.c_str()[0]);
    }
    EXPECT_TRUE(host.isRunning());
}

TEST(SessionPeers, AMemberIsNotHeldUpByAHostThatTrickles) {
    uint16_t port = 0;
    const int listening = nettest::rawListen(&port);
    NetSession member;
    std::unique_ptr<RawPeer> host = fakeHostFor(member, listening, port);
    ASSERT_TRUE(host->connected());
    const std::string text = wireMessage(3, 102, 1, std::string(1000, 't'));
    host->send(text.substr(0, 8));
    host->startTrickle(text.substr(8), 50);  // 50 s for the rest
    // The member's program goes on at its own pace, its session with it.
    nettest::CallTimes sends;
    nettest::runFrames(1000, [&](size_t) {
        sends.time([&] { EXPECT_EQ(member.sendText(102, 1, RtString("tick")), 1); });
        return true;
    });
    sends.expectWithin("send");
    EXPECT_TRUE(member.isRunning());
    EXPECT_LT(millisTaken([&] { member.reset(); }), 1000);
    close(listening);
}

TEST(SessionPeers, QueriesTakeOnlyTheAnswersToThemselves) {
    uint16_t port = 0;
    const int listening = nettest::rawListen(&port);
    NetSession member;
    member.answerPolls = 5;  // 100 ms
    const std::unique_ptr<RawPeer> host = fakeHostFor(member, listening, port);
    ASSERT_TRUE(member.isRunning());

    // A count that is never answered times out, and the last error says so;
    // a handshake question follows it, whose answer would settle it.
    EXPECT_EQ(member.playerCount(), 0);
    EXPECT_EQ(lastSocketError(), kTimedOut);
    EXPECT_EQ(hexBytes(host->readMessage()), "65 00 00 00 00 66 00");
    EXPECT_EQ(hexBytes(host->readMessage()), "68 00 00 00 00 66 00");
    host->send(wireMessage(101, 102, 0, wireU16(2)));  // its answer comes late

    // A name: answers of another kind and to another receiver come first.
    std::thread answer([&] {
        host->readMessage();
        host->send(wireMessage(101, 102, 0, wireU16(2)) + wireMessage(103, 999, 0, "eve") +
                   wireMessage(103, 102, 0, "bob"));
    });
    EXPECT_STREQ(member.playerName(102).c_str(), "bob");
    EXPECT_EQ(lastSocketError(), 0);
    answer.join();

    // An id given up on, whose answer arrives after the next question of its kind.
    EXPECT_EQ(member.playerIdAt(0), 0);
    EXPECT_EQ(lastSocketError(), kTimedOut);
    std::thread lateAnswer([&] {
        for (const char* expected : {"66 02 00 00 00 66 00 00 00", "68 00 00 00 00 66 00", "66 02 00 00 00 66 00 01 00"}) {
            EXPECT_EQ(hexBytes(host->readMessage()), expected);  // k = 0, the handshake after it, k = 1
        }
        host->send(wireMessage(102, 102, 0, wireU16(555)) + wireMessage(102, 102, 0, wireU16(777)));
    });
    EXPECT_EQ(member.playerIdAt(1), 777);
    EXPECT_EQ(lastSocketError(), 0);
    lateAnswer.join();
    member.reset();
    close(listening);
}

TEST_F(PeersOfAHost, AClosedConnectionTakesEveryPlayerOfItsWithIt) {
    {
        RawPeer gone(hosted.port);
        ASSERT_EQ(gone.registerPlayer("a1"), 101);
        ASSERT_EQ(gone.registerPlayer("a2"), 102);
    }
    ASSERT_TRUE(waitUntil([&] { return leftCount(host) > 0; }));
    // The next connection takes the socket record the first one freed.
    RawPeer next(hosted.port);
    const uint16_t own = next.registerPlayer("b");
    ASSERT_EQ(own, 103);
    EXPECT_EQ(leftCount(host), 2u);
    EXPECT_EQ(host.popLeftPlayer(), 102);
    EXPECT_EQ(host.popLeftPlayer(), 101);
    // Nothing meant for the players that left reaches the newcomer: the
    // text to 102 is dropped, the one to its own player arrives first.
    EXPECT_EQ(host.sendText(7, 102, RtString("stale")), 1);
    EXPECT_EQ(host.sendText(7, own, RtString("fresh")), 1);
    EXPECT_EQ(hexBytes(next.readMessage()), hexBytes(wireMessage(3, own, 7, "fresh")));
    next.send(wireMessage(101, 0, own));
    EXPECT_EQ(hexBytes(next.readMessage()), "65 02 00 67 00 00 00 01 00");  // b alone
}

TEST(SessionPeers, AReplyGivenUpOnGoesToNoLaterRequestOrQuestion) {
    uint16_t port = 0;
    const int listening = nettest::rawListen(&port);
    const struct {
        const char* what;
        bool request;      // a player request held back, else a player count
        bool comesLate;    // its reply comes after the next one was sent; else never
    } cases[] = {
        {"an id that comes late", true, true},
        {"an id that never comes", true, false},
        {"a count that never comes", false, false},
    };
    for (const auto& c : cases) {
        NetSession member;
        const std::unique_ptr<RawPeer> host = fakeHostFor(member, listening, port);
        ASSERT_TRUE(member.isRunning()) << c.what;
        member.answerPolls = 5;  // 100 ms
        const uint8_t kind = c.request ? 1 : 101;
        EXPECT_EQ(c.request ? member.addPlayer("held") : member.playerCount(), 0) << c.what;
        EXPECT_EQ(host->readMessage(), c.request ? wireRequest("held") : wireMessage(101, 0, 102)) << c.what;
        member.answerPolls = kAnswerPolls;
        // The fake host answers in order what came since: the held reply
        // (when late), any handshake, and the next message of the kind.
        std::thread hostSide([&] {
            std::string replies = !c.comesLate ? "" : wireMessage(2, 103, 0);
            for (const std::string& m : readUntilKind(*host, kind)) {
                if (m.empty()) return;
                if (m[0] == 104) replies += wireMessage(104, 102, 0, wireU16(1));
            }
            replies += c.request ? wireMessage(2, 104, 0) : wireMessage(101, 102, 0, wireU16(2));
            host->send(replies);
        });
        EXPECT_EQ(c.request ? member.addPlayer("next") : member.playerCount(), c.request ? 104 : 2) << c.what;
        hostSide.join();
        // The host is told that a player it made for a request given up leaves.
        if (c.comesLate) {
            EXPECT_EQ(hexBytes(host->readMessage()), "04 00 00 00 00 67 00") << c.what;
        } else {
            EXPECT_TRUE(nettest::rawNothingArrives(host->fd(), 50)) << c.what;
        }
        member.reset();
    }
    close(listening);
}

TEST_F(PeersOfAHost, OnlyTheConnectionThatOwnsAPlayerRemovesIt) {
    ASSERT_EQ(host.addPlayer("alice"), 101);
    RawPeer stranger(hosted.port);
    // From a connection with no player yet, then from one whose player is another.
    stranger.send(wireMessage(4, 0, 101));
    EXPECT_EQ(hexBytes(wireMessage(4, 0, 101)), "04 00 00 00 00 65 00");
    const uint16_t own = stranger.registerPlayer("mallory");  // read after the removal, on the same connection
    ASSERT_EQ(own, 102);
    stranger.send(wireMessage(4, 0, 101));
    stranger.send(wireMessage(101, 0, own));
    EXPECT_EQ(hexBytes(stranger.read(9)), "65 02 00 66 00 00 00 02 00");  // alice and mallory
    EXPECT_EQ(leftCount(host), 0u);
    // Its own player it may remove; the host's player, the host.
    stranger.send(wireMessage(4, 0, own));
    ASSERT_TRUE(waitUntil([&] { return leftCount(host) == 1; }));
    EXPECT_EQ(host.popLeftPlayer(), own);
    host.sendControl(101);
    ASSERT_TRUE(waitUntil([&] { return leftCount(host) == 1; }));
    EXPECT_EQ(host.popLeftPlayer(), 101);
    EXPECT_EQ(host.playerCount(), 0);
}

TEST_F(PeersOfAHost, AFullHostClosesThe129thConnectionAndAJoinerLearnsWhy) {
    // The host's own connection takes the first of the 128 places.
    std::vector<std::unique_ptr<RawPeer>> members;
    for (int i = 1; i < kHostConnectionPlaces; ++i) {
        members.push_back(std::make_unique<RawPeer>(hosted.port));
        ASSERT_NE(members.back()->registerPlayer("", true), 0) << i;
    }
    RawPeer extra(hosted.port);
    EXPECT_TRUE(extra.closedWithin(2000));

    createNetSession();
    EXPECT_EQ(NetJoinSession(RtString("127.0.0.1"), hosted.port), 0);
    EXPECT_EQ(lastSocketError(), 10054);  // the host closed the connection
    EXPECT_EQ(NetIsSessionRunning(), 0);
    // Everyone already in is still served.
    members.front()->send(wireMessage(104, 0, 101));
    EXPECT_EQ(hexBytes(members.front()->read(9)), "68 02 00 65 00 00 00 01 00");
}

TEST_F(PeersOfAHost, IdsAndAnswersForgedByAMemberAreIgnored) {
    RawPeer forger(hosted.port);
    ASSERT_NE(forger.registerPlayer("forger"), 0);
    // The host's own question goes unanswered (it asks as an id it does not
    // know) while the member sends answers addressed to that id.
    host.lock();
    host.ownPlayerId = 9999;
    host.unlock();
    host.answerPolls = 10;
    int32_t count = -1;
    std::thread ask([&] { count = host.playerCount(); });
    for (int i = 0; i < 10; ++i) {
        forger.send(wireMessage(101, 9999, 0, wireU16(42)));
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    ask.join();
    EXPECT_EQ(count, 0);
    // The host's own request waits for an id (it takes no players now) while
    // the member sends an id assignment.
    host.setAcceptPlayers(false);
    int32_t id = -1;
    std::thread add([&] { id = host.addPlayer("late"); });
    ASSERT_TRUE(waitUntil([&] {
        host.lock();
        const bool waiting = !host.localPlayers.empty() && host.localPlayers.back().id == kAwaitingPlayerId;
        host.unlock();
        return waiting;
    }));
    forger.send(wireMessage(2, 777, 0));
    add.join();
    EXPECT_EQ(id, 0);
}

TEST_F(PeersOfAHost, ATextNoLocalPlayerTakesIsDroppedNotSentRound) {
    ASSERT_EQ(host.addPlayer("alice"), 101);
    // The local record goes (as when its wait gave up) while the host's table keeps 101.
    host.lock();
    host.localPlayers.remove_if([](const NetPlayer& p) { return p.id == 101; });
    host.unlock();
    RawPeer peer(hosted.port);
    const uint16_t own = peer.registerPlayer("p");
    ASSERT_NE(own, 0);
    peer.send(wireMessage(3, 101, own, "round"));
    peer.send(wireMessage(101, 0, own));
    ASSERT_EQ(peer.read(9).size(), 9u);  // the text has been handled
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    // A record that appears later never sees the text: it was not kept going round.
    host.lock();
    NetPlayer returned;
    returned.id = 101;
    host.localPlayers.push_back(returned);
    host.unlock();
    EXPECT_FALSE(waitUntil([&] { return !host.receiveText(101).isEmpty(); }, 150));
}

TEST_F(PeersOfAHost, APlayerWhoseConnectionIsGoneLeavesWithIt) {
    ASSERT_EQ(host.addPlayer("alice"), 101);
    host.setAcceptPlayers(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // a pass that no longer accepts
    {
        RawPeer gone(hosted.port);  // waits unaccepted, asks for a player and leaves
        gone.send(wireRequest("ghost"));
    }
    host.setAcceptPlayers(true);
    RawPeer next(hosted.port);  // accepted after it, perhaps in the same socket record
    // The request that came before the end is answered (a peer that only
    // shut its sending side still reads), and its player leaves at once.
    EXPECT_EQ(next.registerPlayer("next"), 103);
    ASSERT_TRUE(waitUntil([&] { return leftCount(host) == 1; }));
    EXPECT_EQ(host.popLeftPlayer(), 102);
    EXPECT_EQ(host.playerCount(), 2);  // alice and next: the newcomer inherits nobody
}

TEST_F(PeersOfAHost, RepliesAndForwardedCopiesAreExactBytes) {
    ASSERT_EQ(host.addPlayer("alice"), 101);
    RawPeer peer(hosted.port);
    peer.send(wireRequest("bob"));
    EXPECT_EQ(hexBytes(peer.read(7)), "02 00 00 66 00 00 00");
    EXPECT_EQ(host.sendText(101, 0, RtString("hi")), 1);
    EXPECT_EQ(hexBytes(peer.read(9)), "03 02 00 66 00 65 00 68 69");
    EXPECT_EQ(host.sendText(101, 102, RtString("yo")), 1);
    EXPECT_EQ(hexBytes(peer.read(9)), "03 02 00 66 00 65 00 79 6F");
    const struct {
        std::string question;
        const char* answer;
    } queries[] = {
        {wireMessage(101, 0, 102), "65 02 00 66 00 00 00 02 00"},
        {wireMessage(102, 0, 102, wireU16(1)), "66 02 00 66 00 00 00 66 00"},
        {wireMessage(102, 0, 102, wireU16(2)), "66 02 00 66 00 00 00 00 00"},
        {wireMessage(103, 0, 102, wireU16(101)), "67 05 00 66 00 00 00 61 6C 69 63 65"},
        {wireMessage(103, 0, 102, wireU16(4000)), "67 07 00 66 00 00 00 4E 4F 5F 44 41 54 41"},
        {wireMessage(104, 0, 102), "68 02 00 66 00 00 00 01 00"},
    };
    for (const auto& q : queries) {
        peer.send(q.question);
        const size_t n = (std::string(q.answer).size() + 1) / 3;
        EXPECT_EQ(hexBytes(peer.read(n)), q.answer) << hexBytes(q.question);
    }
}

TEST_F(PeersOfAHost, AMemberThatStopsSendingIsStillAnswered) {
    // A player request, then the sending side shut.
    RawPeer leaving(hosted.port);
    leaving.send(wireRequest("last words"));
    ASSERT_EQ(shutdown(leaving.fd(), SHUT_WR), 0);
    EXPECT_EQ(hexBytes(leaving.read(7)), "02 00 00 65 00 00 00");
    EXPECT_TRUE(leaving.closedWithin(2000));  // then the host closes, and its player leaves
    ASSERT_TRUE(waitUntil([&] { return leftCount(host) == 1; }));
    EXPECT_EQ(host.popLeftPlayer(), 101);
    // A player, then a question, then the sending side shut.
    RawPeer asking(hosted.port);
    ASSERT_EQ(asking.registerPlayer("asker"), 102);
    asking.send(wireMessage(101, 0, 102) + wireMessage(103, 0, 102, wireU16(102)));
    ASSERT_EQ(shutdown(asking.fd(), SHUT_WR), 0);
    EXPECT_EQ(hexBytes(asking.read(9)), "65 02 00 66 00 00 00 01 00");
    EXPECT_EQ(hexBytes(asking.read(12)), "67 05 00 66 00 00 00 61 73 6B 65 72");
    EXPECT_TRUE(asking.closedWithin(2000));
    // A player, the sending side shut, and nothing read of what is sent to
    // it: it goes once it has taken nothing for the silence limit.
    host.silenceLimitMs = 1500;
    RawPeer deaf(hosted.port, 4096);
    ASSERT_EQ(deaf.registerPlayer("deaf"), 103);
    nettest::limitSlotBuffers(deaf.acceptedSlot(host), 4096);
    ASSERT_EQ(host.addPlayer("talker"), 104);
    for (int i = 0; i < 2000; ++i) ASSERT_EQ(host.sendText(104, 103, RtString(std::string(1000, 'd').c_str())), 1);
    ASSERT_EQ(shutdown(deaf.fd(), SHUT_WR), 0);
    ASSERT_TRUE(waitUntil([&] { return leftCount(host) == 2; }, 15000));
    EXPECT_EQ(host.popLeftPlayer(), 103);
}

TEST(SessionPeers, AnAnswerSentJustBeforeTheHostLeavesIsStillTaken) {
    uint16_t port = 0;
    const int listening = nettest::rawListen(&port);
    NetSession member;
    std::unique_ptr<RawPeer> host = fakeHostFor(member, listening, port);
    ASSERT_TRUE(member.isRunning());
    std::thread answer([&] {
        if (host->readMessage() != wireMessage(101, 0, 102)) return;
        host->send(wireMessage(101, 102, 0, wireU16(7)));
        host.reset();  // and gone
    });
    EXPECT_EQ(member.playerCount(), 7);
    EXPECT_EQ(lastSocketError(), 0);
    answer.join();
    EXPECT_TRUE(waitUntil([&] { return !member.isRunning(); }));
    close(listening);
}

// Every send that fails as the session ends, or after, leaves the
// session's own cause: the host closed it. Before, the connection was let
// go before the cause was stored, and a send in between said "not
// connected" (10057).
TEST(SessionPeers, ASendAsTheSessionEndsLeavesTheSessionsCause) {
    uint16_t port = 0;
    const int listening = nettest::rawListen(&port);
    for (int round = 0; round < 3; ++round) {
        NetSession member;
        std::unique_ptr<RawPeer> host = fakeHostFor(member, listening, port);
        host.reset();
        std::set<int32_t> causes;
        while (member.isRunning()) {
            if (member.sendText(102, 0, RtString("bye?")) == 0) causes.insert(lastSocketError());
        }
        EXPECT_EQ(member.sendText(102, 0, RtString("bye?")), 0);
        causes.insert(lastSocketError());
        EXPECT_EQ(causes, std::set<int32_t>{10054}) << round;
    }
    close(listening);
}

TEST_F(PeersOfAHost, AConnectionThatAsksForNoPlayerIsClosedAfterTheDeadline) {
    host.playerRequestLimitMs = 300;
    // The host's own connection takes the first place; silent connections all the others.
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::unique_ptr<RawPeer>> silent;
    for (int i = 1; i < kHostConnectionPlaces; ++i) silent.push_back(std::make_unique<RawPeer>(hosted.port));
    RawPeer extra(hosted.port);  // the 129th: in the place of the first, and as silent
    EXPECT_TRUE(extra.closedWithin(2000));
    for (auto& peer : silent) EXPECT_TRUE(peer->closedWithin(3000));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(290));
    // The places are free again: a joiner gets in, and a member with a
    // player keeps its place past the deadline.
    NetSession joiner;
    ASSERT_EQ(joiner.join("127.0.0.1", hosted.port), 1);
    ASSERT_NE(joiner.addPlayer("j"), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    EXPECT_TRUE(joiner.isRunning());
    EXPECT_EQ(joiner.playerCount(), 1);
    // A question alone does not ask for a player.
    RawPeer asker(hosted.port);
    asker.send(wireMessage(104, 0, 101));
    EXPECT_TRUE(asker.closedWithin(3000));
    EXPECT_EQ(host.playerRequestLimitMs.load(), 300u);
    EXPECT_EQ(kPlayerRequestLimitMs, 10000u);
}

TEST_F(PeersOfAHost, IdsOfDepartedPlayersAreGivenAgainOnceTheRangeIsUsedUp) {
    ASSERT_EQ(host.addPlayer("host player"), 101);
    RawPeer stays(hosted.port);
    ASSERT_EQ(stays.registerPlayer("a"), 102);
    {
        RawPeer gone(hosted.port);
        ASSERT_EQ(gone.registerPlayer("b"), 103);
    }
    ASSERT_TRUE(waitUntil([&] { return leftCount(host) == 1; }));
    host.lock();
    host.nextPlayerId = kLastValidPlayerId - 1;
    host.unlock();
    EXPECT_EQ(stays.registerPlayer("c"), kLastValidPlayerId - 1);
    EXPECT_EQ(stays.registerPlayer("d"), kLastValidPlayerId);
    // The range is used up: the first id not in use after the last one
    // given, never 101 or 102.
    EXPECT_EQ(stays.registerPlayer("e"), 103);
    EXPECT_EQ(host.addPlayer("host again"), 104);
    EXPECT_EQ(stays.registerPlayer("f"), 105);
    // A departure frees its id for a later round.
    stays.send(wireMessage(4, 0, kLastValidPlayerId - 1));
    ASSERT_TRUE(waitUntil([&] { return leftCount(host) == 2; }));
    host.lock();
    host.nextPlayerId = kLastValidPlayerId - 2;
    host.unlock();
    EXPECT_EQ(stays.registerPlayer("g"), kLastValidPlayerId - 2);
    EXPECT_EQ(stays.registerPlayer("h"), kLastValidPlayerId - 1);
    EXPECT_EQ(stays.registerPlayer("i"), 106);
    stays.send(wireMessage(102, 0, 102, wireU16(8)));
    EXPECT_EQ(hexBytes(stays.read(9)), "66 02 00 66 00 00 00 6A 00");  // the ninth named player is 106
}

TEST_F(PeersOfAHost, AQuestionIsAnsweredPastTheTextsThatWaitBeforeIt) {
    ASSERT_EQ(host.addPlayer("slow reader"), 101);
    RawPeer member(hosted.port);
    const uint16_t id = member.registerPlayer("writer");
    ASSERT_EQ(id, 102);
    // Many texts, then a question, at once.
    std::string burst;
    constexpr size_t kTexts = 2000;
    for (size_t i = 0; i < kTexts; ++i) burst += wireMessage(3, 101, id, nettest::numberedText(i, 100));
    member.send(burst + wireMessage(101, 0, id));
    // The program has read nothing; the question is answered all the same.
    EXPECT_EQ(hexBytes(member.read(9, 2000)), "65 02 00 66 00 00 00 02 00");
    EXPECT_EQ(nettest::inboxCount(host, 101), kTexts);
    // And the texts that waited come in their order.
    size_t got = 0;
    ASSERT_TRUE(waitUntil([&] {
        for (RtString text = host.receiveText(101); !text.isEmpty(); text = host.receiveText(101)) {
            EXPECT_EQ(std::string(text.c_str()), nettest::numberedText(got, 100));
            ++got;
        }
        return got == kTexts;
    })) << got;
}

TEST_F(PeersOfAHost, DeparturesNobodyTakesAreKeptToABoundNewestFirst) {
    // Register-and-remove pairs on one connection, more than the bound:
    // ids come round again, so departures never run out.
    RawPeer churn(hosted.port);
    nettest::Collector replies(churn.fd(), {0, 0, 10, false});
    const size_t pairs = kLeftPlayersMax + 100;
    const auto idOf = [](size_t pair) {
        return static_cast<uint16_t>(kFirstAssignedPlayerId + pair % (kLastValidPlayerId - kFirstAssignedPlayerId + 1));
    };
    std::string burst;
    burst.reserve((pairs + 1) * 150);
    for (size_t i = 0; i < pairs; ++i) burst += wireRequest("c") + wireMessage(4, 0, idOf(i));
    burst += wireRequest("last");  // its id comes after every removal before it
    churn.send(burst);
    ASSERT_TRUE(replies.waitForBytes(7 * (pairs + 1), 60000)) << replies.size();
    EXPECT_EQ(leftCount(host), kLeftPlayersMax);
    EXPECT_EQ(host.popLeftPlayer(), idOf(pairs - 1));
    EXPECT_EQ(host.popLeftPlayer(), idOf(pairs - 2));
    EXPECT_EQ(leftCount(host), kLeftPlayersMax - 2);
}

TEST_F(PeersOfAHost, ARemovalWaitsForTheTextsSentBeforeIt) {
    ASSERT_EQ(host.addPlayer("host"), 101);
    // A member that reads nothing for now, so that the host's texts to it
    // wait in its queue.
    RawPeer member(hosted.port, 4096);
    const uint16_t id = member.registerPlayer("kicked");
    ASSERT_EQ(id, 102);
    // The host's end of that connection keeps a few kilobytes, not the
    // megabytes loopback gives by default.
    const int32_t accepted = member.acceptedSlot(host);
    ASSERT_GE(accepted, 0);
    nettest::limitSlotBuffers(accepted, 4096);
    std::string expected;
    for (size_t i = 0; i < 300; ++i) {
        const std::string text = nettest::numberedText(i, 1000);
        ASSERT_EQ(host.sendText(101, id, RtString(text.c_str())), 1) << i;
        expected += wireMessage(3, id, 101, text);
    }
    // Then the host removes the player; the texts sent before still go to it.
    host.sendControl(id);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    nettest::Collector reader(member.fd(), {});
    ASSERT_TRUE(reader.waitForBytes(expected.size())) << reader.size() << " of " << expected.size();
    EXPECT_EQ(reader.bytes(), expected);
    ASSERT_TRUE(waitUntil([&] { return leftCount(host) == 1; }));
    EXPECT_EQ(host.popLeftPlayer(), id);
}

TEST_F(PeersOfAHost, AnIdTheHostsProgramStillHoldsIsNotGivenAgain) {
    // The host's program removes its own player; its record, and the texts
    // to its id, stay with the program until the next session.
    ASSERT_EQ(host.addPlayer("removed"), 101);
    host.sendControl(101);
    ASSERT_TRUE(waitUntil([&] { return leftCount(host) == 1; }));
    // The range is used up: the next id comes round from 101.
    RawPeer peer(hosted.port);
    host.lock();
    host.nextPlayerId = kLastValidPlayerId;
    host.unlock();
    ASSERT_EQ(peer.registerPlayer("last"), kLastValidPlayerId);
    const uint16_t newcomer = peer.registerPlayer("newcomer");
    EXPECT_EQ(newcomer, 102);
    // A text to the newcomer reaches it, not the program's old record.
    EXPECT_EQ(host.sendText(7, newcomer, RtString("yours")), 1);
    EXPECT_EQ(hexBytes(peer.readMessage()), hexBytes(wireMessage(3, newcomer, 7, "yours")));
    EXPECT_TRUE(host.receiveText(101).isEmpty());
}

TEST_F(PeersOfAHost, OneConnectionTakesNeitherEveryPlayerNorEveryPlace) {
    // One connection asks for one player more than it may hold: the last
    // request gets no id.
    constexpr size_t kMost = kPlayersPerConnectionMax;
    RawPeer greedy(hosted.port);
    std::string requests;
    for (size_t i = 0; i <= kMost; ++i) requests += wireRequest("g");
    greedy.send(requests + wireMessage(101, 0, 101));
    const std::string ids = greedy.read(7 * kMost);
    ASSERT_EQ(ids.size(), 7 * kMost);
    EXPECT_EQ(hexBytes(ids.substr(7 * (kMost - 1))), "02 00 00 64 01 00 00");  // 356
    EXPECT_EQ(hexBytes(greedy.readMessage()), "65 02 00 65 00 00 00 00 01");  // 256 players, no more
    // Every other place is taken by a connection that asks for nothing.
    std::vector<std::unique_ptr<RawPeer>> idle;
    for (int i = 2; i < kHostConnectionPlaces; ++i) {
        idle.push_back(std::make_unique<RawPeer>(hosted.port));
        ASSERT_TRUE(waitUntil([&] { return usedSocketSlotCount() == 3 + i; })) << i;  // accepted in turn
    }
    // A newcomer takes the place of the one that has waited longest.
    NetSession joiner;
    EXPECT_LT(millisTaken([&] { EXPECT_EQ(joiner.join("127.0.0.1", hosted.port), 1); }), 1000);
    EXPECT_EQ(joiner.addPlayer("honest"), static_cast<int32_t>(kFirstAssignedPlayerId + kMost + 1));
    EXPECT_TRUE(idle.front()->closedWithin(1000));
    EXPECT_FALSE(idle.back()->closedWithin(50));
    EXPECT_EQ(joiner.playerCount(), static_cast<int32_t>(kMost) + 1);
    joiner.reset();
}

namespace {

// The host's program says 140 KB a second to everyone (three 750-byte texts
// a frame), numbered, for the time given or until `more` says no.
void castFor(NetSession& host, int durationMs, const std::function<bool(size_t sent)>& more) {
    size_t sent = 0;
    nettest::runFrames(durationMs, [&](size_t) {
        for (int k = 0; k < 3; ++k) sent += host.sendText(101, 0, RtString(nettest::numberedText(sent, 750).c_str()));
        return more(sent);
    });
}

}  // namespace

TEST_F(PeersOfAHost, ASlowMemberIsAnsweredTheTrueCountAheadOfItsTexts) {
    ASSERT_EQ(host.addPlayer("caster"), 101);
    // A member that takes 8 KB a second of the 140 KB it is sent.
    RawPeer slow(hosted.port, 4096);
    const uint16_t id = slow.registerPlayer("slow");
    ASSERT_EQ(id, 102);
    nettest::Collector reader(slow.fd(), {0, 80, 10, true});
    std::atomic<bool> asking{true};
    // What the system holds unsent for it stays within the bound: the rest
    // waits in its queue, where answers pass it.
    const int32_t slot = slow.acceptedSlot(host);
    int32_t mostUnsent = 0;
    std::thread caster([&] {
        castFor(host, 20000, [&](size_t) {
            mostUnsent = std::max(mostUnsent, unsentOnSocket(slot));
            return asking.load();
        });
    });
    // Every second it asks for the count; the answer passes the texts queued.
    const std::string answer = wireMessage(101, id, 0, wireU16(2));
    size_t from = 0;
    for (int i = 0; i < 4; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        slow.send(wireMessage(101, 0, id));
        size_t at = std::string::npos;
        const double ms = millisTaken([&] {
            waitUntil([&] { return (at = reader.bytes().find(answer, from)) != std::string::npos; }, 10000);
        });
        testing::Test::RecordProperty("answerMs" + std::to_string(i), std::to_string(ms));
        if (at == std::string::npos) {
            ADD_FAILURE() << "no answer to question " << i;
            break;
        }
        EXPECT_LT(ms, 5000) << i;
        from = at + answer.size();
    }
    asking = false;
    caster.join();
    EXPECT_EQ(leftCount(host), 0u);
    EXPECT_LE(mostUnsent, static_cast<int32_t>(kMemberUnsentBytes));
}

TEST_F(PeersOfAHost, AMemberThatFallsBehindIsClosedAndTheOthersGoOn) {
    testsupport::TempDir logFolder;
    testsupport::ScopedEnv logHere("TMPDIR", logFolder.path().c_str());
    host.lagLimitMs = 2000;
    ASSERT_EQ(host.addPlayer("caster"), 101);
    NetSession honest;
    ASSERT_EQ(honest.join("127.0.0.1", hosted.port), 1);
    ASSERT_EQ(honest.addPlayer("honest"), 103);
    RawPeer slow(hosted.port, 4096);
    const uint16_t id = slow.registerPlayer("slow");
    ASSERT_EQ(id, 104);
    const uint16_t slowPort = hostOrderPort(getSocketPeer(slow.acceptedSlot(host)));
    nettest::Collector reader(slow.fd(), {0, 80, 10, false});
    // The honest member reads every frame; the slow one takes 8 KB a second.
    const auto start = std::chrono::steady_clock::now();
    double closedMs = -1;
    size_t got = 0;
    size_t sentAfter = 0;
    castFor(host, 20000, [&](size_t sent) {
        for (RtString text = honest.receiveText(103); !text.isEmpty(); text = honest.receiveText(103)) {
            EXPECT_EQ(std::string(text.c_str()), nettest::numberedText(got, 750));
            ++got;
        }
        if (closedMs < 0 && host.popLeftPlayer() == id) {
            closedMs = nettest::millisSince(start);
            sentAfter = sent + 60;  // and a second more
        }
        return closedMs < 0 || sent < sentAfter;
    });
    testing::Test::RecordProperty("closedMs", std::to_string(closedMs));
    EXPECT_GT(closedMs, 2000);
    EXPECT_LT(closedMs, 2000 + 5000);
    EXPECT_TRUE(reader.closedByPeer() || slow.closedWithin(1000));
    const std::string log = testsupport::readFileBytes(logFolder.file("ErrorLog.txt"));
    const size_t line = log.find("Session: closed the connection of 127.0.0.1:" + std::to_string(slowPort) + ": it fell ");
    ASSERT_NE(line, std::string::npos) << log;
    EXPECT_EQ(log.find(" s behind\n", line), log.find('\n', line) - 9) << log;
    // The honest member has every text, in order.
    EXPECT_TRUE(waitUntil([&] {
        for (RtString text = honest.receiveText(103); !text.isEmpty(); text = honest.receiveText(103)) {
            EXPECT_EQ(std::string(text.c_str()), nettest::numberedText(got, 750));
            ++got;
        }
        return got == sentAfter;
    })) << got << " of " << sentAfter;
    EXPECT_TRUE(honest.isRunning());
}
