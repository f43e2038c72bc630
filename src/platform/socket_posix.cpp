// The socket stand-in over POSIX sockets (see socket_port.h).
//
// Waiting uses poll rather than select, so descriptors above FD_SETSIZE wait
// as well as small ones and one wait covers any number of sockets. A
// non-blocking connect's outcome is read from SO_ERROR when the socket turns
// writable, so that a refused connect lands in the exception set as the
// layer expects, never in the write set. Datagrams are read with recvmsg,
// whose flags tell a datagram cut to fit from a whole one.
// Depends on POSIX sockets, poll, getaddrinfo, setrlimit, Linux's counts of
// unacknowledged and unsent bytes (SIOCOUTQ, SIOCOUTQNSD), its TCP
// options for keep-alive, retry cap and unsent bytes, and TCP_INFO
// (acknowledged bytes since Linux 4.2, the peer's window since 5.4).
#include <arpa/inet.h>
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <linux/sockios.h>
#include <linux/tcp.h>  // the whole of TCP_INFO: the libc header lacks its later fields
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "platform/socket_port.h"

namespace platform {

namespace {

std::mutex startupLock;
int32_t startupCount = 0;  // start-ups not yet matched by a clean-up
bool descriptorLimitRaised = false;

constexpr rlim_t kWantedDescriptors = 4096;
// TCP_RTO_MAX_MS (Linux 6.15), by number: older headers lack the name.
constexpr int kTcpRetryCapOption = 44;
constexpr uint32_t kMostKeepAliveProbes = 127;  // the most TCP_KEEPCNT takes
// The system's numbers for the TCP states that a peer's FIN, a reset or the
// system's own end of a connection lead to.
constexpr uint8_t kTcpClose = 7, kTcpCloseWait = 8, kTcpLastAck = 9, kTcpClosing = 11;

bool isStarted() {
    std::lock_guard<std::mutex> guard(startupLock);
    return startupCount > 0;
}

// The descriptor of a handle; -1 for a handle no descriptor can have.
int descriptorOf(SocketHandle socket) { return socket > static_cast<SocketHandle>(INT_MAX) ? -1 : static_cast<int>(socket); }

int32_t succeed(int32_t result) {
    setSocketLastError(kSockOk);
    return result;
}

int32_t failWith(int32_t code) {
    setSocketLastError(code);
    return -1;
}

int32_t failFromErrno() { return failWith(socketErrorFromErrno(errno)); }

// A call that returns 0 on success and -1 with errno set.
int32_t zeroOrFail(int result) { return result == 0 ? succeed(0) : failFromErrno(); }

// A transfer: the byte count, or -1 with errno set.
int32_t countOrFail(ssize_t count) { return count < 0 ? failFromErrno() : succeed(static_cast<int32_t>(count)); }

// Whether the descriptor is a socket; errno tells why not.
bool isSocketDescriptor(int fd) {
    int type = 0;
    socklen_t length = sizeof type;
    return getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &length) == 0;
}

// Calls on a handle that can name no descriptor fail as on a closed one.
#define REQUIRE_DESCRIPTOR(fd, socket)           \
    const int fd = descriptorOf(socket);         \
    if (fd < 0) return failWith(kSockNotSocket)

sockaddr_in toSockaddr(const SocketEndpoint& endpoint) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = endpoint.port;
    address.sin_addr.s_addr = endpoint.address;
    return address;
}

SocketEndpoint fromSockaddr(const sockaddr_in& address) {
    SocketEndpoint endpoint;
    endpoint.address = address.sin_addr.s_addr;
    endpoint.port = address.sin_port;
    return endpoint;
}

// accept4 or getsockname, which fill in an IPv4 address: the call's result
// with the address in *out (when wanted), or -1 with the last error set.
template <class Call>
int callFillingAddress(SocketHandle socket, SocketEndpoint* out, Call&& call) {
    const int fd = descriptorOf(socket);
    if (fd < 0) return failWith(kSockNotSocket);
    sockaddr_in address{};
    socklen_t length = sizeof address;
    const int result = call(fd, reinterpret_cast<sockaddr*>(&address), &length);
    if (result < 0) return failFromErrno();
    if (out) *out = fromSockaddr(address);
    setSocketLastError(kSockOk);
    return result;
}

