// The socket commands on loopback: TCP and UDP round trips, refused and
// timed-out connects, closed peers.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <vector>

#include "net/socket_commands.h"
#include "net/socket_table.h"
#include "net_test_support.h"

namespace {

constexpr int32_t kLoopback = 2130706433;  // 127.0.0.1 in host order

RtString bytes(const char* data, uint32_t n) { return RtString::fromBytes(data, n); }

// Receives until something arrives (or the wait ends).
int32_t receiveWhenThere(int32_t slot, RtString& text, int32_t count) {
    int32_t result = -2;
    nettest::waitUntil([&] {
        result = SocketReceive(slot, text, count);
        return result != -2;
    });
    return result;
}

struct TcpPair {
    int32_t listening = -1;
    int32_t client = -1;
    int32_t server = -1;
    int32_t acceptedIp = 0;
};

TcpPair connectPair() {
    TcpPair pair;
    pair.listening = SocketListen(0);
    pair.client = SocketConnect(RtString("127.0.0.1"), SocketRemotePort(pair.listening), 2000);
    nettest::waitUntil([&] {
        pair.server = SocketAccept(pair.listening, pair.acceptedIp);
        return pair.server >= 0;
    });
    return pair;
}

}  // namespace

TEST(SocketCommands, TcpRoundTripKeepsEveryByte) {
    ASSERT_EQ(SocketInit(), 1);
    TcpPair pair = connectPair();
    ASSERT_GE(pair.listening, 0);
    ASSERT_GE(pair.client, 0);
    ASSERT_GE(pair.server, 0);
    EXPECT_GT(SocketRemotePort(pair.listening), 0);  // the port the system chose
    EXPECT_EQ(SocketRemoteIp(pair.listening), 0);
    EXPECT_EQ(pair.acceptedIp, kLoopback);
    EXPECT_EQ(SocketRemoteIp(pair.server), kLoopback);
    EXPECT_EQ(SocketRemoteIp(pair.client), kLoopback);
    EXPECT_EQ(SocketRemotePort(pair.client), SocketRemotePort(pair.listening));

    // Four bytes, the third a NUL, read with room for ten.
    EXPECT_EQ(SocketSend(pair.client, bytes("ab\0d", 4)), 4);
    RtString text;
    EXPECT_EQ(receiveWhenThere(pair.server, text, 10), 4);
    EXPECT_EQ(text.length, 4u);
    EXPECT_EQ(std::memcmp(text.data, "ab\0d", 5), 0);

    // The other way, and a stream slot ignores the address of SendTo.
    EXPECT_EQ(SocketSendTo(pair.server, RtString("reply"), 0x01020304, 9), 5);
    EXPECT_EQ(receiveWhenThere(pair.client, text, 3), 3);
    EXPECT_STREQ(text.c_str(), "rep");
    EXPECT_EQ(receiveWhenThere(pair.client, text, 100), 2);
    EXPECT_STREQ(text.c_str(), "ly");

    // Nothing waiting: -2 and an empty text.
    EXPECT_EQ(SocketReceive(pair.client, text, 10), -2);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(SocketSend(pair.client, RtString()), 0);
}

TEST(SocketCommands, LargeTransfersMoveWhole) {
    ASSERT_EQ(SocketInit(), 1);
    TcpPair pair = connectPair();
    ASSERT_GE(pair.server, 0);
    std::string big(3 << 20, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + 3);
    std::string got;
    std::thread reader([&] {
        RtString text;
        while (got.size() < big.size()) {
            const int32_t n = SocketReceive(pair.server, text, 65536);
            if (n > 0) got.append(text.data, text.length);
            else if (n == -2) waitForSocket(pair.server, false, 1000);
            else break;
        }
    });
    EXPECT_EQ(SocketSend(pair.client, bytes(big.data(), static_cast<uint32_t>(big.size()))),
              static_cast<int32_t>(big.size()));
    reader.join();
    EXPECT_TRUE(got == big);
}

TEST(SocketCommands, ClosedPeerReadsAsZeroAndSendsFailWithoutASignal) {
    ASSERT_EQ(SocketInit(), 1);
    TcpPair pair = connectPair();
    ASSERT_GE(pair.server, 0);
    EXPECT_EQ(SocketClose(pair.server), 1);
    RtString text("stale");
    EXPECT_EQ(receiveWhenThere(pair.client, text, 8), 0);
    EXPECT_TRUE(text.isEmpty());
    // The peer is gone: a send fails (no SIGPIPE ends the test) as a reset.
    EXPECT_TRUE(nettest::waitUntil([&] { return SocketSend(pair.client, RtString("ping")) == -1; }));
    EXPECT_EQ(lastSocketError(), platform::kSockConnectionReset);
}

TEST(SocketCommands, RefusedConnectLeavesNoRecordAndTellsWhy) {
    ASSERT_EQ(SocketInit(), 1);
    uint16_t port = 0;
    const int holder = nettest::refusingPort(&port);
    EXPECT_EQ(SocketConnect(RtString("127.0.0.1"), port, 3000), -1);
    EXPECT_EQ(lastSocketError(), 10061);
    EXPECT_EQ(usedSocketSlotCount(), 0);
    const RtString text = GetNetErrorText();
    EXPECT_EQ(std::strncmp(text.c_str(), "10061 ", 6), 0) << text.c_str();
    close(holder);
}

