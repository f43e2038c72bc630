// Sockets: the stand-in for the socket service the network layer is written
// against, over POSIX sockets. IPv4 only.
//
// What the network layer expects of it, and this stand-in keeps:
// - handles are 32-bit numbers and all ones is the invalid handle; any call on
//   a handle that is no open socket fails with kSockNotSocket;
// - every call leaves an error number for the calling thread, read back with
//   socketLastError(): 0 after a success, else the socket service's own
//   number (kSockWouldBlock, kSockConnectionRefused, ...; table below),
//   mapped from errno and from name-lookup failures, never an errno value;
// - the service counts its start-ups: sockets are made, and names looked up,
//   only between a start-up and the clean-up that matches the last one
//   (kSockNotInitialised otherwise);
// - waiting on a socket reports a finished connect as writable and a failed
//   one in the exception set only, the failure's number then being the
//   thread's last error;
// - sending never raises SIGPIPE; a peer that has gone reads as
//   kSockConnectionReset;
// - a datagram cut to fit the receiver's room is a failure
//   (kSockMessageSize), not a short read.
// Texts for the numbers come from a table of our own (socketErrorMessage).
#pragma once
#include <cstdint>

namespace platform {

using SocketHandle = uint32_t;
inline constexpr SocketHandle kInvalidSocketHandle = 0xFFFFFFFFu;

// The socket service's error numbers. Every number here has a text in
// socketErrorMessage (socket_errors.cpp): keep the two in step.
enum SocketErrorCode : int32_t {
    kSockOk = 0,
    kSockInterrupted = 10004,
    kSockBadHandle = 10009,
    kSockAccessDenied = 10013,
    kSockBadAddress = 10014,
    kSockInvalidArgument = 10022,
    kSockTooManyOpen = 10024,
    kSockWouldBlock = 10035,
    kSockInProgress = 10036,  // also the network layer's "connect timed out"
    kSockAlready = 10037,
    kSockNotSocket = 10038,
    kSockDestinationRequired = 10039,
    kSockMessageSize = 10040,
    kSockProtocolType = 10041,
    kSockNoProtocolOption = 10042,
    kSockProtocolNotSupported = 10043,
    kSockTypeNotSupported = 10044,
    kSockOperationNotSupported = 10045,
    kSockFamilyNotSupported = 10046,
    kSockAddressFamilyNotSupported = 10047,
    kSockAddressInUse = 10048,
    kSockAddressNotAvailable = 10049,
    kSockNetworkDown = 10050,
    kSockNetworkUnreachable = 10051,
    kSockNetworkReset = 10052,
    kSockConnectionAborted = 10053,
    kSockConnectionReset = 10054,
    kSockNoBufferSpace = 10055,
    kSockIsConnected = 10056,
    kSockNotConnected = 10057,
    kSockShutDown = 10058,
    kSockTimedOut = 10060,
    kSockConnectionRefused = 10061,
    kSockNameTooLong = 10063,
    kSockHostDown = 10064,
    kSockHostUnreachable = 10065,
    kSockNotInitialised = 10093,
    kSockSystemCallFailure = 10107,  // an errno without a number of its own
    kSockHostNotFound = 11001,
    kSockTryAgain = 11002,
    kSockNoRecovery = 11003,
    kSockNoData = 11004,
};

// An IPv4 address and port, both in network byte order; the address is the
// four bytes of the dotted text in order (127.0.0.1 is 7F 00 00 01 in memory).
struct SocketEndpoint {
    uint32_t address = 0;
    uint16_t port = 0;
};

// Network byte order from and to the host's.
uint32_t networkToHost32(uint32_t value);
uint16_t networkToHost16(uint16_t value);
inline uint32_t hostToNetwork32(uint32_t value) { return networkToHost32(value); }
inline uint16_t hostToNetwork16(uint16_t value) { return networkToHost16(value); }

// The calling thread's last error number.
int32_t socketLastError();
void setSocketLastError(int32_t code);

// The service's numbers for an errno value and for a getaddrinfo failure.
int32_t socketErrorFromErrno(int errnoValue);
int32_t socketErrorFromLookup(int lookupError, int errnoValue);
// A short text for a number; null for a number without one.
const char* socketErrorMessage(int32_t code);

// Start-up: always possible here (true). The first start-up of the process
// also raises the soft limit of open descriptors towards 4,096, so that a
// full table of the network layer's sockets fits beside the program's files.
bool socketsStartup();
// Drops one start-up; false (kSockNotInitialised) when none is left.
bool socketsCleanup();

enum class SocketKind { Stream, Datagram };
SocketHandle openSocket(SocketKind kind);
// Closing on exec is always set; these are the options the layer sets.
// NoDelay sends each write of a stream socket at once instead of holding
// a small one back until what went before is acknowledged.
enum class SocketOption { ReuseAddress, Broadcast, Linger, NoDelay };
// The value's bytes as the option takes them: a 4-byte or 1-byte flag for
// ReuseAddress, Broadcast and NoDelay (non-zero sets it), two 16-bit halves
// {on, seconds} for Linger. 0, or -1 on failure.
int32_t setSocketOption(SocketHandle socket, SocketOption option, const void* value, uint32_t size);
int32_t setSocketNonBlocking(SocketHandle socket, bool nonBlocking);
// Keeps a quiet stream connection heard, for an owner that ends it once
// nothing has come from its peer for limitMs (millisSinceHeard): keep-alive
// probes after 2 s of quiet and every 2 s after (every second for a limit
// under 24 s), which the system goes on sending past the limit, and where
// the system can cap its retry interval, the cap kSilenceRetryCapMs, so
// that after an outage the next retry comes within that time. The system
// itself ends the connection only long after the limit. 0, or -1.
inline constexpr uint32_t kSilenceRetryCapMs = 2000;
int32_t keepSocketHeard(SocketHandle socket, uint32_t limitMs);
// What a stream socket's system knows of its peer, in one look.
struct PeerLook {
    // How the connection stands, as the next receive tells.
    enum class End : uint8_t {
        None,      // it lasts
        Finished,  // the peer closed its sending side (its FIN came)
        Over,      // a reset came, the system itself ended it, or both sides closed
    };
    // Milliseconds since anything (data, an acknowledgement, an answer to a
    // probe) last came from the peer: counted from the silence itself,
    // however sparse or dense the sends.
    int32_t heardMs = -1;
    // Of the bytes written, those the peer has acknowledged, in all.
    uint64_t bytesAcknowledged = 0;
    // Segments sent and not yet acknowledged (none while the peer keeps its
    // window closed and has taken all that was sent).
    uint32_t segmentsInFlight = 0;
    // Bytes written and not yet sent at all.
    uint32_t bytesUnsent = 0;
    // The window the peer advertises holds less than one segment: its
    // program does not read, and its system takes nothing more. Where the
    // system does not report the window, taken as closed whenever nothing
    // is in flight.
    bool windowClosed = false;
    End end = End::None;
};
// 0, or -1 (the look left as it was).
int32_t lookAtPeer(SocketHandle socket, PeerLook* look);
// The bytes a stream socket holds written but not yet sent before it stops
// taking more (and stops reporting itself writable), so that what waits
// for a slow peer waits with its writer, who can still reorder it. 0, or -1.
int32_t setSocketUnsentLimit(SocketHandle socket, uint32_t bytes);
// The bytes a stream socket's system keeps received and not yet read, held
// at that size: the system no longer grows it, so a reader that stops
// reading closes its window once that much waits. Set before connecting,
// so that the window is sized from it. 0, or -1.
int32_t setSocketUnreadLimit(SocketHandle socket, uint32_t bytes);

int32_t bindSocket(SocketHandle socket, const SocketEndpoint& local);
int32_t listenOnSocket(SocketHandle socket, int32_t backlog);
// The handle of the accepted connection (blocking, as made), and its remote
// end when `remote` is not null; kInvalidSocketHandle when none.
SocketHandle acceptOnSocket(SocketHandle socket, SocketEndpoint* remote);
// 0 when connected at once; -1 otherwise (kSockInProgress while a
// non-blocking connect is under way).
int32_t connectSocket(SocketHandle socket, const SocketEndpoint& remote);
// The address the socket is bound to.
bool socketLocalEndpoint(SocketHandle socket, SocketEndpoint* local);

enum class SocketDirection { Receive, Send, Both };
int32_t shutdownSocket(SocketHandle socket, SocketDirection direction);
int32_t closeSocketHandle(SocketHandle socket);

// Bytes moved, or -1. A count above INT32_MAX is cut to it.
int32_t sendOnHandle(SocketHandle socket, const void* bytes, uint32_t count);
int32_t sendToOnHandle(SocketHandle socket, const void* bytes, uint32_t count,
                       const SocketEndpoint& target);
int32_t receiveOnHandle(SocketHandle socket, void* buffer, uint32_t count);
// The bytes a stream socket has handed to the system that its peer has not
// yet acknowledged (sent or not), or -1. 0 means every byte written has
// reached the peer's side, so a close can no longer lose it.
int32_t unacknowledgedOnHandle(SocketHandle socket);
// The bytes a stream socket holds written and not yet sent at all, or -1.
int32_t unsentOnHandle(SocketHandle socket);
// `source` (when not null) receives the sender of the datagram. A datagram
// longer than count fills the buffer, loses its tail and fails with
// kSockMessageSize (its sender still in `source`): never a silent cut.
int32_t receiveFromOnHandle(SocketHandle socket, void* buffer, uint32_t count,
                            SocketEndpoint* source);

// Waits up to timeoutMs (0: a look without waiting) for any of the wanted
// conditions. Returns the number of conditions met (their bits in `ready`),
// 0 when time ran out, -1 on an error.
enum SocketWait : uint32_t { kWaitRead = 1, kWaitWrite = 2, kWaitException = 4 };
int32_t waitOnSocket(SocketHandle socket, uint32_t wanted, uint32_t timeoutMs, uint32_t* ready);
// One socket of a wait over many: the conditions wanted, and those met.
struct SocketWaitEntry {
    SocketHandle socket = kInvalidSocketHandle;  // the invalid handle is never met
    uint32_t wanted = 0;
    uint32_t ready = 0;
    // With kWaitException met: the failure's number, which the wait took
    // from the socket (nothing else will report it again).
    int32_t failure = 0;
};
// Waits up to timeoutMs until any entry meets a wanted condition; every
// entry's `ready` then holds the conditions it met (a descriptor that is not
// open meets all it wanted, so that its caller's next call tells why). The
// number of entries with a condition met, 0 when time ran out, -1 on an
// error. With no entry it simply waits.
int32_t waitOnSockets(SocketWaitEntry* entries, uint32_t count, uint32_t timeoutMs);

// This host's name (cut to fit, always NUL-terminated). 0, or -1.
int32_t socketHostName(char* buffer, uint32_t size);
// Up to `capacity` IPv4 addresses (network order) of a name or a dotted
// text, in the order the resolver gives them, none twice. The number found
// (at least 1), or 0 with the failure as the thread's last error.
uint32_t lookupHostAddresses(const char* name, uint32_t* addresses, uint32_t capacity);

}  // namespace platform
