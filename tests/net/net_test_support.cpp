// Helpers of the network tests.
#include "net_test_support.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "net/net_session.h"
#include "net/socket_records.h"
#include "net/socket_table.h"
#include "platform/socket_port.h"
#include "runtime/engine/engine_state.h"

namespace nettest {

namespace {

sockaddr_in loopback(uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool readable(int fd, int timeoutMs) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, timeoutMs) > 0;
}

// The socket layer as a fresh process has it, before every test.
class FreshSocketLayer : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override {
        if (engine.network) releaseNetSession();
        while (socketReferenceCount() > 0) shutdownSockets();
        shutdownSockets();  // at 0: closes every record left open
        while (platform::socketsCleanup()) {
        }
        setSocketError(0);
    }
};

const bool freshSocketLayerListening = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new FreshSocketLayer);
    return true;
}();

void putU16(std::string& out, uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

}  // namespace

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

double millisSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double runFrames(int durationMs, const std::function<bool(size_t frame)>& frame) {
    const auto start = std::chrono::steady_clock::now();
    for (size_t n = 0; millisSince(start) < durationMs; ++n) {
        if (!frame(n)) break;
        std::this_thread::sleep_until(start + std::chrono::milliseconds(16 * (n + 1)));
    }
    return millisSince(start);
}

void CallTimes::expectWithin(const char* name, double quickMs, double slowestMs) const {
    ASSERT_FALSE(taken_.empty()) << name;
    std::vector<double> sorted = taken_;
    std::sort(sorted.begin(), sorted.end());
    const double quick = sorted[sorted.size() * 95 / 100];
    const std::string prefix(name);
    testing::Test::RecordProperty(prefix + "Calls", std::to_string(sorted.size()));
    testing::Test::RecordProperty(prefix + "QuickMs", std::to_string(quick));
    testing::Test::RecordProperty(prefix + "SlowestMs", std::to_string(sorted.back()));
    EXPECT_LT(quick, quickMs) << name << ": 95 in 100 calls";
    EXPECT_LT(sorted.back(), slowestMs) << name << ": the slowest call";
}

SlotPair makeSlotPair() {
    SlotPair pair;
    startupSockets();
    pair.listening = listenTcp(0);
    if (pair.listening < 0) return pair;
    const uint16_t port = hostOrderPort(getSocketPeer(pair.listening));
    pair.client = connectTcp(socketAddressFromHost(INADDR_LOOPBACK, port), 2000);
    waitUntil([&] {
        pair.server = acceptTcp(pair.listening, nullptr);
        return pair.server >= 0;
    });
    return pair;
}

int rawListen(uint16_t* port, int backlog) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address = loopback(0);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, backlog) != 0) {
        ::close(fd);
        return -1;
    }
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    *port = ntohs(address.sin_port);
    return fd;
}

int rawConnect(uint16_t port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(port);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int rawConnectPending(uint16_t port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in address = loopback(port);
    ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    return fd;
}

bool rawConnectCompletes(int fd, int timeoutMs) {
    pollfd entry{fd, POLLOUT, 0};
    if (::poll(&entry, 1, timeoutMs) <= 0) return false;
    int error = 0;
    socklen_t length = sizeof error;
    getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
    return error == 0;
}

int rawAccept(int listening, int timeoutMs) {
    if (!readable(listening, timeoutMs)) return -1;
    return ::accept(listening, nullptr, nullptr);
}

std::string rawReadExactly(int fd, size_t n, int timeoutMs) {
    std::string bytes;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (bytes.size() < n) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !readable(fd, static_cast<int>(left.count()))) break;
        char buffer[4096];
        const size_t want = n - bytes.size() < sizeof buffer ? n - bytes.size() : sizeof buffer;
        const ssize_t got = ::recv(fd, buffer, want, 0);
        if (got <= 0) break;
        bytes.append(buffer, static_cast<size_t>(got));
    }
    return bytes;
}

bool rawNothingArrives(int fd, int timeoutMs) { return !readable(fd, timeoutMs); }

void rawWriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t sent = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (sent <= 0) return;
        done += static_cast<size_t>(sent);
    }
}

int refusingPort(uint16_t* port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    *port = ntohs(address.sin_port);
    return fd;
}

