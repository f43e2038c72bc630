// Dotted texts, the host's address list, name lookup and error texts.
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <cstring>
#include <string>
#include <vector>

#include "net/host_addresses.h"
#include "net/socket_commands.h"
#include "net/socket_table.h"

namespace {

uint32_t net(const char* dotted) { return inet_addr(dotted); }

}  // namespace

TEST(HostAddresses, DottedTextsAndAddressesFromBytes) {
    EXPECT_STREQ(SocketIpToText(2130706433).c_str(), "127.0.0.1");
    EXPECT_STREQ(SocketIpToText(-1062731775).c_str(), "192.168.0.1");  // 3,232,235,521
    EXPECT_STREQ(SocketIpToText(0).c_str(), "0.0.0.0");
    EXPECT_STREQ(SocketIpToText(-1).c_str(), "255.255.255.255");
    const SocketAddress address = makeSocketAddress(1, 0, 168, 192, 8080);
    EXPECT_STREQ(ipToText(address), "192.168.0.1");
    EXPECT_EQ(hostOrderAddress(address), 3232235521u);
    EXPECT_EQ(hostOrderPort(address), 8080);
}

TEST(HostAddresses, LoopbackGoesLastWhateverItsPlace) {
    const uint32_t addresses[] = {net("127.0.0.1"), net("10.1.2.3"), net("192.0.2.7")};
    char out[kAddressListBytes];
    EXPECT_EQ(formatAddressList(addresses, 3, "|", out, sizeof out), 3);
    EXPECT_STREQ(out, "10.1.2.3|192.0.2.7|127.0.0.1|");
    EXPECT_EQ(formatAddressList(addresses, 1, "\n", out, sizeof out), 1);
    EXPECT_STREQ(out, "127.0.0.1\n");
    EXPECT_EQ(formatAddressList(addresses, 0, "|", out, sizeof out), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(formatAddressList(addresses + 1, 2, nullptr, out, sizeof out), 2);
    EXPECT_STREQ(out, "10.1.2.3192.0.2.7");
}

TEST(HostAddresses, AListNeverPassesItsBuffer) {
    // 200 addresses of 15 characters and a long separator overflow 2,047.
    std::vector<uint32_t> many(200, net("100.100.100.100"));
    many.insert(many.begin(), net("127.0.0.1"));
    char out[kAddressListBytes + 8];
    std::memset(out, 'Z', sizeof out);
    const int32_t listed = formatAddressList(many.data(), static_cast<uint32_t>(many.size()), "<sep>", out,
                                             kAddressListBytes);
    const size_t length = std::strlen(out);
    EXPECT_LE(length, kAddressListBytes - 1);
    EXPECT_EQ(listed, static_cast<int32_t>(length / 20));  // "100.100.100.100<sep>"
    EXPECT_EQ(listed, 102);
    EXPECT_EQ(out[kAddressListBytes], 'Z');
    // The loopback address found no room: it is not listed at all.
    EXPECT_EQ(std::string(out).find("127.0.0.1"), std::string::npos);
}

TEST(HostAddresses, NamesResolveToTheirFirstAddress) {
    ASSERT_EQ(SocketInit(), 1);
    EXPECT_EQ(SocketResolveHost(RtString("127.0.0.1")), 2130706433);
    EXPECT_EQ(SocketResolveHost(RtString("localhost")), 2130706433);
    const SocketAddress address = resolveHost("127.0.0.1", 27910);
    EXPECT_EQ(hostOrderPort(address), 27910);

    // This host: its first listed address, the loopback address only when
    // there is no other.
    const int32_t self = SocketResolveHost(RtString(""));
    ASSERT_NE(self, -1);
    const RtString list = GetHostIpAddresses();
    if (list.isEmpty()) {  // a host name without an address: the loopback address
        EXPECT_EQ(self, 2130706433);
        return;
    }
    std::string first(list.c_str());
    first = first.substr(0, first.find('|'));
    EXPECT_STREQ(SocketIpToText(self).c_str(), first.c_str());
    const std::string text(list.c_str());
    EXPECT_NE(text.back(), '|');
    const size_t loopback = text.find("127.0.0.1");
    if (loopback != std::string::npos) {
        EXPECT_EQ(loopback + 9, text.size());
    }
}

TEST(HostAddresses, GetHostIpAddressesGivesItsReferenceBack) {
    ASSERT_EQ(SocketInit(), 1);
    GetHostIpAddresses();
    EXPECT_EQ(socketReferenceCount(), 1);
}

TEST(HostAddresses, ErrorTextsShowNumberAndText) {
    setSocketError(10061);
    EXPECT_STREQ(GetNetErrorText().c_str(), "10061 The connection was refused: nothing listens there.");
    setSocketError(10036);
    EXPECT_STREQ(GetNetErrorText().c_str(), "10036 The operation is still under way or did not finish in time.");
    setSocketError(4242);
    EXPECT_STREQ(GetNetErrorText().c_str(), "");
}
