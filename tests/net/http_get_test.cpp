// The HTTP/1.0 GET client against a tiny server of the test's own on loopback.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "file_bytes.h"
#include "net/http_get.h"
#include "net/socket_commands.h"
#include "net/socket_table.h"
#include "net_test_support.h"
#include "runtime/services/runtime_error.h"
#include "temp_dir.h"

using nettest::TinyHttpServer;
using testsupport::TempDir;

namespace {

const RtString kHost("127.0.0.1");

std::string fileText(const std::string& path) { return testsupport::readFileBytes(path); }

}  // namespace

TEST(HttpGet, SendsExactlyTheRequestAndWritesTheBodyToAFile) {
    TempDir dir;
    TinyHttpServer server({{"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nhello"}});
    const std::string path = dir.file("body.txt");
    EXPECT_EQ(HttpGetToFile(kHost, RtString("/files/a.txt"), server.port(), RtString(path.c_str()), 2000), 1);
    server.finish();
    EXPECT_EQ(server.request(),
              "GET /files/a.txt HTTP/1.0\r\nHost:127.0.0.1\r\nAccept: */*\r\nUser-Agent: Vantric\r\n\r\n");
    EXPECT_EQ(fileText(path), "hello");
    // The socket is closed and the download's reference given back.
    EXPECT_EQ(usedSocketSlotCount(), 0);
    EXPECT_EQ(socketReferenceCount(), 0);
}

TEST(HttpGet, DownloadsLeaveTheProgramsReferencesAsTheyFoundThem) {
    ASSERT_EQ(SocketInit(), 1);
    const int32_t own = SocketOpenUdp(0);
    ASSERT_GE(own, 0);
    for (int i = 0; i < 7; ++i) {
        TinyHttpServer server({{"HTTP/1.0 200 OK\r\n\r\nbody"}});
        EXPECT_STREQ(HttpGetToString(kHost, RtString("/"), server.port(), 10, 2000).c_str(), "body");
    }
    EXPECT_EQ(socketReferenceCount(), 1);
    SocketShutdown();  // the program's one reference: its sockets close
    EXPECT_EQ(socketReferenceCount(), 0);
    EXPECT_FALSE(isSocketSlotInUse(own));
}

TEST(HttpGet, TextsHoldTheBodyUpToMaxBytesOrItsFirstNul) {
    const struct {
        std::string response;
        int32_t maxBytes;
        const char* text;
    } cases[] = {
        {"HTTP/1.0 200 OK\nServer: t\n\nhello", 100, "hello"},  // bare line feeds
        {std::string("HTTP/1.0 200 OK\r\n\r\nab\0cd", 24), 10, "ab"},
        {"HTTP/1.0 200 OK\r\n\r\nbody bytes", 0, ""},  // reads the whole response
        {"HTTP/1.0 200 OK\r\n\r\nbody", -3, ""},
    };
    for (const auto& c : cases) {
        TinyHttpServer server({{c.response}});
        const RtString text = HttpGetToString(kHost, RtString("/"), server.port(), c.maxBytes, 2000);
        server.finish();
        EXPECT_STREQ(text.c_str(), c.text) << c.response;
        EXPECT_EQ(text.length, std::strlen(c.text));
        EXPECT_FALSE(server.request().empty());
    }
}

TEST(HttpGet, HeaderAndBodyInManyPiecesKeepEveryByte) {
    TempDir dir;
    std::string body(5000, '\0');
    for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i % 251);
    // The empty line is split between pieces; the body holds NULs.
    TinyHttpServer server({{"HTTP/1.0 404 Not Found\r\nX: y\r", "\n\r", "\n" + body.substr(0, 3), body.substr(3)}});
    const std::string path = dir.file("bin");
    EXPECT_EQ(HttpGetToFile(kHost, RtString("/missing"), server.port(), RtString(path.c_str()), 2000), 1);
    EXPECT_TRUE(fileText(path) == body);
}

TEST(HttpGet, TheTextStopsAtMaxBytesAndEndsTheTransfer) {
    TinyHttpServer server({{"HTTP/1.0 200 OK\r\n\r\n", "0123456789"}, true});
    // A later piece may arrive with the header or alone: either way the
    // text holds three bytes and the client leaves before the server.
    const RtString text = HttpGetToString(kHost, RtString("/ten"), server.port(), 3, 2000);
    server.finish();
    EXPECT_STREQ(text.c_str(), "012");
    EXPECT_EQ(text.length, 3u);
    EXPECT_TRUE(server.clientClosedFirst());
}

TEST(HttpGet, ResponsesCutShortFail) {
    const struct {
        std::string response;
        int32_t cause;
    } cases[] = {
        {"", 10054},                                                    // closed without a word
        {"HTTP/1.0 200 OK\r\nServer: t\r\n", 10054},                    // the header never ends
        {"HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nhello", 10054},  // half the body
        {"ICY 200 OK\r\nicy-name: r\r\n", 10054},                         // no end of header either
        {"HTTP/1.0 200 OK\r\nX-Long: " + std::string(200000, 'h') + "\r\n\r\nbody", 10053},
    };
    TempDir dir;
    const std::string path = dir.file("body");
    for (const auto& c : cases) {
        TinyHttpServer server({{c.response}});
        EXPECT_EQ(HttpGetToFile(kHost, RtString("/"), server.port(), RtString(path.c_str()), 2000), 0)
            << c.response.substr(0, 40);
        EXPECT_EQ(lastSocketError(), c.cause) << c.response.substr(0, 40);
        server.finish();
    }
}