uint16_t freeUdpPort() {
    int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address = loopback(0);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

std::string hexBytes(const std::string& bytes) {
    std::string text;
    char part[4];
    for (unsigned char c : bytes) {
        std::snprintf(part, sizeof part, text.empty() ? "%02X" : " %02X", c);
        text += part;
    }
    return text;
}

void limitRawBuffers(int fd, int bytes) {
    setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes);
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
}

void limitSlotBuffers(int32_t slot, int bytes) { limitRawBuffers(static_cast<int>(socketHandleOf(slot)), bytes); }

std::string numberedText(size_t number, size_t length) {
    char digits[24];
    std::snprintf(digits, sizeof digits, "%06zu-", number);
    std::string text(digits);
    text.resize(length, static_cast<char>('a' + number % 26));
    return text.substr(0, length);
}

namespace {

// Runs the command with its error output; its exit status, and what it said.
int runCommand(const std::string& command, std::string* said) {
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return -1;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) *said += buffer;
    return ::pclose(pipe);
}

}  // namespace

SilencedPort::SilencedPort(uint16_t port, Where where) {
    std::string said;
    if (runCommand("command -v nft", &said) != 0) {
        whyNot_ = "nft (nftables) is not installed";
        return;
    }
    table_ = "vantric_silence_" + std::to_string(::getpid()) + "_" + std::to_string(port);
    // On loopback every segment passes each hook once, whichever way it
    // goes: dropped at the input hook it is lost on the way, dropped at the
    // output hook the sender's own system fails to send it.
    const std::string p = std::to_string(port);
    const bool leaving = where == Where::AsItLeaves || where == Where::AsItLeavesForIt;
    const bool oneWay = where == Where::OnTheWayToIt || where == Where::AsItLeavesForIt;
    const std::string rule = "; add rule inet " + table_ + " in tcp ";
    const std::string script = "add table inet " + table_ + "; add chain inet " + table_ + " in { type filter hook " +
                               (leaving ? "output" : "input") + " priority -10; }" + rule + "dport " + p + " drop" +
                               (oneWay ? "" : rule + "sport " + p + " drop");
    said.clear();
    if (runCommand("nft '" + script + "'", &said) != 0) {
        whyNot_ = "nft cannot add a rule here: " + said;
        std::string ignored;
        runCommand("nft delete table inet " + table_, &ignored);
        return;
    }
    active_ = true;
}

SilencedPort::~SilencedPort() {
    if (!active_) return;
    std::string ignored;
    runCommand("nft delete table inet " + table_, &ignored);
}

int tcpStateOf(uint16_t localPort, uint16_t remotePort) {
    FILE* table = std::fopen("/proc/net/tcp", "r");
    if (!table) return -1;
    char line[256];
    unsigned address = 0, port = 0, remote = 0, state = 0;
    int found = -1;
    while (found < 0 && std::fgets(line, sizeof line, table)) {
        if (std::sscanf(line, " %*u: %x:%x %*x:%x %x", &address, &port, &remote, &state) == 4 && port == localPort &&
            remote == remotePort && address == htonl(INADDR_LOOPBACK))
            found = static_cast<int>(state);
    }
    std::fclose(table);
    return found;
}

HostedSession::HostedSession() {
    if (host.host(0, "127.0.0.1") == 1) port = host.listeningPort();
}

size_t leftCount(NetSession& session) {
    session.lock();
    const size_t n = session.leftPlayers.size();
    session.unlock();
    return n;
}

size_t hostRecordCount(NetSession& session) {
    session.lock();
    const size_t n = session.hostPlayers.size();
    session.unlock();
    return n;
}

size_t inboxCount(NetSession& session, uint16_t id) {
    session.lock();
    const NetPlayer* player = session.findLocalPlayerLocked(id);
    const size_t n = player ? player->inbox.count() : 0;
    session.unlock();
    return n;
}

size_t inboxBytes(NetSession& session, uint16_t id) {
    session.lock();
    const NetPlayer* player = session.findLocalPlayerLocked(id);
    const size_t n = player ? player->inbox.bytes() : 0;
    session.unlock();
    return n;
}

std::string wireU16(uint16_t value) {
    std::string bytes;
    putU16(bytes, value);
    return bytes;
}

