// Round trips on loopback, side by side in one run: a bare TCP round trip
// (64 bytes each way between two blocking sockets, an echo thread at the
// other end), a 64-byte text from a member's program to the host program's
// player and back through a session, and QueryPlayerCount from the member.
// Both programs spin on their commands, as a program that waits for nothing
// else would. Each: median and 90th percentile over 1,000 rounds, in
// milliseconds, after 50 rounds not counted.
// Depends on the network object and POSIX sockets.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "net/net_session.h"

namespace {

constexpr int kRounds = 1000;
constexpr int kWarmRounds = 50;
constexpr size_t kTextBytes = 64;

using Clock = std::chrono::steady_clock;

void report(const char* what, const std::function<void()>& round) {
    std::vector<double> ms;
    for (int i = 0; i < kWarmRounds + kRounds; ++i) {
        const Clock::time_point start = Clock::now();
        round();
        if (i >= kWarmRounds) ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s median %7.3f ms   p90 %7.3f ms\n", what, ms[ms.size() / 2], ms[ms.size() * 9 / 10]);
}

void bareTcp() {
    const int listening = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listening, 1);
    ::getsockname(listening, reinterpret_cast<sockaddr*>(&address), &length);
    const int client = ::socket(AF_INET, SOCK_STREAM, 0);
    ::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address);
    const int server = ::accept(listening, nullptr, nullptr);
    const int on = 1;
    ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    ::setsockopt(server, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    const auto exchange = [](int fd, bool sendFirst) {
        char bytes[kTextBytes] = {};
        size_t got = 0;
        if (sendFirst && ::send(fd, bytes, sizeof bytes, 0) <= 0) return false;
        while (got < sizeof bytes) {
            const ssize_t n = ::recv(fd, bytes + got, sizeof bytes - got, 0);
            if (n <= 0) return false;
            got += static_cast<size_t>(n);
        }
        return sendFirst || ::send(fd, bytes, sizeof bytes, 0) > 0;
    };
    std::thread echo([&] {
        while (exchange(server, false)) {
        }
    });
    report("bare TCP round trip", [&] { exchange(client, true); });
    ::shutdown(client, SHUT_RDWR);
    echo.join();
    ::close(client);
    ::close(server);
    ::close(listening);
}

// Spins until the player's next text arrives.
std::string takeText(NetSession& session, int32_t player) {
    for (;;) {
        const RtString text = session.receiveText(player);
        if (!text.isEmpty()) return text.c_str();
        std::this_thread::yield();
    }
}

void throughASession() {
    NetSession host;
    NetSession member;
    if (host.host(0, "127.0.0.1") != 1 || member.join("127.0.0.1", host.listeningPort()) != 1) {
        std::printf("the session did not start\n");
        return;
    }
    const int32_t atHost = host.addPlayer("host program");
    const int32_t atMember = member.addPlayer("member program");
    // The host's program sends every text back to whoever sent it.
    std::atomic<bool> stop{false};
    std::thread hostProgram([&] {
        while (!stop.load()) {
            const RtString text = host.receiveText(atHost);
            if (text.isEmpty()) {
                std::this_thread::yield();
                continue;
            }
            host.sendText(atHost, host.lastSenderId, text);
        }
    });
    const std::string text(kTextBytes, 't');
    report("text round trip through a session", [&] {
        member.sendText(atMember, atHost, RtString(text.c_str()));
        takeText(member, atMember);
    });
    report("QueryPlayerCount", [&] { member.playerCount(); });
    stop = true;
    hostProgram.join();
    member.reset();
    host.reset();
}

}  // namespace

int main() {
    bareTcp();
    throughASession();
    return 0;
}