TEST(HttpGet, AnswersWhoseFirstLineIsNotHttpAreTakenAsTheyCome) {
    const struct {
        std::string response;
        const char* body;
    } cases[] = {
        {"ICY 200 OK\r\nicy-name: radio\r\nicy-metaint: 0\r\n\r\nstream bytes", "stream bytes"},
        {"220 ready\r\n\r\nbody", "body"},
        {"ICY 200 OK\nContent-Length: 3\n\nabcdef", "abc"},
        {"\r\n\r\nno status at all", "no status at all"},
    };
    TempDir dir;
    const std::string path = dir.file("body");
    for (const auto& c : cases) {
        TinyHttpServer server({{c.response}});
        EXPECT_EQ(HttpGetToFile(kHost, RtString("/"), server.port(), RtString(path.c_str()), 2000), 1) << c.response;
        EXPECT_EQ(lastSocketError(), 0) << c.response;
        server.finish();
        EXPECT_EQ(fileText(path), c.body) << c.response;
    }
}

TEST(HttpGet, AnAnnouncedLengthEndsTheBodyWithoutWaitingForTheClose) {
    const struct {
        std::string response;
        bool serverHolds;  // the server keeps the connection until the client leaves
        const char* body;
    } cases[] = {
        {"HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello", true, "hello"},
        {"HTTP/1.1 200 OK\ncontent-length:  3 \n\nabcdef", true, "abc"},
        {"HTTP/1.0 204 No Content\r\nContent-Length: 0\r\n\r\n", true, ""},
        // Lengths that cannot be one are not taken for one.
        {"HTTP/1.0 200 OK\r\nContent-Length: -4\r\n\r\nbody", false, "body"},
        {"HTTP/1.0 200 OK\r\nContent-Length: 99999999999999999999999\r\n\r\nbody", false, "body"},
        {"HTTP/1.0 200 OK\r\nContent-Length: 2x\r\nX-Content-Length: 1\r\n\r\nbody", false, "body"},
    };
    TempDir dir;
    const std::string path = dir.file("body");
    for (const auto& c : cases) {
        TinyHttpServer server({{c.response}, c.serverHolds});
        EXPECT_EQ(HttpGetToFile(kHost, RtString("/"), server.port(), RtString(path.c_str()), 5000), 1) << c.response;
        server.finish();
        EXPECT_EQ(fileText(path), c.body) << c.response;
        EXPECT_EQ(server.clientClosedFirst(), c.serverHolds) << c.response;
    }
}

TEST(HttpGet, AHeaderThatNeverEndsIsRefusedWhileItStillFlows) {
    uint16_t port = 0;
    const int listening = nettest::rawListen(&port);
    std::unique_ptr<nettest::RawPeer> peer;
    std::thread server([&] {
        peer = nettest::RawPeer::acceptOn(listening);
        if (!peer->connected()) return;
        peer->send("HTTP/1.0 200 OK\r\n");
        peer->startFlood("X-Pad: 0123456789\r\n");
    });
    const RtString text = HttpGetToString(kHost, RtString("/"), port, 10, 2000);
    server.join();
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(lastSocketError(), 10053);
    peer.reset();
    close(listening);
}

TEST(HttpGet, LongPathsGetARequestBufferOfTheirSize) {
    const std::string path = "/" + std::string(3000, 'p');
    TinyHttpServer server({{"HTTP/1.0 200 OK\r\n\r\nok"}});
    EXPECT_STREQ(HttpGetToString(kHost, RtString(path.c_str()), server.port(), 10, 2000).c_str(), "ok");
    server.finish();
    EXPECT_EQ(server.request(), "GET " + path + " HTTP/1.0\r\nHost:127.0.0.1\r\nAccept: */*\r\nUser-Agent: Vantric\r\n\r\n");
}

TEST(HttpGet, MemoryBlockNamesAndOverlongPathsAreRefusedBeforeConnecting) {
    uint16_t port = 0;
    const int listening = nettest::rawListen(&port);
    TempDir dir;
    EXPECT_EQ(HttpGetToFile(kHost, RtString("/"), port, RtString("mem://00000010.00001000"), 2000), 0);
    EXPECT_EQ(HttpGetToFile(kHost, RtString("/"), port, RtString((dir.path() + "/" + std::string(1100, 'n')).c_str()), 2000), 0);
    EXPECT_EQ(nettest::rawAccept(listening, 50), -1);  // nobody connected
    EXPECT_EQ(socketReferenceCount(), 0);
    close(listening);
}