std::string wireMessage(uint8_t kind, uint16_t receiver, uint16_t sender, const std::string& payload) {
    std::string bytes(1, static_cast<char>(kind));
    putU16(bytes, static_cast<uint16_t>(payload.size()));
    putU16(bytes, receiver);
    putU16(bytes, sender);
    return bytes + payload;
}

std::string wireRequest(const std::string& name, bool queryOnly) {
    std::string payload("\xFF\xFF\xFF\xFF\xFE\xFF", 6);
    payload += static_cast<char>(queryOnly ? 1 : 0);
    payload += '\0';
    std::string field = name.substr(0, 127);
    field.resize(128, '\0');
    return wireMessage(1, 0, 0, payload + field);
}

RawPeer::RawPeer(uint16_t port, int receiveBufferBytes) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (receiveBufferBytes > 0) setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBufferBytes, sizeof receiveBufferBytes);
    sockaddr_in address = loopback(port);
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::unique_ptr<RawPeer> RawPeer::acceptOn(int listening, int timeoutMs) {
    std::unique_ptr<RawPeer> peer(new RawPeer);
    peer->fd_ = rawAccept(listening, timeoutMs);
    return peer;
}

RawPeer::~RawPeer() {
    stop();
    if (fd_ >= 0) ::close(fd_);
}

int32_t acceptedSlotFor(const NetSession& host, uint16_t peerPort) {
    for (int32_t slot = 0; slot < kSocketSlotCount; ++slot) {
        if (slot != host.connectionSlot.load() && hostOrderPort(getSocketPeer(slot)) == peerPort) return slot;
    }
    return -1;
}

int32_t RawPeer::acceptedSlot(const NetSession& host) const {
    sockaddr_in own{};
    socklen_t length = sizeof own;
    if (getsockname(fd_, reinterpret_cast<sockaddr*>(&own), &length) != 0) return -1;
    return acceptedSlotFor(host, ntohs(own.sin_port));
}

uint16_t RawPeer::registerPlayer(const std::string& name, bool queryOnly) {
    send(wireRequest(name, queryOnly));
    const std::string reply = read(7);
    if (reply.size() != 7 || reply[0] != 2) return 0;
    return static_cast<uint16_t>(static_cast<uint8_t>(reply[3]) | (static_cast<uint8_t>(reply[4]) << 8));
}

std::string RawPeer::readMessage(int timeoutMs) {
    const std::string header = read(7, timeoutMs);
    if (header.size() != 7) return std::string();
    const size_t length = static_cast<uint8_t>(header[1]) | (static_cast<uint8_t>(header[2]) << 8);
    const std::string payload = read(length, timeoutMs);
    return payload.size() == length ? header + payload : std::string();
}

bool RawPeer::closedWithin(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !readable(fd_, static_cast<int>(left.count()))) return false;
        char buffer[4096];
        if (::recv(fd_, buffer, sizeof buffer, 0) <= 0) return true;
    }
}

void RawPeer::startFlood(const std::string& message) {
    stop();
    thread_ = std::thread([this, message] { run(message, message.size(), 0); });
}

void RawPeer::startTrickle(const std::string& bytes, int intervalMs) {
    stop();
    thread_ = std::thread([this, bytes, intervalMs] { run(bytes, 1, intervalMs); });
}

void RawPeer::startSegments(const std::string& bytes, size_t segmentBytes, int intervalMs) {
    stop();
    const int on = 1;
    setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    thread_ = std::thread([this, bytes, segmentBytes, intervalMs] { run(bytes, segmentBytes, intervalMs); });
}

void RawPeer::stop() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    stopping_ = false;
}

