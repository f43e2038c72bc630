// The socket table: start-up references, taking records, a full table and
// slots that name no record.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include "net/socket_commands.h"
#include "net/socket_table.h"
#include "net_test_support.h"

TEST(SocketTable, ReferencesKeepSocketsUntilTheLastShutdown) {
    EXPECT_EQ(SocketInit(), 1);
    EXPECT_EQ(SocketInit(), 1);
    EXPECT_EQ(SocketOpenUdp(0), 0);  // the lowest free records, in order
    EXPECT_EQ(SocketListen(0), 1);
    EXPECT_EQ(SocketOpenUdp(0), 2);
    EXPECT_EQ(SocketClose(1), 1);
    EXPECT_EQ(lastSocketError(), 0);
    EXPECT_EQ(SocketListen(0), 1);  // a freed record is taken again first
    SocketShutdown();
    EXPECT_EQ(socketReferenceCount(), 1);
    EXPECT_EQ(usedSocketSlotCount(), 3);
    SocketShutdown();
    EXPECT_EQ(socketReferenceCount(), 0);
    EXPECT_EQ(usedSocketSlotCount(), 0);
    SocketShutdown();  // below zero: the count stays 0
    EXPECT_EQ(socketReferenceCount(), 0);
    EXPECT_EQ(SocketOpenUdp(0), -1);  // without a reference nothing opens
    EXPECT_EQ(lastSocketError(), platform::kSockNotInitialised);
}

TEST(SocketTable, AFullTableRefusesEveryOpenerWithError8) {
    ASSERT_EQ(SocketInit(), 1);
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < 1100) GTEST_SKIP() << "too few descriptors";
    // One listener with a client waiting, then every other record taken.
    const int32_t listening = SocketListen(0);
    const int waiting = nettest::rawConnect(static_cast<uint16_t>(SocketRemotePort(listening)));
    ASSERT_GE(waiting, 0);
    while (findFreeSocketSlot() >= 0) ASSERT_GE(openUdp(0), 0) << lastSocketError();
    EXPECT_EQ(usedSocketSlotCount(), kSocketSlotCount);

    for (auto opener : {+[] { return SocketListen(0); }, +[] { return SocketOpenUdp(0); },
                        +[] { return SocketConnect(RtString("127.0.0.1"), 9, 1000); }}) {
        setSocketError(0);
        EXPECT_EQ(opener(), -1);
        EXPECT_EQ(lastSocketError(), 8);
    }
    int32_t ip = 77;
    setSocketError(0);
    EXPECT_TRUE(nettest::waitUntil([&] { return SocketAccept(listening, ip) == -1 && lastSocketError() == 8; }));
    EXPECT_EQ(ip, 77);
    EXPECT_STREQ(GetNetErrorText().c_str(), "8 Every socket record is in use.");
    EXPECT_EQ(nettest::rawReadExactly(waiting, 1), "");  // the connection that found no record was closed
    close(waiting);
}

TEST(SocketTable, SlotsOutsideTheTableAndWrongKindsFailPlainly) {
    ASSERT_EQ(SocketInit(), 1);
    RtString text("old");
    int32_t ip = 5;
    for (int32_t slot : {-1, 1024, 1 << 30}) {
        EXPECT_EQ(SocketSend(slot, RtString("x")), -1);
        EXPECT_EQ(SocketReceive(slot, text, 4), -1);
        EXPECT_TRUE(text.isEmpty());
        EXPECT_EQ(SocketAccept(slot, ip), -1);
        EXPECT_EQ(SocketClose(slot), 0);
        EXPECT_EQ(SocketRemotePort(slot), 0);
        EXPECT_EQ(pollSocket(slot), -1);
        EXPECT_EQ(SocketSetBlocking(slot, 1), platform::kSockNotSocket);
    }
    EXPECT_EQ(SocketClose(5), 0);  // a free record
    // Accepting on a datagram record: -1 with the layer's own error 0.
    const int32_t udp = SocketOpenUdp(0);
    setSocketError(99);
    EXPECT_EQ(SocketAccept(udp, ip), -1);
    EXPECT_EQ(lastSocketError(), 0);
    EXPECT_EQ(ip, 5);
}

