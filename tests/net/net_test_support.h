// Helpers of the network tests: waiting on conditions, a loopback pair of
// table sockets, raw POSIX peers outside the socket table, a session member
// that speaks the wire format by hand, and a tiny HTTP server on its own
// thread. Everything listens on 127.0.0.1 with ports the system picks.
//
// Every test of a program that links these helpers starts as a fresh
// process would: no network object, no reference on the socket layer, no
// record in use (a test listener resets them), so the whole program also
// passes when run as one process.
#pragma once
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net/net_session.h"

namespace nettest {

constexpr int kWaitMs = 5000;

// Polls the condition every 2 ms; false when it did not hold within the time.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = kWaitMs);

// Milliseconds since the moment, and those the action took.
double millisSince(std::chrono::steady_clock::time_point start);
template <class Action>
double millisTaken(Action&& action) {
    const auto start = std::chrono::steady_clock::now();
    action();
    return millisSince(start);
}

// A game's frames: frame(n) at the start of every 16 ms frame, for the time
// given or until it returns false. The milliseconds it ran.
double runFrames(int durationMs, const std::function<bool(size_t frame)>& frame);

// The program's calls, each timed as a frame driver makes them.
class CallTimes {
public:
    template <class Action>
    void time(Action&& action) {
        taken_.push_back(millisTaken(action));
    }
    size_t count() const { return taken_.size(); }
    // Holds the calls to what a frame may give them: 95 in 100 within
    // quickMs, every one within slowestMs (a loaded machine may set any
    // thread aside for a while). The figures go to the test's record.
    void expectWithin(const char* name, double quickMs = 20, double slowestMs = 100) const;

private:
    std::vector<double> taken_;
};

// A connected pair of table records: the client end and the accepted end.
struct SlotPair {
    int32_t listening = -1;
    int32_t client = -1;
    int32_t server = -1;
};
// Takes a reference on the socket layer and connects through 127.0.0.1.
SlotPair makeSlotPair();

// Raw POSIX sockets, outside the socket table.
int rawListen(uint16_t* port, int backlog = 8);  // on 127.0.0.1:0
int rawConnect(uint16_t port);                    // blocking, to 127.0.0.1
// A non-blocking connect under way, and whether it completes within the time.
int rawConnectPending(uint16_t port);
bool rawConnectCompletes(int fd, int timeoutMs);
int rawAccept(int listening, int timeoutMs = kWaitMs);  // -1 when nobody came
// Reads exactly n bytes (within the time); what arrived.
std::string rawReadExactly(int fd, size_t n, int timeoutMs = kWaitMs);
// True when nothing at all can be read within the time.
bool rawNothingArrives(int fd, int timeoutMs);
void rawWriteAll(int fd, const std::string& bytes);
// A port on 127.0.0.1 where nothing listens (bound, not listening): the fd
// keeps it taken until closed.
int refusingPort(uint16_t* port);

// A UDP port on 127.0.0.1 that was free a moment ago.
uint16_t freeUdpPort();

std::string hexBytes(const std::string& bytes);  // "03 02 00 ..."

// Small fixed system buffers for a socket (both directions), as on a slow
// link: what a peer does not read then backs up after a few kilobytes, not
// after the megabytes loopback gives by default.
void limitRawBuffers(int fd, int bytes);
void limitSlotBuffers(int32_t slot, int bytes);

// A text of the length whose first digits are its number, so that a test
// can tell which text arrived where ("000042-xxxx...").
std::string numberedText(size_t number, size_t length);

// A dead link: every TCP segment to or from the port on this machine is
// dropped, both ways, while the object lives, as on a network that went
// silent without a word (no FIN, no reset): OnTheWay, or AsItLeaves, where
// the machine's own sends fail (its link or route went away). OnTheWayToIt
// and AsItLeavesForIt drop only the segments to the port, as a route lost
// in one direction, or the sender's own firewall or shaper failing it. An
// nftables table of its own, named after the process and the port, deleted
// by the destructor. Not active, and whyNot() says why, where nft is
// missing or not permitted (it needs root, or CAP_NET_ADMIN).
class SilencedPort {
public:
    enum class Where { OnTheWay, AsItLeaves, OnTheWayToIt, AsItLeavesForIt };
    explicit SilencedPort(uint16_t port, Where where = Where::OnTheWay);
    ~SilencedPort();
    SilencedPort(const SilencedPort&) = delete;
    SilencedPort& operator=(const SilencedPort&) = delete;

