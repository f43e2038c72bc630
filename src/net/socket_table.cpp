// The socket table, the layer's last-error word, the start-up reference
// count, closing, and the record queries.
// Depends on the socket stand-in.
#include <mutex>
#include <vector>

#include "net/socket_records.h"
#include "net/socket_table.h"

using namespace platform;

namespace {

SocketSlot table[kSocketSlotCount];
// Guards taking, filling and freeing records and the reference count; never
// held across a wait.
std::mutex tableLock;
int32_t referenceCount = 0;
thread_local int32_t lastError = 0;  // each thread's own (socket_table.h)

void freeRecord(SocketSlot& record) {
    record.socket = kInvalidSocketHandle;
    record.peer = SocketAddress{};
    record.isUdp = 0;
}

// Every record starts free (the table is made before main runs).
struct TableInitialiser {
    TableInitialiser() {
        for (SocketSlot& record : table) freeRecord(record);
    }
} initSocketTable;

bool inRange(int32_t slot) { return slot >= 0 && slot < kSocketSlotCount; }

bool inUse(const SocketSlot& record) {
    return record.socket != kInvalidSocketHandle && record.socket != kClaimedSocketHandle;
}

int32_t lowestFreeLocked() {
    for (int32_t i = 0; i < kSocketSlotCount; ++i) {
        if (table[i].socket == kInvalidSocketHandle) return i;
    }
    return -1;
}

}  // namespace

void setSocketError(int32_t code) { lastError = code; }
int32_t lastSocketError() { return lastError; }

int32_t findFreeSocketSlot() {
    std::lock_guard<std::mutex> guard(tableLock);
    int32_t slot = lowestFreeLocked();
    if (slot < 0) setSocketError(kNoFreeSocketSlot);
    return slot;
}

int32_t usedSocketSlotCount() {
    std::lock_guard<std::mutex> guard(tableLock);
    int32_t used = 0;
    for (const SocketSlot& record : table) used += inUse(record) ? 1 : 0;
    return used;
}

int32_t claimSocketSlot() {
    std::lock_guard<std::mutex> guard(tableLock);
    int32_t slot = lowestFreeLocked();
    if (slot < 0) {
        setSocketError(kNoFreeSocketSlot);
        return -1;
    }
    table[slot].socket = kClaimedSocketHandle;
    return slot;
}

void fillSocketSlot(int32_t slot, SocketHandle socket, const SocketAddress& peer, bool udp) {
    if (!inRange(slot)) return;
    std::lock_guard<std::mutex> guard(tableLock);
    table[slot].peer = peer;
    table[slot].isUdp = udp ? 1 : 0;
    table[slot].socket = socket;
}

void setSocketSlotPeer(int32_t slot, const SocketAddress& peer) {
    if (!inRange(slot)) return;
    std::lock_guard<std::mutex> guard(tableLock);
    if (inUse(table[slot])) table[slot].peer = peer;
}

void releaseSocketSlot(int32_t slot) {
    if (!inRange(slot)) return;
    std::lock_guard<std::mutex> guard(tableLock);
    if (table[slot].socket == kClaimedSocketHandle) freeRecord(table[slot]);
}

SocketHandle socketHandleOf(int32_t slot) {
    if (!inRange(slot)) return kInvalidSocketHandle;
    std::lock_guard<std::mutex> guard(tableLock);
    return inUse(table[slot]) ? table[slot].socket : kInvalidSocketHandle;
}

int32_t closeSocketHandleInOrder(SocketHandle socket) {
    const uint16_t lingerOff[2] = {0, 0};
    setSocketOption(socket, SocketOption::Linger, lingerOff, sizeof lingerOff);
    shutdownSocket(socket, SocketDirection::Both);
    return closeSocketHandle(socket);
}

int32_t startupSockets() {
    std::lock_guard<std::mutex> guard(tableLock);
    if (referenceCount <= 0) {
        if (!socketsStartup()) {
            setSocketError(socketLastError());
            return 0;
        }
        for (SocketSlot& record : table) freeRecord(record);
        referenceCount = 0;
    }
    ++referenceCount;
    setSocketError(socketLastError());
    return 1;
}

void shutdownSockets() {
    std::lock_guard<std::mutex> guard(tableLock);
    if (--referenceCount > 0) return;
    for (SocketSlot& record : table) {
        if (!inUse(record)) continue;
        SocketHandle socket = record.socket;
        freeRecord(record);
        closeSocketHandleInOrder(socket);
    }
    referenceCount = 0;
    socketsCleanup();
    setSocketError(socketLastError());
}

int32_t socketReferenceCount() {
    std::lock_guard<std::mutex> guard(tableLock);
    return referenceCount;
}

