// The HTTP/1.0 GET client and its two commands.
//
// The request buffer (1,024 bytes, or host + path + 100 when that is more)
// also receives the response in chunks of up to 1,023 bytes. The header ends
// at the second line feed in a row (carriage returns do not count), so bare
// line feeds work as well as CR LF; a response without an empty line gives
// no body. A body byte that cannot be written to the file fails the
// download rather than leave a short file reported as complete. Every
// download gives back its reference on the socket layer, whether it
// succeeded, failed or found no address: kept references would pile up and
// keep the program's own sockets open past its last SocketShutdown.
// Depends on the socket layer, the runtime's disk files, the clock and sleeping.
#include "net/http_get.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "net/host_addresses.h"
#include "net/socket_table.h"
#include "platform/clock.h"
#include "runtime/files/disk_files.h"
#include "runtime/files/file_paths.h"
#include "runtime/services/timers.h"

namespace {

constexpr uint16_t kDefaultHttpPort = 80;
constexpr size_t kRequestBufferBytes = 1024;
constexpr int32_t kChunkBytes = 1023;
constexpr int32_t kIdleSleepMs = 5;

// The body's destination: the file and the text buffer, either optional.
struct BodySink {
    int file = -1;
    char* buffer = nullptr;
    size_t position = 0;
    size_t room = 0;  // bytes left in the buffer, its closing NUL included

    bool bufferFull() const { return buffer != nullptr && room <= 1; }

    // Writes the bytes to the file; copies what fits into the buffer as text
    // (stopping at a NUL byte, the rest of the copied span NUL-filled).
    // False when the file could not take them.
    bool take(const char* bytes, size_t n) {
        if (file >= 0 && n != 0 && !files::writeAll(file, bytes, n)) return false;
        if (buffer != nullptr && n > 0 && room > 1) {
            const size_t k = n < room - 1 ? n : room - 1;
            std::strncpy(buffer + position, bytes, k);
            position += k;
            buffer[position] = '\0';
            room -= k;
        }
        return true;
    }

    void closeFile() {
        files::closeDiskFile(file);
        file = -1;
    }
};

std::string requestText(const char* host, const char* path) {
    const size_t size = std::strlen(host) + std::strlen(path) + 100;
    std::vector<char> text(size < kRequestBufferBytes ? kRequestBufferBytes : size);
    std::snprintf(text.data(), text.size(), "GET %s HTTP/1.0\r\nHost:%s\r\nAccept: */*\r\nUser-Agent: Vantric\r\n\r\n",
                  path, host);
    return std::string(text.data());
}

enum class Transfer { Done, Failed };

// Receives until the server closes, the buffer fills, an error comes, or the
// server stays silent past the idle limit.
Transfer receiveResponse(int32_t slot, std::vector<char>& chunk, BodySink& sink, uint32_t idleLimitMs) {
    int lineFeeds = 0;
    bool inHeader = true;
    platform::ClockPort& clock = platform::clockPort();
    uint32_t lastData = clock.tickMillis();
    for (;;) {
        const int32_t got = receiveOnSocket(slot, chunk.data(), kChunkBytes, false);
        if (got == -2) {
            if (clock.tickMillis() - lastData >= idleLimitMs) {
                setSocketError(platform::kSockTimedOut);
                return Transfer::Failed;
            }
            SleepMillis(kIdleSleepMs);
            continue;
        }
        if (got == 0) return Transfer::Done;
        if (got < 0) return Transfer::Failed;
        lastData = clock.tickMillis();

        const bool fullBefore = sink.bufferFull();
        if (inHeader) {
            for (int32_t i = 0; i < got; ++i) {
                const char c = chunk[i];
                if (c == '\r') continue;
                lineFeeds = c == '\n' ? lineFeeds + 1 : 0;
                if (lineFeeds == 2) {
                    inHeader = false;
                    if (!sink.take(chunk.data() + i + 1, static_cast<size_t>(got - i - 1))) return Transfer::Failed;
                    break;
                }
            }
        } else if (!sink.take(chunk.data(), static_cast<size_t>(got))) {
            return Transfer::Failed;
        }
        // The chunk that filled the text ends the transfer.
        if (!fullBefore && sink.bufferFull()) return Transfer::Done;
    }
}

}  // namespace

uint16_t httpPort(int32_t port) {
    const uint16_t low = static_cast<uint16_t>(port & 0xFFFF);
    return low == 0 ? kDefaultHttpPort : low;
}

int32_t httpGet(const char* host, const char* path, int32_t port, const char* filePath, char* buffer,
                uint32_t bufferSize, int32_t timeoutMs) {
    if (!host) host = "";
    if (!path) path = "";
    BodySink sink;
    if (filePath) {
        if (std::strncmp(filePath, "mem://", 6) == 0) return 0;
        char diskPath[files::kPathBufferSize];
        if (!files::toDiskPath(filePath, diskPath)) return 0;
        sink.file = files::createForWriting(diskPath);
        if (sink.file < 0) return 0;
    }
    if (buffer && bufferSize > 0) {
        sink.buffer = buffer;
        sink.room = bufferSize;
        buffer[0] = '\0';
    }

    if (!startupSockets()) {
        sink.closeFile();
        return 0;
    }
    const SocketAddress address = resolveHost(host, httpPort(port));
    const int32_t slot = (address.address == 0 && address.port == 0) ? -1 : connectTcp(address, timeoutMs);

    bool done = false;
    if (slot >= 0) {
        setSocketBlocking(slot, false);
        const std::string request = requestText(host, path);
        std::vector<char> chunk(request.size() + 1 < kRequestBufferBytes ? kRequestBufferBytes : request.size() + 1);
        if (sendOnSocket(slot, request.data(), static_cast<int32_t>(request.size()), nullptr) > 0) {
            const uint32_t idleLimit = static_cast<uint32_t>(connectTimeoutLimit(timeoutMs));
            done = receiveResponse(slot, chunk, sink, idleLimit) == Transfer::Done;
        }
    }
    // Whatever the outcome, the download gives back the reference it took.
    // A failure's cause outlives the clean-up, which overwrites the last error.
    const int32_t cause = lastSocketError();
    if (slot >= 0) closeSocket(slot);
    shutdownSockets();
    setSocketError(done ? 0 : cause);
    sink.closeFile();
    return done ? 1 : 0;
}

int32_t HttpGetToFile(const RtString& host, const RtString& path, int32_t port, const RtString& file,
                      int32_t timeoutMs) {
    return httpGet(host.c_str(), path.c_str(), port, file.c_str(), nullptr, 0, timeoutMs);
}

RtString HttpGetToString(const RtString& host, const RtString& path, int32_t port, int32_t maxBytes,
                         int32_t timeoutMs) {
    RtString text;
    if (maxBytes < 0) maxBytes = 0;
    try {
        text.reserve(static_cast<uint32_t>(maxBytes) + 2, false);
    } catch (const std::bad_alloc&) {
        return text;  // no room for the text: nothing is fetched
    }
    httpGet(host.c_str(), path.c_str(), port, nullptr, text.data, static_cast<uint32_t>(maxBytes) + 1, timeoutMs);
    text.recountLength();
    return text;
}