TEST(HttpGet, ARefusedConnectionKeepsTheOldFileAndGivesItsCause) {
    TempDir dir;
    const std::string path = dir.file("earlier.bin");
    const std::string earlier(2000, 'e');
    testsupport::writeFileBytes(path, earlier);
    uint16_t port = 0;
    const int holder = nettest::refusingPort(&port);
    EXPECT_EQ(HttpGetToFile(kHost, RtString("/"), port, RtString(path.c_str()), 2000), 0);
    EXPECT_EQ(lastSocketError(), 10061);
    EXPECT_EQ(socketReferenceCount(), 0);  // a failed download gives its reference back
    EXPECT_EQ(fileText(path), earlier);
    // Where there was no file, none is left.
    EXPECT_EQ(HttpGetToFile(kHost, RtString("/"), port, RtString(dir.file("new.bin").c_str()), 2000), 0);
    EXPECT_EQ(testsupport::namesInFolder(dir.path()), std::vector<std::string>{"earlier.bin"});
    close(holder);
}

// A body without a length ends only with an orderly close: one cut by a
// reset is no whole download.
TEST(HttpGet, ABodyCutByAResetFailsAndKeepsTheOldFile) {
    TempDir dir;
    const std::string path = dir.file("earlier.bin");
    testsupport::writeFileBytes(path, std::string(2000, 'e'));
    TinyHttpServer server({{"HTTP/1.0 200 OK\r\n\r\n", std::string(1000, 'b')}, false, true});
    EXPECT_EQ(HttpGetToFile(kHost, RtString("/"), server.port(), RtString(path.c_str()), 2000), 0);
    EXPECT_EQ(lastSocketError(), 10054);
    EXPECT_TRUE(fileText(path) == std::string(2000, 'e'));
    server.finish();
}

TEST(HttpGet, ASilentServerFailsAfterTheTimeLimit) {
    TinyHttpServer server({{}, true});
    const RtString text = HttpGetToString(kHost, RtString("/"), server.port(), 10, 300);
    server.finish();
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(lastSocketError(), 10060);
    EXPECT_TRUE(server.clientClosedFirst());
}

TEST(HttpGet, PortZeroMeansEighty) {
    EXPECT_EQ(httpPort(0), 80);
    EXPECT_EQ(httpPort(65536), 80);
    EXPECT_EQ(httpPort(8080), 8080);
    EXPECT_EQ(httpPort(65536 + 81), 81);
}

// The file is saved whole: a download that cannot be written (here a
// file-size limit in a child) keeps the old file as it was, with nothing
// left beside it; one that succeeds leaves exactly the body, also over a
// longer file.
TEST(HttpGet, ADownloadThatCannotBeWrittenKeepsTheOldFile) {
    TempDir dir;
    testsupport::ScopedEnv tmp("TMPDIR", dir.path().c_str());
    const std::string path = dir.file("earlier.bin");
    const std::string earlier(2000, 'e');
    testsupport::writeFileBytes(path, earlier);
    // The server lives in the child: a fork while another thread runs could
    // copy a lock that thread holds.
    const testsupport::ChildResult child = testsupport::runInChild([&] {
        TinyHttpServer server({{"HTTP/1.0 200 OK\r\n\r\n" + std::string(3000, 'b')}});
        testsupport::limitFileSizes(1000);
        clearErrorCode();
        const int32_t result = HttpGetToFile(kHost, RtString("/"), server.port(), RtString(path.c_str()), 2000);
        std::printf("%d %d %d", result, RtErrorCode, lastSocketError());
        server.finish();
    });
    ASSERT_TRUE(child.exited);
    EXPECT_EQ(child.out, "0 3 10107");  // the file's failure: a system call, not the network
    EXPECT_EQ(fileText(path), earlier);
    EXPECT_EQ(testsupport::namesInFolder(dir.path()), (std::vector<std::string>{"ErrorLog.txt", "earlier.bin"}));
    EXPECT_EQ(fileText(dir.file("ErrorLog.txt")), "HttpGetToFile: cannot write " + path + ": File too large\n");

    TinyHttpServer shorter({{"HTTP/1.0 200 OK\r\n\r\nhello"}});
    EXPECT_EQ(HttpGetToFile(kHost, RtString("/"), shorter.port(), RtString(path.c_str()), 2000), 1);
    shorter.finish();
    EXPECT_EQ(fileText(path), "hello");
}

// A target that cannot be made fails before connecting, as error 3, with a
// cause in the socket error rather than "No error".
TEST(HttpGet, ATargetThatCannotBeMadeLeavesItsCause) {
    TempDir dir;
    testsupport::ScopedEnv tmp("TMPDIR", dir.path().c_str());
    for (const std::string& target : {dir.path(), dir.file("missing/body.bin")}) {
        clearErrorCode();
        setSocketError(0);
        EXPECT_EQ(HttpGetToFile(kHost, RtString("/"), 80, RtString(target.c_str()), 2000), 0) << target;
        EXPECT_EQ(RtErrorCode, 3) << target;
        EXPECT_EQ(lastSocketError(), 10107) << target;
    }
}
