// The flow of texts through a session: whoever does not read pays for it,
// and nobody else. A program's sends never wait, a full queue refuses at
// once, what is queued goes out before a session ends, one player or peer
// that does not read holds up no other, and the program's calls stay quick
// whatever its peers send. Drivers call the commands every frame, as a
// game does; figures measured in time are held to generous bounds, and
// each is also kept in the test's record.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "file_bytes.h"
#include "net/net_session.h"
#include "net/socket_table.h"
#include "net_test_support.h"
#include "temp_dir.h"

using nettest::Collector;
using nettest::fakeHostFor;
using nettest::HostedSession;
using nettest::millisSince;
using nettest::millisTaken;
using nettest::numberedText;
using nettest::RawPeer;
using nettest::waitUntil;
using nettest::wireMessage;
using nettest::wireRequest;

namespace {

constexpr int32_t kTimedOut = 10060;
using Clock = std::chrono::steady_clock;

void record(const char* what, double value) {
    testing::Test::RecordProperty(what, std::to_string(value));
    std::cout << "  " << what << " = " << value << "\n";
}

// A listener whose connections start with small system buffers. Set
// before the connection is made, as a slow link's are: a receive buffer cut
// later leaves the window below the segment size that loopback chose from
// the first, larger window, and the sender then moves a window only as
// often as it probes a closed one.
int smallListener(uint16_t* port) {
    const int listening = nettest::rawListen(port);
    nettest::limitRawBuffers(listening, 16 * 1024);
    return listening;
}

// A member joined to a fake host on raw sockets, both ends with small
// system buffers, so that a host that does not read backs up within a few
// hundred kilobytes.
struct MemberOfAFakeHost {
    uint16_t port = 0;
    int listening = smallListener(&port);
    NetSession member;
    std::unique_ptr<RawPeer> host = fakeHostFor(member, listening, port);

    MemberOfAFakeHost() { nettest::limitSlotBuffers(member.connectionSlot.load(), 16 * 1024); }
    ~MemberOfAFakeHost() {
        member.reset();
        host.reset();
        close(listening);
    }
};

// A host whose program has player 101, and a member whose program has 103.
struct HostAndMember {
    HostedSession hosted;
    NetSession& host = hosted.host;
    NetSession member;

    HostAndMember() {
        EXPECT_NE(hosted.port, 0);
        EXPECT_EQ(host.addPlayer("at the host"), 101);
        EXPECT_EQ(member.join("127.0.0.1", hosted.port), 1);
        EXPECT_EQ(member.addPlayer("at the member"), 103);
    }
};

bool sameBytes(const std::string& got, const std::string& expected) {
    if (got == expected) return true;
    size_t at = 0;
    while (at < got.size() && at < expected.size() && got[at] == expected[at]) ++at;
    ADD_FAILURE() << got.size() << " bytes against " << expected.size() << " expected; first difference at " << at;
    return false;
}

}  // namespace

TEST(SessionFlow, AHostThatStopsReadingForASecondLosesNothingOfABurst) {
    MemberOfAFakeHost fake;
    ASSERT_TRUE(fake.member.isRunning());
    // The host reads nothing for a second while the member sends 2 MB;
    // every text fits in the queue, and no send waits for the host.
    Collector host(fake.host->fd(), {1000});
    nettest::CallTimes sends;
    std::string expected;
    int sent = 0;
    for (size_t i = 0; i < 2000; ++i) {
        const std::string text = numberedText(i, 1000);
        int32_t result = 0;
        sends.time([&] { result = fake.member.sendText(101, 102, RtString(text.c_str())); });
        if (result != 1) continue;
        ++sent;
        expected += wireMessage(3, 102, 101, text);
    }
    EXPECT_EQ(sent, 2000);
    sends.expectWithin("send");
    EXPECT_TRUE(fake.member.isRunning());
    ASSERT_TRUE(host.waitForBytes(expected.size(), 10000)) << host.size();
    EXPECT_TRUE(sameBytes(host.bytes(), expected));
    // The session goes on.
    EXPECT_EQ(fake.member.sendText(101, 102, RtString("after")), 1);
    ASSERT_TRUE(host.waitForBytes(expected.size() + 12));
    EXPECT_TRUE(fake.member.isRunning());
}