int clampCount(uint32_t count) { return count > static_cast<uint32_t>(INT_MAX) ? INT_MAX : static_cast<int>(count); }

short pollEventsFor(uint32_t wanted) {
    short events = 0;
    if (wanted & kWaitRead) events |= POLLIN;
    if (wanted & (kWaitWrite | kWaitException)) events |= POLLOUT;
    return events;
}

// poll, resumed after a signal until the time is up: its result, or -1
// with errno set.
int pollUntil(pollfd* entries, uint32_t count, uint32_t timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        const int result = ::poll(entries, count, left > 0 ? static_cast<int>(left > INT_MAX ? INT_MAX : left) : 0);
        if (result >= 0 || errno != EINTR) return result;
    }
}

// The wanted conditions that a polled descriptor met. Writable with a
// pending error is a failed connect (or a broken connection): the exception
// set only, the failure's number in *pending. Reading the error clears it,
// so it is read only for a wait that asks for the exception set: a wait
// for writing alone is met, and the next send finds the error itself.
uint32_t conditionsMet(int fd, uint32_t wanted, short revents, int32_t* pending) {
    uint32_t met = 0;
    if ((wanted & kWaitRead) && (revents & (POLLIN | POLLHUP | POLLERR))) met |= kWaitRead;
    if (!(wanted & kWaitException)) {
        if ((wanted & kWaitWrite) && (revents & (POLLOUT | POLLHUP | POLLERR))) met |= kWaitWrite;
        return met;
    }
    if (revents & (POLLOUT | POLLHUP | POLLERR)) {
        int error = 0;
        socklen_t length = sizeof error;
        if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
        if (error != 0) {
            if (wanted & kWaitException) met |= kWaitException;
            *pending = socketErrorFromErrno(error);
        } else if (wanted & kWaitWrite) {
            met |= kWaitWrite;
        }
    }
    return met;
}

void raiseDescriptorLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return;
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < kWantedDescriptors) {
        rlim_t wanted = kWantedDescriptors;
        if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < wanted) wanted = limit.rlim_max;
        limit.rlim_cur = wanted;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

}  // namespace

uint32_t networkToHost32(uint32_t value) { return ntohl(value); }
uint16_t networkToHost16(uint16_t value) { return ntohs(value); }

bool socketsStartup() {
    std::lock_guard<std::mutex> guard(startupLock);
    if (!descriptorLimitRaised) {
        raiseDescriptorLimit();
        descriptorLimitRaised = true;
    }
    ++startupCount;
    setSocketLastError(kSockOk);
    return true;
}

bool socketsCleanup() {
    std::lock_guard<std::mutex> guard(startupLock);
    if (startupCount <= 0) {
        setSocketLastError(kSockNotInitialised);
        return false;
    }
    --startupCount;
    setSocketLastError(kSockOk);
    return true;
}

SocketHandle openSocket(SocketKind kind) {
    if (!isStarted()) {
        setSocketLastError(kSockNotInitialised);
        return kInvalidSocketHandle;
    }
    const bool stream = kind == SocketKind::Stream;
    int fd = ::socket(AF_INET, (stream ? SOCK_STREAM : SOCK_DGRAM) | SOCK_CLOEXEC,
                      stream ? IPPROTO_TCP : IPPROTO_UDP);
    if (fd < 0) {
        failFromErrno();
        return kInvalidSocketHandle;
    }
    setSocketLastError(kSockOk);
    return static_cast<SocketHandle>(fd);
}

int32_t setSocketOption(SocketHandle socket, SocketOption option, const void* value, uint32_t size) {
    REQUIRE_DESCRIPTOR(fd, socket);
    if (!value) return failWith(kSockBadAddress);
    int result = -1;
    if (option == SocketOption::Linger) {
        if (size < 4) return failWith(kSockBadAddress);
        uint16_t halves[2];
        std::memcpy(halves, value, sizeof halves);
        linger setting{};
        setting.l_onoff = halves[0] != 0;
        setting.l_linger = halves[1];
        result = setsockopt(fd, SOL_SOCKET, SO_LINGER, &setting, sizeof setting);
    } else {
        int flag = 0;
        if (size == 4) {
            int32_t word;
            std::memcpy(&word, value, 4);
            flag = word != 0;
        } else if (size == 1) {
            flag = *static_cast<const unsigned char*>(value) != 0;
        } else {
            return failWith(kSockBadAddress);
        }
        if (option == SocketOption::NoDelay) {
            result = setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &flag, sizeof flag);
        } else {
            const int name = option == SocketOption::ReuseAddress ? SO_REUSEADDR : SO_BROADCAST;
            result = setsockopt(fd, SOL_SOCKET, name, &flag, sizeof flag);
        }
    }
    return zeroOrFail(result);
}

