// Helpers of the network tests: waiting on conditions, a loopback pair of
// table sockets, raw POSIX peers outside the socket table, and a tiny HTTP
// server on its own thread. Everything listens on 127.0.0.1 with ports the
// system picks.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace nettest {

constexpr int kWaitMs = 5000;

// Polls the condition every 2 ms; false when it did not hold within the time.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = kWaitMs);

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

// Serves one HTTP request: accepts one connection, reads the request up to
// its empty line, writes the response pieces in order, then closes (after
// waiting for the client to close first, when asked).
class TinyHttpServer {
public:
    struct Script {
        std::vector<std::string> pieces;
        bool waitForClientClose = false;  // keep the connection until the client leaves
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