TEST(SessionFlow, ASendThatFindsNoRoomFailsAtOnceAndSaysWhy) {
    MemberOfAFakeHost fake;  // the host reads nothing
    // A game sends 100 texts a frame until one fails, then one a frame for
    // 30 frames more.
    nettest::CallTimes sends;
    std::string expected;
    size_t next = 0;
    int32_t cause = 0;
    int framesFull = 0;
    nettest::runFrames(15000, [&](size_t) {
        for (int k = 0; k < 100; ++k) {
            const std::string text = numberedText(next, 1000);
            int32_t result = 0;
            sends.time([&] { result = fake.member.sendText(101, 102, RtString(text.c_str())); });
            if (result != 1) {
                if (cause == 0) cause = lastSocketError();
                break;
            }
            expected += wireMessage(3, 102, 101, text);
            ++next;
        }
        return cause == 0 || ++framesFull < 30;
    });
    record("queuedBeforeTheFirstFailure", static_cast<double>(expected.size()));
    EXPECT_EQ(cause, 10055);  // no buffer space
    EXPECT_EQ(framesFull, 30);
    EXPECT_GE(expected.size(), 4u * 1024 * 1024);
    sends.expectWithin("send");
    EXPECT_TRUE(fake.member.isRunning());
    // What returned 1 arrives whole, and nothing of the texts that failed.
    Collector host(fake.host->fd(), {});
    ASSERT_TRUE(host.waitForBytes(expected.size(), 10000)) << host.size();
    EXPECT_TRUE(nettest::rawNothingArrives(fake.host->fd(), 100));
    EXPECT_TRUE(sameBytes(host.bytes(), expected));
    EXPECT_EQ(fake.member.sendText(101, 102, RtString("x")), 1);
    EXPECT_EQ(lastSocketError(), 0);
}

TEST(SessionFlow, AResetSendsWhatIsQueuedBeforeItCloses) {
    MemberOfAFakeHost fake;
    // A slow host: 3.2 MB a second.
    Collector host(fake.host->fd(), {0, 32 * 1024, 10});
    std::string expected;
    int sent = 0;
    for (size_t i = 0; i < 3000; ++i) {
        const std::string text = numberedText(i, 1000);
        if (fake.member.sendText(101, 102, RtString(text.c_str())) != 1) continue;
        ++sent;
        expected += wireMessage(3, 102, 101, text);
    }
    EXPECT_EQ(sent, 3000);
    // The reset comes while half a megabyte is still queued.
    ASSERT_TRUE(waitUntil([&] { return fake.member.hostLink.queuedBytes() <= 512 * 1024; }, 10000));
    const size_t queued = fake.member.hostLink.queuedBytes();
    record("queuedAtResetBytes", static_cast<double>(queued));
    EXPECT_GT(queued, 0u);
    const double resetMs = millisTaken([&] { fake.member.reset(); });
    record("resetMs", resetMs);
    EXPECT_LT(resetMs, 1500);
    EXPECT_EQ(lastSocketError(), 0);  // everything went
    ASSERT_TRUE(waitUntil([&] { return host.closedByPeer(); }));
    EXPECT_EQ(host.size(), 3021000u);
    EXPECT_TRUE(sameBytes(host.bytes(), expected));
}

TEST(SessionFlow, AResetCountsAsLostOnlyWhatNeverLeftTheProgram) {
    uint16_t port = 0;
    const int listening = nettest::rawListen(&port);
    NetSession member;
    std::unique_ptr<RawPeer> host = fakeHostFor(member, listening, port);
    ASSERT_TRUE(host->connected());
    // The host has stopped reading, with a small window; the member's
    // system takes all the member sends, and keeps it until the host reads.
    nettest::limitSlotBuffers(member.connectionSlot.load(), 1024 * 1024);
    nettest::limitRawBuffers(host->fd(), 16 * 1024);
    std::string expected;
    for (size_t i = 0; i < 3700; ++i) {
        const std::string text = numberedText(i, 100);
        ASSERT_EQ(member.sendText(101, 102, RtString(text.c_str())), 1) << i;
        expected += wireMessage(3, 102, 101, text);
    }
    ASSERT_TRUE(waitUntil([&] { return member.hostLink.queuedBytes() == 0; }));
    const double resetMs = millisTaken([&] { member.reset(); });
    record("resetMs", resetMs);
    EXPECT_LT(resetMs, kEndStallMs + 300);  // a host that takes nothing is not waited for longer
    EXPECT_EQ(lastSocketError(), 0);  // nothing was lost
    // The host reads again: every text, then the end of the connection.
    Collector reader(host->fd(), {});
    ASSERT_TRUE(waitUntil([&] { return reader.closedByPeer(); }));
    EXPECT_TRUE(sameBytes(reader.bytes(), expected));
    close(listening);
}