TEST(SocketTable, ConnectTimeoutsAreClampedTo30Seconds) {
    EXPECT_EQ(connectTimeoutLimit(0), 30000);
    EXPECT_EQ(connectTimeoutLimit(-7), 30000);
    EXPECT_EQ(connectTimeoutLimit(40000), 30000);
    EXPECT_EQ(connectTimeoutLimit(30000), 30000);
    EXPECT_EQ(connectTimeoutLimit(1), 1);
}

TEST(SocketTable, BytesTheReaderHasNotAcknowledgedAreCounted) {
    const nettest::SlotPair pair = nettest::makeSlotPair();
    ASSERT_GE(pair.server, 0);
    nettest::limitSlotBuffers(pair.server, 4096);
    nettest::limitSlotBuffers(pair.client, 256 * 1024);
    EXPECT_EQ(unacknowledgedOnSocket(pair.client), 0);
    // More than the reader's window: the rest waits unacknowledged.
    const std::string bytes(100000, 'u');
    const int32_t sent = sendAvailableOnSocket(pair.client, bytes.data(), static_cast<int32_t>(bytes.size()));
    ASSERT_GT(sent, 0);
    EXPECT_TRUE(nettest::waitUntil([&] { return unacknowledgedOnSocket(pair.client) > 0; }));
    EXPECT_LE(unacknowledgedOnSocket(pair.client), sent);
    nettest::limitSlotBuffers(pair.server, 1024 * 1024);  // the window opens wide at once
    char scrap[8192];
    int32_t read = 0;
    EXPECT_TRUE(nettest::waitUntil([&] {
        for (int32_t got; (got = receiveOnSocket(pair.server, scrap, sizeof scrap, false)) > 0;) read += got;
        return read == sent && unacknowledgedOnSocket(pair.client) == 0;
    }));
    EXPECT_EQ(unacknowledgedOnSocket(pair.client), 0);
    EXPECT_EQ(unacknowledgedOnSocket(1000), -1);  // a free record
    EXPECT_EQ(lastSocketError(), platform::kSockNotSocket);
}

TEST(SocketTable, ACloseThatDeliversReadsWhatArrivedUnreadFirst) {
    const nettest::SlotPair pair = nettest::makeSlotPair();
    ASSERT_GE(pair.server, 0);
    nettest::limitSlotBuffers(pair.client, 4096);
    nettest::limitSlotBuffers(pair.server, 16 * 1024);
    // The client reads nothing yet: what the server sends waits in the systems.
    const std::string bytes(256 * 1024, 'd');
    int32_t sent = 0;
    ASSERT_TRUE(nettest::waitUntil([&] {
        const int32_t n = sendAvailableOnSocket(pair.server, bytes.data() + sent, static_cast<int32_t>(bytes.size()) - sent);
        sent += n > 0 ? n : 0;
        return n == -2;
    }));
    // And the server has not read what the client sent.
    ASSERT_EQ(sendOnSocket(pair.client, "unread", 6, nullptr), 6);
    ASSERT_EQ(waitForSocket(pair.server, false, 5000), 1);
    EXPECT_EQ(closeSocketDelivering(pair.server), 0);
    // Every byte arrives, then the end of an orderly close, not a reset.
    std::string got;
    char scrap[8192];
    ASSERT_TRUE(nettest::waitUntil([&] {
        const int32_t n = receiveOnSocket(pair.client, scrap, sizeof scrap, false);
        if (n > 0) got.append(scrap, static_cast<size_t>(n));
        return n == 0;
    }));
    EXPECT_EQ(lastSocketError(), 0);
    EXPECT_EQ(got.size(), static_cast<size_t>(sent));
}
