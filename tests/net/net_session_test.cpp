// Sessions: a host and its members in one process (each with its own
// session thread), and a member in a child process that leaves through the
// engine shutdown.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "net/net_session.h"
#include "net/socket_commands.h"
#include "net/socket_table.h"
#include "net_test_support.h"
#include "runtime/engine/engine_state.h"

using nettest::HostedSession;
using nettest::hostRecordCount;
using nettest::leftCount;
using nettest::waitUntil;

namespace {

bool hasLocalPlayerNamed(NetSession& session, const char* name) {
    session.lock();
    bool found = false;
    for (const NetPlayer& player : session.localPlayers) found = found || std::string(player.name) == name;
    session.unlock();
    return found;
}

std::string receiveWhenThere(NetSession& session, int32_t id) {
    std::string text;
    waitUntil([&] {
        text = session.receiveText(id).c_str();
        return !text.empty();
    });
    return text;
}

}  // namespace

TEST(NetSession, AHostServesItsOwnPlayersAndQueries) {
    HostedSession hosted;
    NetSession& host = hosted.host;
    ASSERT_NE(hosted.port, 0);
    EXPECT_TRUE(host.isRunning());
    EXPECT_EQ(host.addPlayer("alice"), 101);
    EXPECT_EQ(host.playerCount(), 1);  // made the query-only record 102 first
    EXPECT_EQ(host.ownPlayerId, 102);
    EXPECT_EQ(host.playerIdAt(0), 101);
    EXPECT_EQ(host.playerIdAt(1), 0);  // as many as there are named players
    EXPECT_STREQ(host.playerName(101).c_str(), "alice");
    EXPECT_STREQ(host.playerName(102).c_str(), "query");
    EXPECT_STREQ(host.playerName(4000).c_str(), "NO_DATA");
    EXPECT_EQ(host.addPlayer(""), 103);
    EXPECT_STREQ(host.playerName(103).c_str(), "NO_DATA");
    EXPECT_EQ(host.playerCount(), 2);
    EXPECT_EQ(host.playerIdAt(1), 103);
}

TEST(NetSession, AFreshHostCountsNoPlayers) {
    HostedSession hosted;
    ASSERT_NE(hosted.port, 0);
    EXPECT_EQ(hosted.host.playerCount(), 0);
    ASSERT_EQ(hosted.host.localPlayers.size(), 1u);
    EXPECT_EQ(hosted.host.localPlayers.front().id, 101);
    EXPECT_EQ(hosted.host.localPlayers.front().queryOnly, 1);
    EXPECT_EQ(hosted.host.addPlayer("named"), 102);
    EXPECT_EQ(hosted.host.playerCount(), 1);
}

TEST(NetSession, TextsReachTheirPlayersThroughTheHost) {
    HostedSession hosted;
    NetSession& host = hosted.host;
    ASSERT_NE(hosted.port, 0);
    ASSERT_EQ(host.addPlayer("alice"), 101);
    NetSession member;
    ASSERT_EQ(member.join("127.0.0.1", hosted.port), 1);  // its query-only record is 102
    EXPECT_EQ(member.ownPlayerId, 102);
    ASSERT_EQ(member.addPlayer("bob"), 103);
    ASSERT_EQ(member.addPlayer("carol"), 104);
    EXPECT_EQ(member.playerCount(), 3);
    EXPECT_STREQ(member.playerName(101).c_str(), "alice");

    // To everyone: every named player but the sender, each copy addressed
    // to its own player.
    EXPECT_EQ(host.sendText(101, 0, RtString("hi all")), 1);
    EXPECT_EQ(receiveWhenThere(member, 103), "hi all");
    EXPECT_EQ(member.lastSenderId, 101);
    EXPECT_EQ(receiveWhenThere(member, 104), "hi all");
    EXPECT_EQ(member.receiveText(102).length, 0u);  // query-only records get none
    EXPECT_EQ(host.receiveText(101).length, 0u);

    // To one player, across and within the member.
    EXPECT_EQ(member.sendText(103, 101, RtString("to alice")), 1);
    EXPECT_EQ(receiveWhenThere(host, 101), "to alice");
    EXPECT_EQ(host.lastSenderId, 103);
    EXPECT_EQ(member.sendText(104, 103, RtString("to bob")), 1);
    EXPECT_EQ(receiveWhenThere(member, 103), "to bob");
    EXPECT_EQ(member.lastSenderId, 104);

    // Nothing waiting: an empty text, the sender id kept.
    EXPECT_EQ(member.receiveText(103).length, 0u);
    EXPECT_EQ(member.lastSenderId, 104);
    // A text to an unknown id is dropped; texts past the format are refused.
    EXPECT_EQ(member.sendText(103, 9999, RtString("lost")), 1);
    EXPECT_EQ(member.sendText(103, 101, RtString(std::string(1025, 'x').c_str())), 0);
    EXPECT_EQ(member.sendText(103, 101, RtString(std::string(1024, 'y').c_str())), 1);
    EXPECT_EQ(receiveWhenThere(host, 101), std::string(1024, 'y'));
}