TEST(SessionFlow, AResetThatCannotSendEverythingGivesUpWithinASecond) {
    MemberOfAFakeHost fake;  // the host never reads
    while (fake.member.sendText(101, 102, RtString(numberedText(0, 1000).c_str())) == 1) {
    }
    const double resetMs = millisTaken([&] { fake.member.reset(); });
    record("resetMs", resetMs);
    EXPECT_GT(resetMs, 500);
    EXPECT_LT(resetMs, 1500);
    EXPECT_EQ(lastSocketError(), kTimedOut);  // what could not go counts as not sent
    EXPECT_FALSE(fake.member.isRunning());
}

TEST(SessionFlow, AResetDeliversWhatTheSystemHoldsToAPeerThatGoesOnTalking) {
    // Either end resets right after a burst, over a slow link, while the
    // other end's program says something and reads every frame, as a game
    // does: the burst arrives whole, and the reset says nothing was lost.
    constexpr size_t kTexts = 1000;
    for (const bool hostEnds : {true, false}) {
        HostAndMember session;
        ASSERT_TRUE(session.member.isRunning());
        NetSession& ending = hostEnds ? session.host : session.member;
        NetSession& talking = hostEnds ? session.member : session.host;
        const int32_t from = hostEnds ? 101 : 103;
        const int32_t to = hostEnds ? 103 : 101;
        const int32_t memberEnd = session.member.connectionSlot.load();
        const uint16_t memberPort = hostOrderPort(getSocketLocalAddress(memberEnd));
        // The ending side's system takes little at a time (its peer's
        // receive buffer is not cut once connected: see smallListener).
        nettest::limitSlotBuffers(hostEnds ? nettest::acceptedSlotFor(session.host, memberPort) : memberEnd, 16 * 1024);
        size_t got = 0;
        std::thread program([&] {
            nettest::runFrames(10000, [&](size_t) {
                talking.sendText(to, from, RtString("tick"));
                for (RtString text = talking.receiveText(to); !text.isEmpty(); text = talking.receiveText(to)) {
                    EXPECT_EQ(std::string(text.c_str()), numberedText(got, 1000));
                    ++got;
                }
                return got < kTexts;
            });
        });
        for (size_t i = 0; i < kTexts; ++i) EXPECT_EQ(ending.sendText(from, to, RtString(numberedText(i, 1000).c_str())), 1);
        ending.reset();
        EXPECT_EQ(lastSocketError(), 0) << hostEnds;
        program.join();
        EXPECT_EQ(got, kTexts) << hostEnds;
    }
}

TEST(SessionFlow, TextsAndAnswersLeaveAtOnce) {
    HostAndMember session;
    ASSERT_FALSE(testing::Test::HasFailure());
    // Spins on the command until it gives a text, as a program that waits
    // for nothing else would.
    const auto take = [](NetSession& at, int32_t id) {
        const auto start = Clock::now();
        for (;;) {
            const RtString text = at.receiveText(id);
            if (!text.isEmpty() || millisSince(start) > 2000) return std::string(text.c_str());
            std::this_thread::yield();
        }
    };
    // A text from the member's program to the host's and back, then a query.
    std::vector<double> trips;
    std::vector<double> queries;
    for (size_t i = 0; i < 100; ++i) {
        const std::string text = numberedText(i, 64);
        trips.push_back(millisTaken([&] {
            session.member.sendText(103, 101, RtString(text.c_str()));
            session.host.sendText(101, 103, RtString(take(session.host, 101).c_str()));
            EXPECT_EQ(take(session.member, 103), text);
        }));
        queries.push_back(millisTaken([&] { EXPECT_EQ(session.member.playerCount(), 2); }));
    }
    std::sort(trips.begin(), trips.end());
    std::sort(queries.begin(), queries.end());
    record("roundTripMedianMs", trips[50]);
    record("queryMedianMs", queries[50]);
    EXPECT_LT(trips[50], 5);
    EXPECT_LT(queries[50], 5);
}