    bool active() const { return active_; }
    const std::string& whyNot() const { return whyNot_; }

private:
    std::string table_;
    bool active_ = false;
    std::string whyNot_;
};

// The system's TCP state of the connection between these ports on
// 127.0.0.1 (1 established, 8 a FIN received, ...), as the system lists it;
// -1 when none is listed (one that a reset closed no longer is). Both ends
// are matched: an earlier connection from the same local port may still be
// listed, waiting out its close.
int tcpStateOf(uint16_t localPort, uint16_t remotePort);

// A host on a port the system picks, reached through 127.0.0.1 (port 0
// when it did not start).
struct HostedSession {
    NetSession host;
    uint16_t port = 0;
    HostedSession();
};
// The host's end of the connection whose other end has this local port:
// its socket table record (-1 when none is found).
int32_t acceptedSlotFor(const NetSession& host, uint16_t peerPort);
// Counts under the session's mutex.
size_t inboxCount(NetSession& session, uint16_t id);
size_t inboxBytes(NetSession& session, uint16_t id);
size_t leftCount(NetSession& session);
size_t hostRecordCount(NetSession& session);

// A session message as it travels, written out byte by byte here so that
// tests compare against the format itself, not against the code under test.
std::string wireMessage(uint8_t kind, uint16_t receiver, uint16_t sender, const std::string& payload = "");
// A kind-1 request: 136 bytes, the name cut to 127 characters.
std::string wireRequest(const std::string& name, bool queryOnly = false);
std::string wireU16(uint16_t value);

// A member of a session on a raw socket, acting as the slow, silent,
// flooding or forging peer of a test.
class RawPeer {
public:
    explicit RawPeer(uint16_t port, int receiveBufferBytes = 0);  // 0: the system's size
    // The other end: a fake host's side of the next connection made to the
    // listening socket (not connected when none came within the time).
    static std::unique_ptr<RawPeer> acceptOn(int listening, int timeoutMs = kWaitMs);
    ~RawPeer();
    RawPeer(const RawPeer&) = delete;
    RawPeer& operator=(const RawPeer&) = delete;

    int fd() const { return fd_; }
    bool connected() const { return fd_ >= 0; }
    // The host's end of this connection: its socket table record (-1 when
    // none is found), whose system buffers a test may then hold small.
    int32_t acceptedSlot(const NetSession& host) const;
    void send(const std::string& bytes) { rawWriteAll(fd_, bytes); }
    std::string read(size_t n, int timeoutMs = kWaitMs) { return rawReadExactly(fd_, n, timeoutMs); }
    // One whole session message, header and payload (empty when none came).
    std::string readMessage(int timeoutMs = kWaitMs);
    // Sends a player request and reads the host's kind-2 reply: the id, or 0.
    uint16_t registerPlayer(const std::string& name, bool queryOnly = false);
    // True when the host closes the connection within the time (what
    // arrives meanwhile is read and dropped).
    bool closedWithin(int timeoutMs);

    // A thread that sends the bytes again and again, as fast as the socket
    // takes them and never reading, until stopped or the host closes.
    void startFlood(const std::string& message);
    // A thread that sends the bytes one at a time, one every interval.
    void startTrickle(const std::string& bytes, int intervalMs);
    // A thread that sends the bytes once, in writes of segmentBytes that go
    // out as segments of their own, one every interval: as a real network
    // delivers a stream, whose segments end anywhere within a message.
    void startSegments(const std::string& bytes, size_t segmentBytes, int intervalMs);
    void stop();  // ends the thread, if any
    size_t bytesSent() const { return sent_.load(); }

private:
    RawPeer() = default;
    void run(std::string bytes, size_t piece, int intervalMs);

    int fd_ = -1;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<size_t> sent_{0};
};

// A fake host: takes the member's connection, gives its query player id
// 102 and answers the handshake. Runs while the member joins.
std::unique_ptr<RawPeer> fakeHostFor(NetSession& member, int listening, uint16_t port);

// Reads a raw socket on a thread of its own until the peer closes, keeping
// (or only counting) what arrives. It may start late and may be held to a
// rate, as a host that is busy or slow.
class Collector {
public:
    struct Options {
        int startAfterMs = 0;     // reads nothing before
        size_t bytesPerTick = 0;  // 0: as fast as it comes
        int tickMs = 10;
        bool keep = true;  // false: counts only
    };
    Collector(int fd, Options options);
    ~Collector();
    Collector(const Collector&) = delete;
    Collector& operator=(const Collector&) = delete;

    size_t size() const;
    std::string bytes() const;
    bool closedByPeer() const { return closed_.load(); }
    // True once at least n bytes came within the time.
    bool waitForBytes(size_t n, int timeoutMs = kWaitMs) const;
    // The longest time between two arrivals since the first, the time since
    // the last one included (0 before the first).
    double longestSilenceMs() const;

private:
    void run();

    int fd_;
    Options options_;
    mutable std::mutex lock_;
    std::string bytes_;
    std::atomic<size_t> size_{0};
    std::atomic<bool> closed_{false};
    std::atomic<bool> stopping_{false};
    std::chrono::steady_clock::time_point lastArrival_;  // guarded by lock_
    double longestSilenceMs_ = 0;                        // guarded by lock_
    bool arrived_ = false;                               // guarded by lock_
    std::thread thread_;
};

// Serves one HTTP request: accepts one connection, reads the request up to
// its empty line, writes the response pieces in order, then closes or
// resets (after waiting for the client to close first, when asked).
class TinyHttpServer {
public:
    struct Script {
        std::vector<std::string> pieces;
        bool waitForClientClose = false;  // keep the connection until the client leaves
        bool reset = false;               // end with a reset instead of a close
    };
    explicit TinyHttpServer(Script script);
    ~TinyHttpServer();
    TinyHttpServer(const TinyHttpServer&) = delete;
    TinyHttpServer& operator=(const TinyHttpServer&) = delete;

    uint16_t port() const { return port_; }
    // Waits for the serving thread; then the fields below are final.
    void finish();
    bool accepted() const { return accepted_; }
    const std::string& request() const { return request_; }
    bool clientClosedFirst() const { return clientClosedFirst_; }

private:
    void serve();

    Script script_;
    int listening_ = -1;
    uint16_t port_ = 0;
    bool accepted_ = false;
    bool clientClosedFirst_ = false;
    std::string request_;
    std::thread thread_;
};

}  // namespace nettest