int32_t setSocketNonBlocking(SocketHandle socket, bool nonBlocking) {
    REQUIRE_DESCRIPTOR(fd, socket);
    // fcntl works on any descriptor; the service's call works on sockets only.
    if (!isSocketDescriptor(fd)) return failFromErrno();
    int flags = fcntl(fd, F_GETFL);
    if (flags < 0) return failFromErrno();
    flags = nonBlocking ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
    return zeroOrFail(fcntl(fd, F_SETFL, flags));
}

int32_t keepSocketHeard(SocketHandle socket, uint32_t limitMs) {
    REQUIRE_DESCRIPTOR(fd, socket);
    // For the 26 s a session uses: a probe after 2 s of quiet, then every
    // 2 s, so that a live peer is heard at least that often; a short limit
    // probes every second. Unanswered, the probes go on past the limit:
    // the owner's look ends the link, never the probes' own count. No user
    // timeout either: the system can start counting one outage from an
    // earlier one and end a link a moment into the next.
    const int on = 1;
    const int probeSeconds = limitMs >= 24000 ? 2 : 1;
    const int probes = static_cast<int>(std::min<uint32_t>(limitMs / 1000 / static_cast<uint32_t>(probeSeconds) + 2,
                                                           kMostKeepAliveProbes));
    if (setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on) != 0 ||
        setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &probeSeconds, sizeof probeSeconds) != 0 ||
        setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &probeSeconds, sizeof probeSeconds) != 0 ||
        setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes) != 0) {
        return failFromErrno();
    }
    // The cap on the retry interval came with Linux 6.15; older kernels
    // refuse it, and back off as they always did.
    const int retryCapMs = static_cast<int>(kSilenceRetryCapMs);
    if (setsockopt(fd, IPPROTO_TCP, kTcpRetryCapOption, &retryCapMs, sizeof retryCapMs) != 0 && errno != ENOPROTOOPT) {
        return failFromErrno();
    }
    return succeed(0);
}

int32_t lookAtPeer(SocketHandle socket, PeerLook* look) {
    REQUIRE_DESCRIPTOR(fd, socket);
    tcp_info info {};
    socklen_t length = sizeof info;
    if (getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &length) != 0) return failFromErrno();
    const uint32_t heard = std::min(info.tcpi_last_ack_recv, info.tcpi_last_data_recv);
    look->heardMs = static_cast<int32_t>(std::min<uint32_t>(heard, INT32_MAX));
    look->bytesAcknowledged = info.tcpi_bytes_acked;
    look->segmentsInFlight = info.tcpi_unacked;
    look->bytesUnsent = info.tcpi_notsent_bytes;
    // The peer's window came with Linux 5.4.
    const bool windowKnown = length >= offsetof(tcp_info, tcpi_snd_wnd) + sizeof info.tcpi_snd_wnd;
    look->windowClosed = windowKnown ? info.tcpi_snd_wnd < info.tcpi_snd_mss : info.tcpi_unacked == 0;
    // A FIN received: close-wait, or last-ack and closing once this side
    // shut its own sending too. A reset and the system's own end read as
    // closed, and so does an orderly close of both sides: the system hands
    // the rest of it to a time-wait record of its own, and the socket
    // itself reads as closed from then on.
    const uint8_t state = info.tcpi_state;
    look->end = state == kTcpClose ? PeerLook::End::Over
                : (state == kTcpCloseWait || state == kTcpLastAck || state == kTcpClosing)
                    ? PeerLook::End::Finished
                    : PeerLook::End::None;
    return succeed(0);
}

int32_t setSocketUnsentLimit(SocketHandle socket, uint32_t bytes) {
    REQUIRE_DESCRIPTOR(fd, socket);
    const int limit = clampCount(bytes);
    return zeroOrFail(setsockopt(fd, IPPROTO_TCP, TCP_NOTSENT_LOWAT, &limit, sizeof limit));
}

