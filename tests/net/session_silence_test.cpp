// Links that fall silent without a word (no FIN, no reset: every segment
// dropped both ways, as when a network goes away): the host removes the
// members it no longer hears, and a member whose host is gone sees its
// session end, both within the silence limit and whatever the traffic;
// outages of one direction, and stopped programs, end nothing before their
// time; a link that ends with a reset, or a close behind a lost
// direction, is let go at once or by what its peer acknowledges; and a
// member that closed its side after an idle spell still gets what waits.
// The limit is held short here; the figures go to the test's record.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <ctime>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <sys/socket.h>
#include <unistd.h>

#include "child_process.h"
#include "file_bytes.h"
#include "net/net_session.h"
#include "net/socket_table.h"
#include "net_test_support.h"
#include "temp_dir.h"

using nettest::HostedSession;
using nettest::SilencedPort;
using nettest::millisSince;
using nettest::numberedText;

namespace {

constexpr uint32_t kShortSilenceMs = 2500;

// A host with player 101 and a member with player 103, both with the short
// limit (or the host with a limit of its own).
struct ShortLimitPair {
    HostedSession hosted;
    NetSession& host = hosted.host;
    NetSession member;

    explicit ShortLimitPair(uint32_t silenceMs = kShortSilenceMs, uint32_t hostSilenceMs = 0) {
        host.silenceLimitMs = hostSilenceMs != 0 ? hostSilenceMs : silenceMs;
        member.silenceLimitMs = silenceMs;
        EXPECT_EQ(host.addPlayer("host"), 101);
        EXPECT_EQ(member.join("127.0.0.1", hosted.port), 1);
        EXPECT_EQ(member.addPlayer("member"), 103);
    }
    uint16_t memberPort() const { return hostOrderPort(getSocketLocalAddress(member.connectionSlot.load())); }
};

// A member with player 103 in a child process, forked before this process
// has a thread of its own, with the short limit: it joins the host whose
// port it is handed, then runs `then`.
class ChildMember {
public:
    explicit ChildMember(const std::function<void(NetSession&)>& then) {
        EXPECT_EQ(0, pipe(portPipe_));
        child = testsupport::startChild([&] {
            uint16_t port = 0;
            NetSession member;
            member.silenceLimitMs = kShortSilenceMs;
            if (::read(portPipe_[0], &port, sizeof port) == sizeof port && member.join("127.0.0.1", port) == 1 &&
                member.addPlayer("child") == 103)
                then(member);
        });
    }
    ~ChildMember() {
        ::close(portPipe_[0]);
        ::close(portPipe_[1]);
    }
    // Hands it the port of the host (player 101) and waits for its player:
    // the port of its connection there, 0 when it did not come.
    uint16_t joinAt(HostedSession& hosted) {
        if (::write(portPipe_[1], &hosted.port, sizeof hosted.port) != sizeof hosted.port ||
            !nettest::waitUntil([&] { return nettest::hostRecordCount(hosted.host) == 3; }))
            return 0;
        hosted.host.lock();
        const uint16_t port = hostOrderPort(getSocketPeer(hosted.host.hostPlayers.back().socketSlot));
        hosted.host.unlock();
        return port;
    }
    testsupport::StartedChild child;

private:
    int portPipe_[2] = {-1, -1};
};

// The host's program sends its member player 103 a text every frame until
// it leaves or the time runs out: the milliseconds until it left, -1 when
// it did not.
double sendUntilLetGo(NetSession& host, int durationMs) {
    const auto start = std::chrono::steady_clock::now();
    double letGoMs = -1;
    nettest::runFrames(durationMs, [&](size_t frame) {
        host.sendText(101, 103, RtString(numberedText(frame, 300).c_str()));
        while (!host.receiveText(101).isEmpty()) {
        }
        while (const int32_t left = host.popLeftPlayer()) {
            if (left == 103) letGoMs = millisSince(start);
        }
        return letGoMs < 0;
    });
    return letGoMs;
}

double processCpuMs() {
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

struct Noticed {
    double hostMs = -1;    // the member's player popped as left
    double memberMs = -1;  // the member's session over
};

// How the two sides talk while the link is silent.
enum class Traffic {
    Light,   // the host's program sends a text every 0.5 s; the member says nothing
    Heavy,   // both send 140 KB a second
    Sparse,  // only the member, once, 2.3 s in: the silence still counts
             // from its start, not from that send
};

// A host with player 101 and a member with player 103 go silent to each
// other while they talk as `traffic` says. The times from the silence to
// each side's end.
Noticed fallSilent(Traffic traffic, uint16_t* hostPort, uint16_t* memberPort, std::string* skipped) {
    Noticed noticed;
    ShortLimitPair pair;
    NetSession& host = pair.host;
    NetSession& member = pair.member;
    *hostPort = pair.hosted.port;
    *memberPort = pair.memberPort();
    nettest::SilencedPort silence(*memberPort);
    if (!silence.active()) {
        *skipped = silence.whyNot();
        return noticed;
    }
    const auto start = std::chrono::steady_clock::now();
    bool spoke = false;
    nettest::runFrames(20000, [&](size_t frame) {
        if (traffic == Traffic::Heavy) {
            for (int k = 0; k < 3; ++k) {
                host.sendText(101, 103, RtString(numberedText(frame, 750).c_str()));
                member.sendText(103, 101, RtString(numberedText(frame, 750).c_str()));
            }
        } else if (traffic == Traffic::Light && frame % 30 == 0) {
            host.sendText(101, 103, RtString("still there?"));
        } else if (traffic == Traffic::Sparse && !spoke && millisSince(start) >= 2300) {
            spoke = member.sendText(103, 101, RtString("hello?")) == 1;
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
    const std::pair<const char*, Traffic> cases[] = {
        {"light", Traffic::Light}, {"heavy", Traffic::Heavy}, {"sparse", Traffic::Sparse}};
    std::vector<std::pair<uint16_t, uint16_t>> ports;  // host, member
    for (const auto& [name, traffic] : cases) {
        uint16_t hostPort = 0, memberPort = 0;
        std::string skipped;
        const Noticed noticed = fallSilent(traffic, &hostPort, &memberPort, &skipped);
        if (!skipped.empty()) GTEST_SKIP() << skipped;
        ports.emplace_back(hostPort, memberPort);
        for (const auto& [side, figure] : {std::pair<std::string, double>{"HostMs", noticed.hostMs},
                                           {"MemberMs", noticed.memberMs}}) {
            testing::Test::RecordProperty(name + side, std::to_string(figure));
            EXPECT_GT(figure, 0) << name << side;
            // The limit is 2.5 s, noticed within 0.1 s of it; a sparse send
            // must not put it off.
            EXPECT_LT(figure, traffic == Traffic::Sparse ? 4000 : 15000) << name << side;
        }
    }
    // Each side names the other and why.
    const std::string log = testsupport::readFileBytes(logFolder.file("ErrorLog.txt"));
    for (const auto& [hostPort, memberPort] : ports) {
        const std::string member = "127.0.0.1:" + std::to_string(memberPort);
        const std::string host = "127.0.0.1:" + std::to_string(hostPort);
        EXPECT_NE(log.find("Session: closed the connection of " + member + ": it fell silent (10060"), std::string::npos)
            << log;
        EXPECT_NE(log.find("Session: the connection to the host " + host + " failed: it fell silent (10060"),
                  std::string::npos)
            << log;
    }
}

namespace {

// Both programs of the pair send numbered texts of `length` bytes every
// `every` frames for `durationMs`, while the member's port is silenced
// `where` whenever `out` (the milliseconds since the start) says. Nothing
// may end, and every text must arrive once and in order. Why the outage
// could not be made, or "".
std::string talkThroughOutages(ShortLimitPair& pair, SilencedPort::Where where, int durationMs, size_t every,
                               size_t length, const std::function<bool(int)>& out) {
    std::unique_ptr<SilencedPort> outage;
    std::string skipped;
    size_t sent = 0, toHost = 0, toMember = 0;
    const auto take = [&](NetSession& session, uint16_t id, size_t& got) {
        for (RtString text = session.receiveText(id); !text.isEmpty(); text = session.receiveText(id)) {
            EXPECT_EQ(std::string(text.c_str()), numberedText(got++, length));
        }
    };
    const auto start = std::chrono::steady_clock::now();
    nettest::runFrames(durationMs, [&](size_t frame) {
        if (out(static_cast<int>(millisSince(start))) && !outage) {
            outage = std::make_unique<SilencedPort>(pair.memberPort(), where);
            if (!outage->active()) skipped = outage->whyNot();
        } else if (!out(static_cast<int>(millisSince(start)))) {
            outage.reset();
        }
        if (frame % every == 0) {
            const RtString text(numberedText(sent++, length).c_str());
            EXPECT_EQ(pair.host.sendText(101, 103, text), 1);
            EXPECT_EQ(pair.member.sendText(103, 101, text), 1);
        }
        take(pair.host, 101, toHost);
        take(pair.member, 103, toMember);
        return skipped.empty() && pair.member.isRunning() && pair.host.popLeftPlayer() == 0;
    });
    outage.reset();
    if (!skipped.empty()) return skipped;
    EXPECT_TRUE(nettest::waitUntil([&] {
        take(pair.host, 101, toHost);
        take(pair.member, 103, toMember);
        return toHost == sent && toMember == sent;
    })) << toHost << " and " << toMember << " of " << sent;
    EXPECT_TRUE(pair.member.isRunning());
    EXPECT_EQ(nettest::leftCount(pair.host), 0u);
    return "";
}

}  // namespace

// The machine's own sends fail for a moment, as when its link or route goes
// away (a laptop that roams, a cable replugged): every segment of the
// member's connection is dropped as it leaves, for 0.7 s, three times,
// each outage further from the last than the silence limit, while both
// programs talk. Nothing ends, and every text arrives once and in order.
// Before, the system's own limit counted the second outage from the first
// and ended the session a moment into it.
TEST(SessionSilence, MomentsWithoutTheMachinesOwnLinkEndNothing) {
    ShortLimitPair pair;
    ASSERT_FALSE(testing::Test::HasFailure());
    // 0.7 s from 1, 4.5 and 8 s: short of the 1.4 s by which the system's
    // retries find a link that is back, with room for a slow nft.
    const std::string skipped = talkThroughOutages(pair, SilencedPort::Where::AsItLeaves, 10000, 6, 100, [](int at) {
        return at < 10000 && at % 3500 >= 1000 && at % 3500 < 1700;
    });
    if (!skipped.empty()) GTEST_SKIP() << skipped;
}

// What the host sends stops reaching a member for 7 s, far longer than
// the lag limit and shorter than the silence limit, while what the member
// sends still arrives, and both programs send 20 texts a second: lost on
// the way (a route congested or gone in one direction), or failed as it
// leaves the host (its own firewall or shaper). Nothing sent to the member
// is taken: it is not behind, and nothing ends; every text arrives once and
// in order. Before, the host counted the member's lag while it heard it
// (its own texts, sent again by its system), and let it go once the
// system's buffer was full and texts waited at the host (about 5 s in);
// and while its own sends failed, with nothing in flight, it took the
// member for a stopped program.
TEST(SessionSilence, ALossOfTheDirectionToAMemberAloneEndsNothing) {
    for (const auto where : {SilencedPort::Where::OnTheWayToIt, SilencedPort::Where::AsItLeavesForIt}) {
        ShortLimitPair pair(10000);
        ASSERT_FALSE(testing::Test::HasFailure());
        pair.host.lagLimitMs = 1000;
        const std::string skipped =
            talkThroughOutages(pair, where, 10000, 3, 100, [](int at) { return at >= 1000 && at < 8000; });
        if (!skipped.empty()) GTEST_SKIP() << skipped;
    }
}

// A member's program stops (hung, suspended, held in a debugger) while the
// host's program sends it a 300-byte text every frame: its system still
// answers for it, so it is never silent, but once its fixed receive buffer
// is full it falls behind and is let go, and the log says why. The member
// beside it gets every text with no gap over half a second; the stopped
// one goes on only well after its own silence limit (nothing came to it
// since its window closed), learns within 3 s that the host closed its
// session, says so in the log (not that the host fell silent), and its
// queries then answer at once with that cause. Before, its system grew
// the buffer for every text and nothing ever waited at the host: it was
// kept; and once let go, the host's close waited behind the texts for the
// window the stopped program kept closed, so the member took the host for
// silent.
TEST(SessionSilence, AMemberWhoseProgramStopsIsLetGo) {
    testsupport::TempDir logFolder;
    testsupport::ScopedEnv logHere("TMPDIR", logFolder.path().c_str());
    // It reads every frame; a frame over a second late is the first after the stop.
    ChildMember stopping([](NetSession& member) {
        auto last = std::chrono::steady_clock::now(), resumed = last;
        nettest::runFrames(60000, [&](size_t) {
            while (!member.receiveText(103).isEmpty()) {
            }
            if (millisSince(last) > 1000) resumed = std::chrono::steady_clock::now();
            last = std::chrono::steady_clock::now();
            return member.isRunning();
        });
        const double endedMs = millisSince(resumed);
        const double queryMs = nettest::millisTaken([&] { member.playerCount(); });
        std::printf("%.0f %.0f %d", endedMs, queryMs, lastSocketError());
    });
    HostedSession hosted;
    hosted.host.lagLimitMs = 2000;
    ASSERT_EQ(hosted.host.addPlayer("host"), 101);
    const uint16_t stoppedPort = stopping.joinAt(hosted);
    ASSERT_NE(stoppedPort, 0);
    NetSession beside;
    ASSERT_EQ(beside.join("127.0.0.1", hosted.port), 1);
    ASSERT_EQ(beside.addPlayer("beside"), 105);
    ASSERT_EQ(0, kill(stopping.child.pid, SIGSTOP));

    const auto start = std::chrono::steady_clock::now();
    size_t sent = 0, got = 0;
    double letGoMs = -1, longestGapMs = 0;
    auto lastArrival = start;
    nettest::runFrames(30000, [&](size_t frame) {
        const RtString text(numberedText(frame, 300).c_str());
        hosted.host.sendText(101, 103, text);
        sent += hosted.host.sendText(101, 105, text);
        for (; !beside.receiveText(105).isEmpty(); ++got, lastArrival = std::chrono::steady_clock::now()) {
            longestGapMs = std::max(longestGapMs, millisSince(lastArrival));
        }
        while (const int32_t left = hosted.host.popLeftPlayer()) {
            if (left == 103) letGoMs = millisSince(start);
        }
        return letGoMs < 0;
    });
    // The host's reset has closed the stopped program's connection: a close
    // in order would wait behind the texts its window keeps out.
    EXPECT_EQ(-1, nettest::tcpStateOf(stoppedPort, hosted.port));
    kill(stopping.child.pid, SIGCONT);
    EXPECT_GT(letGoMs, 0);
    EXPECT_LT(letGoMs, 20000);
    EXPECT_TRUE(nettest::waitUntil([&] { return got += !beside.receiveText(105).isEmpty(), got == sent; }));
    EXPECT_LT(longestGapMs, 500);
    double endedMs = -1, queryMs = -1;
    int lastError = 0;
    const std::string said = testsupport::finishChild(stopping.child).out;
    EXPECT_EQ(3, std::sscanf(said.c_str(), "%lf %lf %d", &endedMs, &queryMs, &lastError)) << said;
    EXPECT_LT(endedMs, 3000);
    EXPECT_LT(queryMs, 500);
    EXPECT_EQ(10054, lastError);
    for (const auto& [name, figure] : {std::pair<std::string, double>{"letGoMs", letGoMs}, {"endedMs", endedMs},
                                       {"queryMs", queryMs}, {"longestGapMs", longestGapMs}}) {
        testing::Test::RecordProperty(name, std::to_string(figure));
    }
    const std::string log = testsupport::readFileBytes(logFolder.file("ErrorLog.txt"));
    EXPECT_NE(log.find(" s behind"), std::string::npos) << log;
    const std::string host = "127.0.0.1:" + std::to_string(hosted.port);
    EXPECT_NE(log.find("Session: the connection to the host " + host + " ended: the host closed or reset it (10054"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("fell silent"), std::string::npos) << log;
}

// A member's program freezes while its host sends it a text every frame,
// and is then killed: its system resets the connection at once. The host
// lets it go as soon as the reset comes, names it and the cause, and then
// rests while its program goes on sending. Before, the host took the reset
// for the member's orderly close and waited for ever to deliver what was
// queued for it, its thread turning a full core on the socket.
TEST(SessionSilence, AMemberWhoseConnectionIsResetIsLetGoAndTheHostRests) {
    testsupport::TempDir logFolder;
    testsupport::ScopedEnv logHere("TMPDIR", logFolder.path().c_str());
    ChildMember frozen([](NetSession&) { sleep(30); });  // until it is killed
    HostedSession hosted;
    ASSERT_EQ(hosted.host.addPlayer("host"), 101);
    const uint16_t frozenPort = frozen.joinAt(hosted);
    ASSERT_NE(frozenPort, 0);
    ASSERT_EQ(0, kill(frozen.child.pid, SIGSTOP));
    // Frozen until texts wait for it at the host: its system takes no more.
    const int32_t slot = nettest::acceptedSlotFor(hosted.host, frozenPort);
    EXPECT_TRUE(nettest::waitUntil([&] {
        hosted.host.sendText(101, 103, RtString(numberedText(0, 1000).c_str()));
        return unsentOnSocket(slot) > 0;
    }));
    kill(frozen.child.pid, SIGKILL);
    testsupport::finishChild(frozen.child);
    const double letGoMs = sendUntilLetGo(hosted.host, 5000);
    EXPECT_GT(letGoMs, 0);
    const double cpuBefore = processCpuMs();
    sendUntilLetGo(hosted.host, 2000);
    const double cpuMs = processCpuMs() - cpuBefore;
    EXPECT_LT(cpuMs, 500);
    testing::Test::RecordProperty("cpuMsIn2s", std::to_string(cpuMs));
    const std::string log = testsupport::readFileBytes(logFolder.file("ErrorLog.txt"));
    EXPECT_NE(log.find("Session: closed the connection of 127.0.0.1:" + std::to_string(frozenPort) + ": 10054"),
              std::string::npos)
        << log;
}

// A member that shut its sending side while it read nothing, so that texts
// wait for it behind its closed window, and is then reset (its program
// killed, say): the host lets it go in the pass the reset comes, with the
// system's cause, and rests meanwhile. Before, its thread polled the
// hung-up socket without a pause until its next look, up to 0.1 s each time.
TEST(SessionSilence, AFinishedMemberThatIsResetIsLetGoAndTheHostRests) {
    testsupport::TempDir logFolder;
    testsupport::ScopedEnv logHere("TMPDIR", logFolder.path().c_str());
    HostedSession hosted;
    ASSERT_EQ(hosted.host.addPlayer("host"), 101);
    double cpuMs = 0;
    for (int round = 0; round < 3; ++round) {
        auto deaf = std::make_unique<nettest::RawPeer>(hosted.port, 4096);
        const uint16_t id = deaf->registerPlayer("deaf");
        const uint16_t port = hostOrderPort(getSocketPeer(deaf->acceptedSlot(hosted.host)));
        for (size_t i = 0; i < 100; ++i) hosted.host.sendText(101, id, RtString(numberedText(i, 1000).c_str()));
        ASSERT_EQ(shutdown(deaf->fd(), SHUT_WR), 0);
        usleep(200 * 1000);  // its FIN taken
        const linger abort{1, 0};
        ASSERT_EQ(setsockopt(deaf->fd(), SOL_SOCKET, SO_LINGER, &abort, sizeof abort), 0);
        cpuMs -= processCpuMs();
        deaf.reset();
        usleep(150 * 1000);
        cpuMs += processCpuMs();
        EXPECT_TRUE(nettest::waitUntil([&] { return hosted.host.popLeftPlayer() == id; }));
        const std::string log = testsupport::readFileBytes(logFolder.file("ErrorLog.txt"));
        EXPECT_NE(log.find("Session: closed the connection of 127.0.0.1:" + std::to_string(port) + ": 10054"),
                  std::string::npos)
            << log;
    }
    EXPECT_LT(cpuMs, 30);
    testing::Test::RecordProperty("cpuMsOver3Resets", std::to_string(cpuMs));
}

// What the host sends stops reaching its member for good, while what the
// member sends still arrives: the member hears nothing, ends by its
// silence limit and closes, and its close reaches the host. The member is
// owed only what it takes: it has acknowledged nothing for the host's limit
// while texts wait for it, and it is let go as silent. Before, the host
// kept it while its system retried the texts (30 s here, up to 15 minutes
// on older kernels).
TEST(SessionSilence, AMemberThatClosedBehindALostDirectionIsLetGo) {
    ShortLimitPair pair(kShortSilenceMs, 5000);
    ASSERT_FALSE(testing::Test::HasFailure());
    SilencedPort lost(pair.memberPort(), SilencedPort::Where::OnTheWayToIt);
    if (!lost.active()) GTEST_SKIP() << lost.whyNot();
    const double letGoMs = sendUntilLetGo(pair.host, 12000);
    EXPECT_FALSE(pair.member.isRunning());
    EXPECT_GT(letGoMs, 0);
    EXPECT_LT(letGoMs, 9000);
}

// A member that shuts its sending side after an idle spell, while the texts
// then sent to it are held on the way for their first second, still gets
// them all: its silence counts from when they began to wait. Before, it
// counted from the last acknowledgement before the spell, and the first
// look after the member's FIN ended it as silent: none arrived.
TEST(SessionSilence, AMemberThatClosedItsSideAfterAnIdleSpellGetsWhatWaitsForIt) {
    HostedSession hosted;
    hosted.host.silenceLimitMs = kShortSilenceMs;
    ASSERT_EQ(hosted.host.addPlayer("host"), 101);
    // A small window, as on a real link, so that texts wait at the host
    // too rather than all flying at once.
    nettest::RawPeer member(hosted.port, 8192);
    const uint16_t id = member.registerPlayer("member");
    ASSERT_NE(id, 0);
    usleep((kShortSilenceMs + 500) * 1000);
    {
        SilencedPort held(hostOrderPort(getSocketPeer(member.acceptedSlot(hosted.host))),
                          SilencedPort::Where::OnTheWayToIt);
        if (!held.active()) GTEST_SKIP() << held.whyNot();
        for (size_t i = 0; i < 40; ++i) hosted.host.sendText(101, id, RtString(numberedText(i, 1000).c_str()));
        ASSERT_EQ(shutdown(member.fd(), SHUT_WR), 0);
        usleep(1000 * 1000);
    }
    for (size_t i = 0; i < 40; ++i) {
        ASSERT_EQ(member.readMessage(), nettest::wireMessage(3, id, 101, numberedText(i, 1000))) << i;
    }
    EXPECT_TRUE(member.closedWithin(3000));
}
