// Links that fall silent without a word (no FIN, no reset: every segment
// dropped both ways, as when a network goes away): the host removes the
// members it no longer hears, and a member whose host is gone sees its
// session end, both within the silence limit and whatever the traffic.
// The limit is held short here; the figures go to the test's record.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>

#include "file_bytes.h"
#include "net/net_session.h"
#include "net/socket_table.h"
#include "net_test_support.h"
#include "temp_dir.h"

using nettest::HostedSession;
using nettest::millisSince;
using nettest::numberedText;

namespace {

constexpr uint32_t kShortSilenceMs = 2500;

struct Noticed {
    double hostMs = -1;    // the member's player popped as left
    double memberMs = -1;  // the member's session over
};

// A host with player 101 and a member with player 103 go silent to each
// other while the host's program sends a text every 0.5 s (the member says
// nothing: its side sees only the system's probes go unanswered), or while
// both send 140 KB a second. The times from the silence to each side's end.
Noticed fallSilent(bool heavy, uint16_t* hostPort, uint16_t* memberPort, std::string* skipped) {
    Noticed noticed;
    HostedSession hosted;
    NetSession& host = hosted.host;
    host.silenceLimitMs = kShortSilenceMs;
    NetSession member;
    member.silenceLimitMs = kShortSilenceMs;
    EXPECT_EQ(host.addPlayer("host"), 101);
    EXPECT_EQ(member.join("127.0.0.1", hosted.port), 1);
    EXPECT_EQ(member.addPlayer("member"), 103);
    *hostPort = hosted.port;
    *memberPort = hostOrderPort(getSocketLocalAddress(member.connectionSlot.load()));
    nettest::SilencedPort silence(*memberPort);
    if (!silence.active()) {
        *skipped = silence.whyNot();
        return noticed;
    }
    const auto start = std::chrono::steady_clock::now();
    nettest::runFrames(20000, [&](size_t frame) {
        if (heavy) {
            for (int k = 0; k < 3; ++k) {
                host.sendText(101, 103, RtString(numberedText(frame, 750).c_str()));
                member.sendText(103, 101, RtString(numberedText(frame, 750).c_str()));
            }
        } else if (frame % 30 == 0) {
            host.sendText(101, 103, RtString("still there?"));
        }
        if (noticed.hostMs < 0 && host.popLeftPlayer() == 103) noticed.hostMs = millisSince(start);
        if (noticed.memberMs < 0 && !member.isRunning()) noticed.memberMs = millisSince(start);
        return noticed.hostMs < 0 || noticed.memberMs < 0;
    });
    EXPECT_TRUE(host.isRunning());
    // Once over, the member's commands say why at once.
    int32_t count = -1;
    EXPECT_LT(nettest::millisTaken([&] { count = member.playerCount(); }), 500);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(lastSocketError(), 10060);
    EXPECT_EQ(member.sendText(103, 101, RtString("anyone?")), 0);
    return noticed;
}

}  // namespace

TEST(SessionSilence, APeerThatFallsSilentIsNoticedOnBothSidesWhateverTheTraffic) {
    testsupport::TempDir logFolder;
    testsupport::ScopedEnv logHere("TMPDIR", logFolder.path().c_str());
    uint16_t ports[4] = {};
    std::string skipped;
    const Noticed light = fallSilent(false, &ports[0], &ports[1], &skipped);
    if (!skipped.empty()) GTEST_SKIP() << skipped;
    const Noticed heavy = fallSilent(true, &ports[2], &ports[3], &skipped);
    for (const auto& [what, figure] : {std::pair<const char*, double>{"lightHostMs", light.hostMs},
                                       {"lightMemberMs", light.memberMs},
                                       {"heavyHostMs", heavy.hostMs},
                                       {"heavyMemberMs", heavy.memberMs}}) {
        testing::Test::RecordProperty(what, std::to_string(figure));
        EXPECT_GT(figure, 0) << what;
        EXPECT_LT(figure, 15000) << what;  // the limit is 2.5 s
    }
    // Each side names the other and why.
    const std::string log = testsupport::readFileBytes(logFolder.file("ErrorLog.txt"));
    for (int k = 0; k < 2; ++k) {
        const std::string member = "127.0.0.1:" + std::to_string(ports[2 * k + 1]);
        const std::string host = "127.0.0.1:" + std::to_string(ports[2 * k]);
        EXPECT_NE(log.find("Session: closed the connection of " + member + ": it fell silent (10060"), std::string::npos)
            << log;
        EXPECT_NE(log.find("Session: the connection to the host " + host + " failed: it fell silent (10060"),
                  std::string::npos)
            << log;
    }
}