int32_t setSocketUnreadLimit(SocketHandle socket, uint32_t bytes) {
    REQUIRE_DESCRIPTOR(fd, socket);
    const int limit = clampCount(bytes);
    return zeroOrFail(setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &limit, sizeof limit));
}

int32_t bindSocket(SocketHandle socket, const SocketEndpoint& local) {
    REQUIRE_DESCRIPTOR(fd, socket);
    sockaddr_in address = toSockaddr(local);
    return zeroOrFail(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address));
}

int32_t listenOnSocket(SocketHandle socket, int32_t backlog) {
    REQUIRE_DESCRIPTOR(fd, socket);
    return zeroOrFail(::listen(fd, backlog));
}

SocketHandle acceptOnSocket(SocketHandle socket, SocketEndpoint* remote) {
    const int accepted = callFillingAddress(socket, remote, [](int fd, sockaddr* address, socklen_t* length) {
        return ::accept4(fd, address, length, SOCK_CLOEXEC);
    });
    return accepted < 0 ? kInvalidSocketHandle : static_cast<SocketHandle>(accepted);
}

int32_t connectSocket(SocketHandle socket, const SocketEndpoint& remote) {
    REQUIRE_DESCRIPTOR(fd, socket);
    sockaddr_in address = toSockaddr(remote);
    return zeroOrFail(::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address));
}

bool socketLocalEndpoint(SocketHandle socket, SocketEndpoint* local) {
    return callFillingAddress(socket, local, [](int fd, sockaddr* address, socklen_t* length) {
               return ::getsockname(fd, address, length);
           }) >= 0;
}

int32_t shutdownSocket(SocketHandle socket, SocketDirection direction) {
    REQUIRE_DESCRIPTOR(fd, socket);
    const int how = direction == SocketDirection::Receive ? SHUT_RD
                    : direction == SocketDirection::Send  ? SHUT_WR
                                                          : SHUT_RDWR;
    return zeroOrFail(::shutdown(fd, how));
}

int32_t closeSocketHandle(SocketHandle socket) {
    REQUIRE_DESCRIPTOR(fd, socket);
    // Only sockets are closed here, never a file that happens to hold the number.
    if (!isSocketDescriptor(fd)) return failFromErrno();
    // After close the descriptor is gone even when close reports EINTR.
    if (::close(fd) != 0 && errno != EINTR) return failFromErrno();
    return succeed(0);
}

int32_t sendOnHandle(SocketHandle socket, const void* bytes, uint32_t count) {
    REQUIRE_DESCRIPTOR(fd, socket);
    return countOrFail(::send(fd, bytes, static_cast<size_t>(clampCount(count)), MSG_NOSIGNAL));
}

// A count of bytes the system holds for a stream socket (`request`:
// SIOCOUTQ or SIOCOUTQNSD), or -1.
int32_t heldCount(SocketHandle socket, unsigned long request) {
    REQUIRE_DESCRIPTOR(fd, socket);
    int bytes = 0;
    if (::ioctl(fd, request, &bytes) != 0) return failFromErrno();
    return succeed(bytes);
}

int32_t unacknowledgedOnHandle(SocketHandle socket) { return heldCount(socket, SIOCOUTQ); }

int32_t unsentOnHandle(SocketHandle socket) { return heldCount(socket, SIOCOUTQNSD); }

int32_t sendToOnHandle(SocketHandle socket, const void* bytes, uint32_t count, const SocketEndpoint& target) {
    REQUIRE_DESCRIPTOR(fd, socket);
    sockaddr_in address = toSockaddr(target);
    return countOrFail(::sendto(fd, bytes, static_cast<size_t>(clampCount(count)), MSG_NOSIGNAL,
                                reinterpret_cast<const sockaddr*>(&address), sizeof address));
}

int32_t receiveOnHandle(SocketHandle socket, void* buffer, uint32_t count) {
    REQUIRE_DESCRIPTOR(fd, socket);
    return countOrFail(::recv(fd, buffer, static_cast<size_t>(clampCount(count)), 0));
}