namespace {

// Frees the record and closes its socket with `close`; the result of the close.
int32_t closeSlotWith(int32_t slot, int32_t (*close)(SocketHandle)) {
    SocketHandle socket = kInvalidSocketHandle;
    if (inRange(slot)) {
        std::lock_guard<std::mutex> guard(tableLock);
        if (inUse(table[slot])) {
            socket = table[slot].socket;
            freeRecord(table[slot]);
        }
    }
    int32_t result = close(socket);
    setSocketError(socketLastError());
    return result;
}

// Linger on with no time: the close resets the connection.
int32_t closeSocketHandleWithReset(SocketHandle socket) {
    const uint16_t lingerNone[2] = {1, 0};
    setSocketOption(socket, SocketOption::Linger, lingerNone, sizeof lingerNone);
    return closeSocketHandle(socket);
}

}  // namespace

int32_t closeSocket(int32_t slot) { return closeSlotWith(slot, closeSocketHandleInOrder); }

int32_t resetSocket(int32_t slot) { return closeSlotWith(slot, closeSocketHandleWithReset); }

int32_t setSocketNoDelay(int32_t slot) {
    const int32_t on = 1;
    const int32_t result = setSocketOption(socketHandleOf(slot), SocketOption::NoDelay, &on, sizeof on);
    setSocketError(socketLastError());
    return result;
}

int32_t keepSocketHeard(int32_t slot, uint32_t limitMs) { return onSocketOf(slot, platform::keepSocketHeard, limitMs); }

int32_t lookAtPeerOnSocket(int32_t slot, platform::PeerLook* look) { return onSocketOf(slot, platform::lookAtPeer, look); }

int32_t setSocketUnsentLimit(int32_t slot, uint32_t bytes) {
    return onSocketOf(slot, platform::setSocketUnsentLimit, bytes);
}

int32_t setSocketBlocking(int32_t slot, bool blocking) {
    // A free record fails as an invalid handle does.
    setSocketNonBlocking(socketHandleOf(slot), !blocking);
    int32_t code = socketLastError();
    setSocketError(code);
    return code;
}

int32_t pollSocket(int32_t slot) {
    uint32_t ready = 0;
    if (waitOnSocket(socketHandleOf(slot), kWaitRead, 0, &ready) < 0) {
        setSocketError(socketLastError());
        return -1;
    }
    return (ready & kWaitRead) ? 1 : -2;
}

int32_t waitForSocket(int32_t slot, bool forWriting, uint32_t timeoutMs) {
    uint32_t ready = 0;
    const uint32_t wanted = forWriting ? (kWaitWrite | kWaitException) : kWaitRead;
    int32_t result = waitOnSocket(socketHandleOf(slot), wanted, timeoutMs, &ready);
    if (result < 0) {
        setSocketError(socketLastError());
        return -1;
    }
    return ready != 0 ? 1 : 0;
}

int32_t waitForSockets(SocketSlotWait* waits, int32_t count, uint32_t timeoutMs) {
    // Kept per thread from call to call: a thread that waits in a loop (the
    // session thread, ~100 times a second) allocates nothing for it.
    thread_local std::vector<SocketWaitEntry> entries;
    entries.resize(count > 0 ? static_cast<size_t>(count) : 0);
    for (size_t i = 0; i < entries.size(); ++i) {
        entries[i].socket = socketHandleOf(waits[i].slot);
        entries[i].wanted = waits[i].wanted;
    }
    const int32_t result = waitOnSockets(entries.data(), static_cast<uint32_t>(entries.size()), timeoutMs);
    setSocketError(socketLastError());
    for (size_t i = 0; i < entries.size(); ++i) {
        waits[i].ready = entries[i].ready;
        waits[i].failure = entries[i].failure;
    }
    return result;
}

SocketAddress getSocketPeer(int32_t slot) {
    if (!inRange(slot)) return SocketAddress{};
    std::lock_guard<std::mutex> guard(tableLock);
    return inUse(table[slot]) ? table[slot].peer : SocketAddress{};
}

SocketAddress getSocketLocalAddress(int32_t slot) {
    SocketAddress local;
    if (!socketLocalEndpoint(socketHandleOf(slot), &local)) return SocketAddress{};
    return local;
}

bool isSocketSlotInUse(int32_t slot) { return socketHandleOf(slot) != kInvalidSocketHandle; }

bool isUdpSocketSlot(int32_t slot) {
    if (!inRange(slot)) return false;
    std::lock_guard<std::mutex> guard(tableLock);
    return table[slot].isUdp != 0;
}

uint32_t hostOrderAddress(const SocketAddress& address) { return networkToHost32(address.address); }
uint16_t hostOrderPort(const SocketAddress& address) { return networkToHost16(address.port); }

SocketAddress socketAddressFromHost(uint32_t address, uint16_t port) {
    SocketAddress result;
    result.address = hostToNetwork32(address);
    result.port = hostToNetwork16(port);
    return result;
}