TEST(SessionFlow, ABurstToAHostProgramArrivesWholeAndInOrder) {
    HostAndMember session;
    ASSERT_FALSE(testing::Test::HasFailure());
    NetSession& host = session.host;
    NetSession& member = session.member;

    // Texts of 100 and of 1,000 bytes.
    for (const size_t length : {size_t{100}, size_t{1000}}) {
        const size_t count = length == 100 ? 3000 : 600;
        for (size_t i = 0; i < count; ++i) {
            ASSERT_EQ(member.sendText(103, 101, RtString(numberedText(i, length).c_str())), 1) << i;
        }
        // The program is busy for a moment; the whole burst waits for it.
        EXPECT_TRUE(waitUntil([&] { return nettest::inboxCount(host, 101) == count; })) << length;
        // Then it reads every frame.
        size_t got = 0;
        const auto start = Clock::now();
        while (got < count && millisSince(start) < 20000) {
            for (RtString text = host.receiveText(101); !text.isEmpty(); text = host.receiveText(101)) {
                EXPECT_EQ(std::string(text.c_str()), numberedText(got, length)) << length;
                EXPECT_EQ(host.lastSenderId, 103);
                ++got;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(16));
        }
        EXPECT_EQ(got, count) << length;
        EXPECT_TRUE(host.isRunning());
        EXPECT_TRUE(member.isRunning());
    }
}

TEST(SessionFlow, ABroadcastFloodToManyPlayersKeepsTheProgramsCallsQuick) {
    HostedSession hosted;
    NetSession& host = hosted.host;
    ASSERT_NE(hosted.port, 0);
    ASSERT_EQ(host.addPlayer("host player"), 101);
    // 2,000 players on eight raw connections; seven read everything sent
    // to them, the eighth nothing at all.
    constexpr size_t kConnections = 8;
    constexpr size_t kPerConnection = 250;
    std::vector<std::unique_ptr<RawPeer>> many;
    std::vector<std::unique_ptr<Collector>> drains;
    for (size_t c = 0; c < kConnections; ++c) {
        many.push_back(std::make_unique<RawPeer>(hosted.port, c == 0 ? 4096 : 0));
        std::string requests;
        for (size_t i = 0; i < kPerConnection; ++i) requests += wireRequest("p" + std::to_string(i));
        many.back()->send(requests);
        ASSERT_EQ(many.back()->read(7 * kPerConnection, 20000).size(), 7 * kPerConnection) << c;
        if (c > 0) drains.push_back(std::make_unique<Collector>(many.back()->fd(), Collector::Options{0, 0, 10, false}));
    }
    NetSession member;
    ASSERT_EQ(member.join("127.0.0.1", hosted.port), 1);
    ASSERT_EQ(member.playerCount(), static_cast<int32_t>(kConnections * kPerConnection) + 1);

    RawPeer flooder(hosted.port);
    const uint16_t floodId = flooder.registerPlayer("flood");
    ASSERT_NE(floodId, 0);
    flooder.startFlood(wireMessage(3, 0xFFFF, floodId, std::string(100, 'f')));
    // For 3 s a game's frames: the host's program reads its texts and says
    // something to everyone, the member's program asks for the count.
    nettest::CallTimes calls;
    nettest::CallTimes queries;
    size_t framesSent = 0;
    size_t left = 0;
    nettest::runFrames(3000, [&](size_t frame) {
        for (int k = 0; k < 1000; ++k) {
            RtString text;
            calls.time([&] { text = host.receiveText(101); });
            if (text.isEmpty()) break;
        }
        int32_t sent = 0;
        calls.time([&] { sent = host.sendText(101, 0, RtString(numberedText(frame, 20).c_str())); });
        framesSent += static_cast<size_t>(sent);
        int32_t id = 0;
        calls.time([&] { id = host.popLeftPlayer(); });
        left += id != 0 ? 1 : 0;
        if (frame % 30 == 0) queries.time([&] { member.playerCount(); });
        return true;
    });
    double longestSilenceMs = 0;
    for (const auto& drain : drains) longestSilenceMs = std::max(longestSilenceMs, drain->longestSilenceMs());
    const double shutdownMs = millisTaken([&] { host.reset(); });

    record("longestSilenceMs", longestSilenceMs);
    record("shutdownMs", shutdownMs);
    calls.expectWithin("hostProgram");
    queries.expectWithin("query", 50, 100);
    EXPECT_GT(framesSent, 100u);
    EXPECT_LT(longestSilenceMs, 500);  // no reader waits for the one that does not read
    EXPECT_EQ(left + nettest::leftCount(host), kPerConnection);  // who left: the players of that one
    EXPECT_LT(shutdownMs, 1000);
    EXPECT_GT(flooder.bytesSent(), 20u * 107);
}

