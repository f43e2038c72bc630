// The HTTP/1.0 GET client and its two commands.
//
// The request buffer (1,024 bytes, or host + path + 100 when that is more)
// also receives the response in chunks of up to 1,023 bytes. The header ends
// at the second line feed in a row (carriage returns do not count), so bare
// line feeds work as well as CR LF. A body byte that cannot be written to
// the file fails the download rather than leave a short file reported as
// complete. Every download gives back its reference on the socket layer,
// whether it succeeded, failed or found no address: kept references would
// pile up and keep the program's own sockets open past its last
// SocketShutdown.
//
// Departures, so that a cut answer is never taken for a whole download: a
// connection reset at any point, or closed before the header ended or
// before the body reached the length its Content-Length announced, fails
// with kSockConnectionReset; a header that runs past kHttpHeaderLimitBytes
// without ending fails with kSockConnectionAborted (so a server streaming
// an endless header cannot hold the caller forever). A body that reaches
// its announced length ends the transfer as a success without waiting for
// the close, and bytes after it are not part of it. Neither the status line nor the status is
// examined: an error page, or a stream server's "ICY 200 OK" answer, is
// taken like any other.
// Depends on the socket layer, the runtime's file paths and whole-file
// saves, the clock and sleeping.
#include "net/http_get.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "net/host_addresses.h"
#include "net/socket_table.h"
#include "platform/clock.h"
#include "runtime/files/file_paths.h"
#include "runtime/files/file_replacement.h"
#include "runtime/services/runtime_error.h"
#include "runtime/services/timers.h"

namespace {

constexpr uint16_t kDefaultHttpPort = 80;
constexpr size_t kRequestBufferBytes = 1024;
constexpr int32_t kChunkBytes = 1023;
constexpr int32_t kIdleSleepMs = 5;

// The body's destination: the file and the text buffer, either optional.
struct BodySink {
    files::FileReplacement* file = nullptr;
    char* buffer = nullptr;
    size_t position = 0;
    size_t room = 0;  // bytes left in the buffer, its closing NUL included

    bool bufferFull() const { return buffer != nullptr && room <= 1; }

    // Writes the bytes to the file; copies what fits into the buffer as text
    // (stopping at a NUL byte, the rest of the copied span NUL-filled).
    // False when the file could not take them.
    bool take(const char* bytes, size_t n) {
        if (file && n != 0 && !file->write(bytes, n)) return false;
        if (buffer != nullptr && n > 0 && room > 1) {
            const size_t k = n < room - 1 ? n : room - 1;
            std::strncpy(buffer + position, bytes, k);
            position += k;
            buffer[position] = '\0';
            room -= k;
        }
        return true;
    }
};

std::string requestText(const char* host, const char* path) {
    const size_t size = std::strlen(host) + std::strlen(path) + 100;
    std::vector<char> text(size < kRequestBufferBytes ? kRequestBufferBytes : size);
    std::snprintf(text.data(), text.size(), "GET %s HTTP/1.0\r\nHost:%s\r\nAccept: */*\r\nUser-Agent: Vantric\r\n\r\n",
                  path, host);
    return std::string(text.data());
}

// The response header as it arrives, kept whole until its empty line so
// that its Content-Length can be read.
class ResponseHeader {
public:
    // Scans the bytes in order; how many of them belong to the header (all
    // while it has not ended).
    size_t take(const char* bytes, size_t n) {
        for (size_t i = 0; i < n; ++i) {
            const char c = bytes[i];
            text_.push_back(c);
            if (c == '\r') continue;
            lineFeeds_ = c == '\n' ? lineFeeds_ + 1 : 0;
            if (lineFeeds_ == 2) {
                ended_ = true;
                return i + 1;
            }
        }
        return n;
    }
    bool ended() const { return ended_; }
    bool tooLong() const { return !ended_ && text_.size() > kHttpHeaderLimitBytes; }