void RawPeer::run(std::string bytes, size_t piece, int intervalMs) {
    // A flood repeats its message; a trickle sends its bytes once.
    const bool repeat = intervalMs == 0;
    size_t at = 0;
    while (!stopping_) {
        if (at == bytes.size()) {
            if (!repeat) return;
            at = 0;
        }
        pollfd entry{fd_, POLLOUT, 0};
        if (::poll(&entry, 1, 10) <= 0) continue;
        if (entry.revents & (POLLERR | POLLHUP)) return;
        const ssize_t sent = ::send(fd_, bytes.data() + at, std::min(piece, bytes.size() - at), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK) continue;
            return;  // the host closed the connection
        }
        at += static_cast<size_t>(sent);
        sent_ += static_cast<size_t>(sent);
        if (intervalMs > 0) {
            const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(intervalMs);
            while (!stopping_ && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
}

std::unique_ptr<RawPeer> fakeHostFor(NetSession& member, int listening, uint16_t port) {
    std::unique_ptr<RawPeer> host;
    std::thread handshake([&] {
        host = RawPeer::acceptOn(listening);
        if (host->read(7 + 136).size() == 143) host->send(wireMessage(2, 102, 0));
        if (host->read(7) == wireMessage(104, 0, 102)) host->send(wireMessage(104, 102, 0, wireU16(1)));
    });
    EXPECT_EQ(member.join("127.0.0.1", port), 1);
    handshake.join();
    return host;
}

Collector::Collector(int fd, Options options) : fd_(fd), options_(options) {
    thread_ = std::thread([this] { run(); });
}

Collector::~Collector() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
}

size_t Collector::size() const { return size_.load(); }

std::string Collector::bytes() const {
    std::lock_guard<std::mutex> guard(lock_);
    return bytes_;
}

bool Collector::waitForBytes(size_t n, int timeoutMs) const {
    return waitUntil([&] { return size() >= n; }, timeoutMs);
}

double Collector::longestSilenceMs() const {
    std::lock_guard<std::mutex> guard(lock_);
    return arrived_ ? std::max(longestSilenceMs_, millisSince(lastArrival_)) : 0.0;
}

void Collector::run() {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    while (!stopping_ && Clock::now() - start < std::chrono::milliseconds(options_.startAfterMs)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    std::vector<char> buffer(64 * 1024);
    auto tickEnds = Clock::now() + std::chrono::milliseconds(options_.tickMs);
    size_t leftInTick = options_.bytesPerTick;
    while (!stopping_) {
        if (options_.bytesPerTick > 0 && leftInTick == 0) {
            std::this_thread::sleep_until(tickEnds);
            tickEnds += std::chrono::milliseconds(options_.tickMs);
            leftInTick = options_.bytesPerTick;
        }
        if (!readable(fd_, 10)) continue;
        const size_t want = options_.bytesPerTick > 0 ? std::min(buffer.size(), leftInTick) : buffer.size();
        const ssize_t got = ::recv(fd_, buffer.data(), want, 0);
        if (got <= 0) {
            closed_ = true;
            return;
        }
        if (options_.bytesPerTick > 0) leftInTick -= static_cast<size_t>(got);
        {
            std::lock_guard<std::mutex> guard(lock_);
            if (arrived_) longestSilenceMs_ = std::max(longestSilenceMs_, millisSince(lastArrival_));
            arrived_ = true;
            lastArrival_ = Clock::now();
            if (options_.keep) bytes_.append(buffer.data(), static_cast<size_t>(got));
        }
        size_ += static_cast<size_t>(got);
    }
}

TinyHttpServer::TinyHttpServer(Script script) : script_(std::move(script)) {
    listening_ = rawListen(&port_);
    thread_ = std::thread([this] { serve(); });
}

TinyHttpServer::~TinyHttpServer() {
    finish();
    if (listening_ >= 0) ::close(listening_);
}

void TinyHttpServer::finish() {
    if (thread_.joinable()) thread_.join();
}

void TinyHttpServer::serve() {
    const int client = rawAccept(listening_, kWaitMs);
    if (client < 0) return;
    accepted_ = true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (request_.find("\r\n\r\n") == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        if (!readable(client, 100)) continue;
        char buffer[1024];
        const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        request_.append(buffer, static_cast<size_t>(got));
    }
    for (const std::string& piece : script_.pieces) rawWriteAll(client, piece);
    if (script_.waitForClientClose) {
        char buffer[256];
        while (readable(client, kWaitMs)) {
            const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
            if (got <= 0) {
                clientClosedFirst_ = true;
                break;
            }
        }
    }
    if (script_.reset) {
        const linger now{1, 0};
        setsockopt(client, SOL_SOCKET, SO_LINGER, &now, sizeof now);
    }
    ::close(client);
}

}  // namespace nettest
