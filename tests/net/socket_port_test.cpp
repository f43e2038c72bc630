// The socket stand-in: error numbers and texts, start-up counting, handles
// that are no sockets, where a refused connect lands, and a failure a wait
// for writing leaves to the next call.
#include <gtest/gtest.h>

#include <netdb.h>
#include <unistd.h>

#include <cerrno>

#include "net_test_support.h"
#include "platform/socket_port.h"

using namespace platform;

TEST(SocketPort, ErrnoAndLookupFailuresBecomeTheServiceNumbers) {
    const std::pair<int, int32_t> rows[] = {
        {0, 0},          {EWOULDBLOCK, 10035}, {EINPROGRESS, 10036}, {EBADF, 10038},  {EADDRINUSE, 10048},
        {ECONNRESET, 10054}, {EPIPE, 10054},   {ETIMEDOUT, 10060},   {ECONNREFUSED, 10061}, {ENOENT, 10107},
    };
    for (const auto& [errnoValue, code] : rows) EXPECT_EQ(socketErrorFromErrno(errnoValue), code) << errnoValue;
    EXPECT_EQ(socketErrorFromLookup(EAI_NONAME, 0), 11001);
    EXPECT_EQ(socketErrorFromLookup(EAI_AGAIN, 0), 11002);
    EXPECT_EQ(socketErrorFromLookup(EAI_SYSTEM, ECONNREFUSED), 10061);
    for (int32_t code : {0, 8, 10035, 10036, 10038, 10054, 10060, 10061, 10093, 10107, 11001, 11004}) {
        EXPECT_NE(socketErrorMessage(code), nullptr) << code;
    }
    EXPECT_EQ(socketErrorMessage(12345), nullptr);
}

TEST(SocketPort, NothingIsMadeOutsideAStartUp) {
    EXPECT_EQ(openSocket(SocketKind::Stream), kInvalidSocketHandle);
    EXPECT_EQ(socketLastError(), kSockNotInitialised);
    ASSERT_TRUE(socketsStartup());
    ASSERT_TRUE(socketsStartup());
    EXPECT_TRUE(socketsCleanup());
    const SocketHandle socket = openSocket(SocketKind::Datagram);
    ASSERT_NE(socket, kInvalidSocketHandle);
    EXPECT_EQ(closeSocketHandle(socket), 0);
    EXPECT_TRUE(socketsCleanup());
    EXPECT_FALSE(socketsCleanup());
    EXPECT_EQ(socketLastError(), kSockNotInitialised);
    uint32_t address = 0;
    EXPECT_EQ(lookupHostAddresses("127.0.0.1", &address, 1), 0u);
}

TEST(SocketPort, HandlesThatAreNoSocketsFailAndFilesStayOpen) {
    ASSERT_TRUE(socketsStartup());
    char buffer[4];
    for (SocketHandle bad : {kInvalidSocketHandle, SocketHandle{0xFFFFFFFE}, SocketHandle{0x7FFFFFF0}}) {
        EXPECT_EQ(receiveOnHandle(bad, buffer, sizeof buffer), -1);
        EXPECT_EQ(socketLastError(), kSockNotSocket);
    }
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    EXPECT_EQ(closeSocketHandle(static_cast<SocketHandle>(pipeEnds[0])), -1);
    EXPECT_EQ(socketLastError(), kSockNotSocket);
    EXPECT_EQ(close(pipeEnds[0]), 0);  // still open: the stand-in left it alone
    EXPECT_EQ(close(pipeEnds[1]), 0);
}

TEST(SocketPort, ARefusedConnectLandsInTheExceptionSetOnly) {
    ASSERT_TRUE(socketsStartup());
    uint16_t port = 0;
    const int holder = nettest::refusingPort(&port);
    const SocketHandle socket = openSocket(SocketKind::Stream);
    ASSERT_EQ(setSocketNonBlocking(socket, true), 0);
    if (connectSocket(socket, SocketEndpoint{hostToNetwork32(0x7F000001u), hostToNetwork16(port)}) != 0) {
        ASSERT_EQ(socketLastError(), kSockInProgress);
        uint32_t ready = 0;
        EXPECT_EQ(waitOnSocket(socket, kWaitWrite | kWaitException, 5000, &ready), 1);
        EXPECT_EQ(ready, uint32_t{kWaitException});
    }
    EXPECT_EQ(socketLastError(), kSockConnectionRefused);
    closeSocketHandle(socket);
    close(holder);
}

TEST(SocketPort, AWaitForWritingAloneLeavesAFailureForTheNextCall) {
    ASSERT_TRUE(socketsStartup());
    uint16_t port = 0;
    const int listening = nettest::rawListen(&port);
    const int fd = nettest::rawConnect(port);
    const int accepted = nettest::rawAccept(listening);
    ASSERT_GE(accepted, 0);
    // The peer closes with bytes unread: the connection is reset.
    nettest::rawWriteAll(fd, "unread");
    ASSERT_FALSE(nettest::rawNothingArrives(accepted, 5000));
    close(accepted);
    SocketWaitEntry entry{static_cast<SocketHandle>(fd), kWaitWrite, 0};
    EXPECT_EQ(waitOnSockets(&entry, 1, 5000), 1);
    EXPECT_EQ(entry.ready, uint32_t{kWaitWrite});
    char byte = 0;
    EXPECT_EQ(receiveOnHandle(static_cast<SocketHandle>(fd), &byte, 1), -1);
    EXPECT_EQ(socketLastError(), kSockConnectionReset);
    close(fd);
    close(listening);
}