TEST(NetSession, DeparturesAreRecordedNewestFirst) {
    HostedSession hosted;
    NetSession& host = hosted.host;
    ASSERT_NE(hosted.port, 0);
    ASSERT_EQ(host.addPlayer("alice"), 101);
    {
        NetSession member;
        ASSERT_EQ(member.join("127.0.0.1", hosted.port), 1);
        ASSERT_EQ(member.addPlayer("bob"), 103);
        EXPECT_EQ(member.popLeftPlayer(), 0);  // only a host keeps departures
        member.reset();  // the connection drops without a goodbye
    }
    // Every record of the connection leaves with it, in table order.
    ASSERT_TRUE(waitUntil([&] { return leftCount(host) == 2; }));
    EXPECT_EQ(host.playerCount(), 1);
    host.sendControl(101);
    ASSERT_TRUE(waitUntil([&] { return leftCount(host) == 3; }));
    EXPECT_EQ(host.playerCount(), 0);
    EXPECT_EQ(host.popLeftPlayer(), 101);
    EXPECT_EQ(host.popLeftPlayer(), 103);
    EXPECT_EQ(host.popLeftPlayer(), 102);
    EXPECT_EQ(host.popLeftPlayer(), 0);
    // Controls for ids that are no player ids send nothing.
    host.sendControl(0);
    host.sendControl(65535);
    EXPECT_EQ(host.addPlayer("again"), 105);  // 104 is the host's query-only record
    EXPECT_EQ(host.playerCount(), 1);
}

TEST(NetSession, AClosedHostTakesNoPlayers) {
    HostedSession hosted;
    NetSession& host = hosted.host;
    ASSERT_NE(hosted.port, 0);
    host.setAcceptPlayers(false);
    host.answerPolls = 10;
    EXPECT_EQ(host.addPlayer("late"), 0);
    EXPECT_FALSE(hasLocalPlayerNamed(host, "late"));
    NetSession member;
    member.answerPolls = 10;
    EXPECT_EQ(member.join("127.0.0.1", hosted.port), 0);
    EXPECT_FALSE(member.isRunning());
    host.setAcceptPlayers(true);
    host.answerPolls = kAnswerPolls;
    // (A request the member sent before leaving may be registered first.)
    EXPECT_GE(host.addPlayer("now"), 101);
}

TEST(NetSession, NoIdPastTheValidRangeIsHandedOut) {
    HostedSession hosted;
    NetSession& host = hosted.host;
    ASSERT_NE(hosted.port, 0);
    host.lock();
    host.nextPlayerId = kLastValidPlayerId;
    host.unlock();
    EXPECT_EQ(host.addPlayer("last"), kLastValidPlayerId);
    // 65,280 would be no player id: the ids start again from 101.
    EXPECT_EQ(host.addPlayer("beyond"), kFirstAssignedPlayerId);
    EXPECT_TRUE(hasLocalPlayerNamed(host, "beyond"));
}

TEST(NetSession, AFreedPlaceTakesTheLastConnection) {
    HostedSession hosted;
    ASSERT_NE(hosted.port, 0);
    std::vector<std::unique_ptr<NetSession>> members;
    for (int i = 0; i < 3; ++i) {
        members.push_back(std::make_unique<NetSession>());
        ASSERT_EQ(members.back()->join("127.0.0.1", hosted.port), 1);
    }
    // Query-only ids 101 to 103 in the order of joining.
    members[0]->reset();
    ASSERT_TRUE(waitUntil([&] { return leftCount(hosted.host) == 1; }));
    EXPECT_EQ(hosted.host.popLeftPlayer(), 101);
    // Both remaining members are still served, the moved one included.
    const int32_t moved = members[2]->addPlayer("third");
    const int32_t stayed = members[1]->addPlayer("second");
    EXPECT_EQ(moved, 104);
    EXPECT_EQ(stayed, 105);
    EXPECT_EQ(members[1]->sendText(stayed, moved, RtString("over")), 1);
    EXPECT_EQ(receiveWhenThere(*members[2], moved), "over");
    EXPECT_EQ(members[2]->sendText(moved, stayed, RtString("back")), 1);
    EXPECT_EQ(receiveWhenThere(*members[1], stayed), "back");
}