int32_t receiveFromOnHandle(SocketHandle socket, void* buffer, uint32_t count, SocketEndpoint* source) {
    REQUIRE_DESCRIPTOR(fd, socket);
    sockaddr_in address{};
    iovec room{buffer, static_cast<size_t>(clampCount(count))};
    msghdr message{};
    message.msg_name = &address;
    message.msg_namelen = sizeof address;
    message.msg_iov = &room;
    message.msg_iovlen = 1;
    // recvmsg rather than recvfrom: only its flags tell that the datagram
    // was longer than the room and its tail dropped.
    const ssize_t got = ::recvmsg(fd, &message, 0);
    if (got < 0) return failFromErrno();
    if (source) *source = address.sin_family == AF_INET ? fromSockaddr(address) : SocketEndpoint{};
    if (message.msg_flags & MSG_TRUNC) return failWith(kSockMessageSize);
    return succeed(static_cast<int32_t>(got));
}

int32_t waitOnSocket(SocketHandle socket, uint32_t wanted, uint32_t timeoutMs, uint32_t* ready) {
    if (ready) *ready = 0;
    REQUIRE_DESCRIPTOR(fd, socket);
    pollfd entry{fd, pollEventsFor(wanted), 0};
    if (pollUntil(&entry, 1, timeoutMs) < 0) return failFromErrno();
    if (entry.revents & POLLNVAL) return failWith(kSockNotSocket);
    int32_t pending = kSockOk;
    const uint32_t met = conditionsMet(fd, wanted, entry.revents, &pending);
    setSocketLastError(pending);
    if (ready) *ready = met;
    int32_t count = 0;
    for (uint32_t bit : {kWaitRead, kWaitWrite, kWaitException}) count += (met & bit) ? 1 : 0;
    return count;
}

int32_t waitOnSockets(SocketWaitEntry* entries, uint32_t count, uint32_t timeoutMs) {
    if (count > 0 && !entries) return failWith(kSockBadAddress);
    thread_local std::vector<pollfd> polled;  // kept per thread: a wait in a loop allocates nothing
    polled.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        entries[i].ready = 0;
        entries[i].failure = kSockOk;
        // poll skips a negative descriptor: a handle that can name none is never met.
        polled[i] = pollfd{descriptorOf(entries[i].socket), pollEventsFor(entries[i].wanted), 0};
    }
    if (pollUntil(polled.data(), count, timeoutMs) < 0) return failFromErrno();
    int32_t met = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const short revents = polled[i].revents;
        if (revents == 0) continue;
        entries[i].ready = (revents & POLLNVAL) ? entries[i].wanted
                                                : conditionsMet(polled[i].fd, entries[i].wanted, revents,
                                                                &entries[i].failure);
        met += entries[i].ready != 0 ? 1 : 0;
    }
    return succeed(met);
}

int32_t socketHostName(char* buffer, uint32_t size) {
    if (!buffer || size == 0) return failWith(kSockBadAddress);
    if (!isStarted()) return failWith(kSockNotInitialised);
    char name[HOST_NAME_MAX + 1] = {};
    if (gethostname(name, sizeof name - 1) != 0) return failFromErrno();
    std::strncpy(buffer, name, size - 1);
    buffer[size - 1] = '\0';
    return succeed(0);
}

uint32_t lookupHostAddresses(const char* name, uint32_t* addresses, uint32_t capacity) {
    if (!isStarted()) {
        setSocketLastError(kSockNotInitialised);
        return 0;
    }
    if (!name || !*name || !addresses || capacity == 0) {
        setSocketLastError(kSockHostNotFound);
        return 0;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;  // one entry per address, not one per socket type
    addrinfo* found = nullptr;
    errno = 0;
    int status = getaddrinfo(name, nullptr, &hints, &found);
    if (status != 0) {
        setSocketLastError(socketErrorFromLookup(status, errno));
        return 0;
    }
    uint32_t count = 0;
    for (addrinfo* entry = found; entry && count < capacity; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || !entry->ai_addr) continue;
        uint32_t address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr.s_addr;
        bool seen = false;
        for (uint32_t i = 0; i < count; ++i) seen = seen || addresses[i] == address;
        if (!seen) addresses[count++] = address;
    }
    freeaddrinfo(found);
    setSocketLastError(count ? kSockOk : kSockNoData);
    return count;
}

}  // namespace platform
