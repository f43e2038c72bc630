// Helpers of the network tests.
#include "net_test_support.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "net/socket_table.h"

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

}  // namespace

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
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
    ::close(client);
}

}  // namespace nettest