TEST(SessionFlow, QueriesAreAnsweredPastTenThousandUnreadTexts) {
    HostAndMember session;
    ASSERT_FALSE(testing::Test::HasFailure());
    NetSession& host = session.host;
    NetSession& member = session.member;
    // The host's program sends 300 texts a frame to the member's player,
    // whose program reads none and asks for the player count every frame.
    constexpr size_t kTexts = 12000;
    nettest::CallTimes sends;
    nettest::CallTimes queries;
    nettest::CallTimes queriesPast10000;
    size_t sent = 0;
    nettest::runFrames(20000, [&](size_t) {
        for (int k = 0; k < 300 && sent < kTexts; ++k) {
            int32_t result = 0;
            sends.time([&] { result = host.sendText(101, 103, RtString(numberedText(sent, 100).c_str())); });
            sent += static_cast<size_t>(result);
        }
        const bool past = nettest::inboxCount(member, 103) >= 10000;
        int32_t count = 0;
        (past ? queriesPast10000 : queries).time([&] { count = member.playerCount(); });
        EXPECT_EQ(count, 2);
        return queriesPast10000.count() < 20;
    });
    EXPECT_EQ(sent, kTexts);
    sends.expectWithin("send");
    queries.expectWithin("query", 50, 100);
    queriesPast10000.expectWithin("queryPast10000", 50, 100);
    size_t got = 0;
    ASSERT_TRUE(waitUntil([&] {
        for (RtString text = member.receiveText(103); !text.isEmpty(); text = member.receiveText(103)) {
            EXPECT_EQ(std::string(text.c_str()), numberedText(got, 100));
            ++got;
        }
        return got == kTexts;
    })) << got;
}

TEST(SessionFlow, TextsArrivingInSegmentsKeepTheirConnectionsWhileTheProgramsDoNotRead) {
    // A member of a fake host, and a host with a raw member: each program
    // has a player that is sent about 100 KB of texts a second, in segments
    // that end anywhere within a message, and does not read them for 30 s.
    uint16_t port = 0;
    const int listening = nettest::rawListen(&port);
    NetSession member;
    std::unique_ptr<RawPeer> fakeHost = fakeHostFor(member, listening, port);
    HostedSession hosted;
    NetSession& host = hosted.host;
    ASSERT_NE(hosted.port, 0);
    ASSERT_EQ(host.addPlayer("reads later"), 101);
    RawPeer writer(hosted.port);
    const uint16_t writerId = writer.registerPlayer("writer");
    ASSERT_NE(writerId, 0);
    constexpr size_t kTexts = 12000;  // about 25 s of them
    std::string toMember;
    std::string toHost;
    for (size_t i = 0; i < kTexts; ++i) {
        toMember += wireMessage(3, 102, 7, numberedText(i, 200));
        toHost += wireMessage(3, 101, writerId, numberedText(i, 200));
    }
    fakeHost->startSegments(toMember, 1448, 14);
    writer.startSegments(toHost, 1448, 14);
    // A game's frames that send, ask and look for departures, but read nothing.
    nettest::CallTimes calls;
    const double ranMs = nettest::runFrames(30000, [&](size_t frame) {
        bool running = false;
        calls.time([&] { running = member.isRunning(); });
        calls.time([&] { member.sendText(102, 7, RtString("tick")); });
        int32_t left = 0;
        calls.time([&] { left = host.popLeftPlayer(); });
        calls.time([&] { host.sendText(101, writerId, RtString("tock")); });
        if (frame % 60 == 0) calls.time([&] { host.playerCount(); });
        return running && left == 0;
    });
    record("ranMs", ranMs);
    ASSERT_GE(ranMs, 30000) << "a connection was lost after " << ranMs << " ms";
    calls.expectWithin("frame");
    // Then both programs read: every text, in order.
    for (const auto& reader : {std::pair<NetSession*, int32_t>{&member, 102}, {&host, 101}}) {
        NetSession* session = reader.first;
        const int32_t id = reader.second;
        size_t got = 0;
        EXPECT_TRUE(waitUntil([&] {
            for (RtString text = session->receiveText(id); !text.isEmpty(); text = session->receiveText(id)) {
                EXPECT_EQ(std::string(text.c_str()), numberedText(got, 200));
                ++got;
            }
            return got == kTexts;
        }, 10000)) << id << ": " << got;
    }
    EXPECT_TRUE(member.isRunning());
    member.reset();
    close(listening);
}