    // The body length of the first Content-Length line that holds a whole
    // number of at most 18 digits (blanks around it allowed); -1 when none.
    int64_t announcedLength() const {
        size_t start = text_.find('\n');
        while (start != std::string::npos && start + 1 < text_.size()) {
            const size_t end = text_.find('\n', start + 1);
            const std::string line = text_.substr(start + 1, end == std::string::npos ? end : end - start - 1);
            const int64_t length = lengthIn(line);
            if (length >= 0) return length;
            start = end;
        }
        return -1;
    }

private:
    static int64_t lengthIn(const std::string& line) {
        static const char kName[] = "content-length:";
        const size_t nameLength = sizeof kName - 1;
        if (line.size() < nameLength) return -1;
        for (size_t i = 0; i < nameLength; ++i) {
            if (std::tolower(static_cast<unsigned char>(line[i])) != kName[i]) return -1;
        }
        const size_t first = line.find_first_not_of(" \t", nameLength);
        const size_t last = line.find_last_not_of(" \t\r");
        if (first == std::string::npos || last < first || last - first >= 18) return -1;
        int64_t length = 0;
        for (size_t i = first; i <= last; ++i) {
            if (!std::isdigit(static_cast<unsigned char>(line[i]))) return -1;
            length = length * 10 + (line[i] - '0');
        }
        return length;
    }

    std::string text_;
    int lineFeeds_ = 0;
    bool ended_ = false;
};

// A target file that cannot be made or written: error 3, with where and why
// in the error log. The network was not at fault, but the socket error still
// tells the caller of a failure: a system call's, the number the socket
// service gives a failing call without one of its own.
void failFile() {
    setRuntimeError(ErrorNoSuchFile);
    setSocketError(platform::kSockSystemCallFailure);
}

enum class Transfer { Done, Failed };

Transfer fail(int32_t cause) {
    setSocketError(cause);
    return Transfer::Failed;
}

// Receives until the server closes, the announced body or the buffer is
// complete, an error comes, or the server stays silent past the idle limit.
Transfer receiveResponse(int32_t slot, std::vector<char>& chunk, BodySink& sink, uint32_t idleLimitMs) {
    ResponseHeader header;
    int64_t bodyLeft = -1;  // announced body bytes not yet received; -1 when none was announced
    platform::ClockPort& clock = platform::clockPort();
    uint32_t lastData = clock.tickMillis();
    for (;;) {
        const int32_t got = receiveOnSocket(slot, chunk.data(), kChunkBytes, false);
        if (got == -2) {
            if (clock.tickMillis() - lastData >= idleLimitMs) return fail(platform::kSockTimedOut);
            SleepMillis(kIdleSleepMs);
            continue;
        }
        if (got == 0) {
            // The server closed, or reset the connection (the error word says
            // which): only an orderly close ends a body whose length is not told.
            const bool closed = lastSocketError() != platform::kSockConnectionReset;
            return closed && header.ended() && bodyLeft <= 0 ? Transfer::Done : fail(platform::kSockConnectionReset);
        }
        if (got < 0) return Transfer::Failed;
        lastData = clock.tickMillis();

        const bool fullBefore = sink.bufferFull();
        const char* body = chunk.data();
        size_t n = static_cast<size_t>(got);
        if (!header.ended()) {
            const size_t used = header.take(body, n);
            if (header.tooLong()) return fail(platform::kSockConnectionAborted);
            if (!header.ended()) continue;
            bodyLeft = header.announcedLength();
            body += used;
            n -= used;
        }
        if (bodyLeft >= 0 && static_cast<int64_t>(n) > bodyLeft) n = static_cast<size_t>(bodyLeft);
        if (!sink.take(body, n)) return Transfer::Failed;
        if (bodyLeft >= 0) {
            bodyLeft -= static_cast<int64_t>(n);
            if (bodyLeft == 0) return Transfer::Done;
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
    // The file is saved whole: it takes the body only once the download is
    // complete, and a download that fails leaves the old file as it was.
    std::optional<files::FileReplacement> target;
    if (filePath) {
        if (std::strncmp(filePath, "mem://", 6) == 0) return 0;
        char diskPath[files::kPathBufferSize];
        if (!files::toDiskPath(filePath, diskPath)) return 0;
        target.emplace(diskPath, "HttpGetToFile");
        if (target->descriptor() < 0) {
            failFile();
            return 0;
        }
        sink.file = &*target;
    }
    if (buffer && bufferSize > 0) {
        sink.buffer = buffer;
        sink.room = bufferSize;
        buffer[0] = '\0';
    }

    if (!startupSockets()) return 0;
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
    bool fileFailed = target && target->descriptor() < 0;
    if (done && target && !target->commit()) fileFailed = true;
    if (fileFailed) {
        failFile();
        return 0;
    }
    setSocketError(done ? 0 : cause);
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