TEST(SocketCommands, ConnectThatIsNeverAnsweredTimesOutWith10036) {
    ASSERT_EQ(SocketInit(), 1);
    // A listener whose backlog is full leaves further connects unanswered:
    // fill it until a connect stays pending for a whole second.
    uint16_t port = 0;
    const int listening = nettest::rawListen(&port, 0);
    ASSERT_GE(listening, 0);
    std::vector<int> fillers;
    bool full = false;
    for (int i = 0; i < 64 && !full; ++i) {
        fillers.push_back(nettest::rawConnectPending(port));
        full = !nettest::rawConnectCompletes(fillers.back(), 1000);
    }
    if (!full) GTEST_SKIP() << "this network stack answers every connect";
    EXPECT_EQ(SocketConnect(RtString("127.0.0.1"), port, 200), -1);
    EXPECT_EQ(lastSocketError(), 10036);
    EXPECT_EQ(usedSocketSlotCount(), 0);  // the record is free again
    for (int fd : fillers) close(fd);
    close(listening);
}

TEST(SocketCommands, UdpRoundTripRecordsTheSender) {
    ASSERT_EQ(SocketInit(), 1);
    const uint16_t port = nettest::freeUdpPort();
    const int32_t bound = SocketOpenUdp(port);
    const int32_t sender = SocketOpenUdp(0);
    ASSERT_GE(bound, 0);
    ASSERT_GE(sender, 0);
    EXPECT_EQ(SocketRemotePort(bound), port);
    EXPECT_EQ(SocketRemotePort(sender), 0);  // unbound until its first send
    // A datagram needs an address, and the failure says so.
    EXPECT_EQ(SocketSend(sender, RtString("x")), -1);
    EXPECT_EQ(lastSocketError(), platform::kSockDestinationRequired);
    setSocketError(0);
    EXPECT_EQ(SocketSendTo(sender, RtString("x"), 0, 0), -1);
    EXPECT_EQ(lastSocketError(), platform::kSockDestinationRequired);

    EXPECT_EQ(SocketSendTo(sender, bytes("da\0ta", 5), kLoopback, port), 5);
    RtString text;
    EXPECT_EQ(receiveWhenThere(bound, text, 64), 5);
    EXPECT_EQ(std::memcmp(text.data, "da\0ta", 6), 0);
    EXPECT_EQ(SocketRemoteIp(bound), kLoopback);
    EXPECT_GT(SocketRemotePort(bound), 0);
    EXPECT_EQ(SocketSendTo(bound, RtString("back"), SocketRemoteIp(bound), SocketRemotePort(bound)), 4);
    EXPECT_EQ(receiveWhenThere(sender, text, 64), 4);
    EXPECT_STREQ(text.c_str(), "back");
    EXPECT_EQ(SocketRemotePort(sender), port);
    // A receive that gets nothing clears the recorded sender.
    EXPECT_EQ(SocketReceive(bound, text, 64), -2);
    EXPECT_EQ(SocketRemoteIp(bound), 0);

    // A datagram longer than the count is no short read: -1 with 10040, its
    // sender recorded, and the next datagram arrives whole.
    ASSERT_EQ(SocketSendTo(sender, RtString("0123456789"), kLoopback, port), 10);
    ASSERT_EQ(SocketSendTo(sender, RtString("ab"), kLoopback, port), 2);
    EXPECT_EQ(receiveWhenThere(bound, text, 4), -1);
    EXPECT_EQ(lastSocketError(), platform::kSockMessageSize);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(SocketRemoteIp(bound), kLoopback);
    EXPECT_EQ(receiveWhenThere(bound, text, 4), 2);
    EXPECT_STREQ(text.c_str(), "ab");
}

TEST(SocketCommands, ReceiveCountsOutsideTheUsualRange) {
    ASSERT_EQ(SocketInit(), 1);
    TcpPair pair = connectPair();
    ASSERT_GE(pair.server, 0);
    RtString text("keep");
    EXPECT_EQ(SocketReceive(pair.server, text, -5), -1);
    EXPECT_EQ(lastSocketError(), platform::kSockInvalidArgument);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(SocketSend(pair.client, RtString("abc")), 3);
    ASSERT_EQ(waitForSocket(pair.server, false, 5000), 1);
    EXPECT_EQ(SocketReceive(pair.server, text, 0), 0);  // room for nothing
    // A huge count is served from a bounded buffer.
    EXPECT_EQ(SocketReceive(pair.server, text, 0x7FFFFFFF), 3);
    EXPECT_STREQ(text.c_str(), "abc");
    EXPECT_LE(text.capacity, static_cast<uint32_t>(kMostReceiveBytes) + 32);
    // Blocking mode: the receive waits in the call.
    EXPECT_EQ(SocketSetBlocking(pair.server, 1), 0);
    EXPECT_EQ(SocketSend(pair.client, RtString("hi")), 2);
    EXPECT_EQ(SocketReceive(pair.server, text, 2), 2);
    EXPECT_EQ(SocketSetBlocking(pair.server, 0), 0);
    EXPECT_EQ(pollSocket(pair.server), -2);
}