TEST(SessionFlow, APlayerWhoDoesNotReadHoldsUpNoOtherPlayer) {
    testsupport::TempDir logFolder;
    testsupport::ScopedEnv logHere("TMPDIR", logFolder.path().c_str());
    HostedSession hosted;
    NetSession& host = hosted.host;
    ASSERT_NE(hosted.port, 0);
    host.sendQueueLimitBytes = 64 * 1024;  // a member that does not read passes it in a few seconds
    ASSERT_EQ(host.addPlayer("does not read"), 101);
    ASSERT_EQ(host.addPlayer("reads"), 102);
    RawPeer fast(hosted.port);
    ASSERT_EQ(fast.registerPlayer("fast"), 103);
    RawPeer slow(hosted.port, 4096);
    ASSERT_EQ(slow.registerPlayer("slow"), 104);
    nettest::limitSlotBuffers(slow.acceptedSlot(host), 4096);  // a slow link's few kilobytes
    RawPeer caster(hosted.port);
    ASSERT_EQ(caster.registerPlayer("caster"), 105);
    Collector fastReader(fast.fd(), {0, 0, 10, false});
    // 300 texts a second to everyone, for 9 s; the host's program reads
    // its player 102 every frame and never its player 101, and the slow
    // member reads nothing.
    constexpr size_t kTexts = 2700;
    std::string stream;
    for (size_t i = 0; i < kTexts; ++i) stream += wireMessage(3, 0xFFFF, 105, numberedText(i, 300));
    caster.startSegments(stream, 307, 3);
    nettest::CallTimes calls;
    size_t got = 0;
    double longestGapMs = 0;
    auto lastText = Clock::now();
    int32_t left = 0;
    double fastSilenceMs = 0;
    nettest::runFrames(20000, [&](size_t) {
        for (;;) {
            RtString text;
            calls.time([&] { text = host.receiveText(102); });
            if (text.isEmpty()) break;
            EXPECT_EQ(std::string(text.c_str()), numberedText(got, 300));
            if (got++ > 0) longestGapMs = std::max(longestGapMs, millisSince(lastText));
            lastText = Clock::now();
        }
        calls.time([&] { left = left != 0 ? left : host.popLeftPlayer(); });
        calls.time([&] { host.isRunning(); });
        longestGapMs = std::max(longestGapMs, millisSince(lastText));
        fastSilenceMs = fastReader.longestSilenceMs();
        return got < kTexts;
    });
    record("longestGapMs", longestGapMs);
    record("fastLongestSilenceMs", fastSilenceMs);
    calls.expectWithin("frame");
    EXPECT_EQ(got, kTexts);
    EXPECT_LT(longestGapMs, 500);
    EXPECT_LT(fastSilenceMs, 500);
    // The slow member was closed, and the error log says why.
    EXPECT_EQ(left, 104);
    EXPECT_NE(testsupport::readFileBytes(logFolder.file("ErrorLog.txt")).find("10055"), std::string::npos);
    // The player who did not read has every text, in order.
    EXPECT_EQ(nettest::inboxCount(host, 101), kTexts);
    for (size_t i = 0; i < kTexts; ++i) ASSERT_EQ(std::string(host.receiveText(101).c_str()), numberedText(i, 300));
    host.reset();
}