TEST(NetSession, JoiningWhereNothingListensFailsWithoutAThread) {
    ASSERT_EQ(SocketInit(), 1);
    uint16_t port = 0;
    const int holder = nettest::refusingPort(&port);
    NetSession member;
    EXPECT_EQ(member.join("127.0.0.1", port), 0);
    EXPECT_FALSE(member.isRunning());
    EXPECT_EQ(lastSocketError(), 10061);
    member.reset();
    member.reset();
    EXPECT_EQ(socketReferenceCount(), 1);  // the program's own reference is left alone
    close(holder);
}

TEST(NetSession, EndsOfASessionDropItsReferenceOnce) {
    ASSERT_EQ(SocketInit(), 1);
    const int32_t own = SocketOpenUdp(0);
    ASSERT_GE(own, 0);
    {
        HostedSession hosted;
        ASSERT_NE(hosted.port, 0);
        NetSession member;
        ASSERT_EQ(member.join("127.0.0.1", hosted.port), 1);
        EXPECT_EQ(socketReferenceCount(), 3);
        hosted.host.reset();
        // The member's thread sees its host gone and ends the session itself.
        ASSERT_TRUE(waitUntil([&] { return !member.isRunning(); }));
        EXPECT_EQ(member.connectionSlot.load(), -1);
        member.reset();
        EXPECT_EQ(socketReferenceCount(), 1);
    }
    EXPECT_TRUE(isSocketSlotInUse(own));
}

TEST(NetSession, StoppingRightAfterStartingNeverHangs) {
    for (int i = 0; i < 20; ++i) {
        NetSession session;
        ASSERT_EQ(session.host(0, "127.0.0.1"), 1);
        session.reset();
        EXPECT_FALSE(session.isRunning());
    }
    EXPECT_EQ(socketReferenceCount(), 0);
    EXPECT_EQ(usedSocketSlotCount(), 0);
}

TEST(NetSession, AMemberLeavingThroughTheEngineShutdownTakesAllItsPlayers) {
    // The child joins before this process starts any thread: it waits for
    // the port on a pipe, joins, adds two players and shuts its engine down.
    int portPipe[2];
    int donePipe[2];
    ASSERT_EQ(pipe(portPipe), 0);
    ASSERT_EQ(pipe(donePipe), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        uint16_t port = 0;
        int status = 1;
        if (read(portPipe[0], &port, sizeof port) == sizeof port) {
            NetSession* session = createNetSession();
            if (session->join("127.0.0.1", port) == 1 && session->addPlayer("p1") != 0 &&
                session->addPlayer("p2") != 0) {
                status = 0;
            }
            const char ready = 'r';
            (void)!write(donePipe[1], &ready, 1);
            char go;
            (void)!read(portPipe[0], &go, 1);
            releaseNetSession();
            status = engine.network == nullptr && usedSocketSlotCount() == 0 ? status : 2;
        }
        _exit(status);
    }
    close(portPipe[0]);
    close(donePipe[1]);

    HostedSession hosted;
    ASSERT_NE(hosted.port, 0);
    ASSERT_EQ(write(portPipe[1], &hosted.port, sizeof hosted.port), static_cast<ssize_t>(sizeof hosted.port));
    char ready = 0;
    ASSERT_EQ(read(donePipe[0], &ready, 1), 1);
    EXPECT_EQ(hostRecordCount(hosted.host), 3u);  // the child's query-only record and two players
    EXPECT_EQ(hosted.host.playerCount(), 2);
    const char go = 'g';
    ASSERT_EQ(write(portPipe[1], &go, 1), 1);
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    // Every player of the child left: three departures, the host's own
    // query-only record alone remains.
    ASSERT_TRUE(waitUntil([&] { return leftCount(hosted.host) == 3; }));
    EXPECT_EQ(hosted.host.playerCount(), 0);
    EXPECT_EQ(hostRecordCount(hosted.host), 1u);
    close(portPipe[1]);
    close(donePipe[0]);
}
