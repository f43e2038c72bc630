// The HTTP/1.0 GET client: one resource over a fresh TCP connection, the
// body (everything after the first empty line of the response, whatever the
// status, up to its Content-Length when one is given) written to a disk
// file, to a text, or to both. No redirects, no status check, no chunked
// decoding, and no look at the status line. An answer cut short is a failure.
//
// A server that stays silent longer than the connect time limit ends the
// transfer as a failure (kSockTimedOut), so no download waits forever; one
// whose header runs past kHttpHeaderLimitBytes without its empty line fails
// with kSockConnectionAborted (10053).
// Depends on the socket layer and the runtime's whole-file saves.
#pragma once
#include <cstddef>
#include <cstdint>

#include "runtime/strings/rt_string.h"

// The longest response header taken, status line and line ends included:
// 64 KB.
inline constexpr size_t kHttpHeaderLimitBytes = 65536;

// The port asked for: the low 16 bits, 0 meaning 80.
uint16_t httpPort(int32_t port);

// Fetches host/path. With a file path the body goes to that file, saved
// whole (runtime/files/file_replacement.h; a name beginning with "mem://",
// or of 1,024 characters or more, or a file that cannot be begun, is
// refused before anything is sent). Departure: the file is not made anew
// before the connection, which would leave an empty or short file in place
// of the old one after a failed download; a download that fails leaves the
// old file as it was (no file where there was none), and one that succeeds
// leaves exactly the body. With a buffer of bufferSize bytes, up to
// bufferSize - 1 body bytes go there as NUL-terminated text, and the
// transfer ends once it is full. 1 when the transfer ended with the server
// closing the connection after a whole header and body, with the announced
// body complete, or with the buffer full; 0 on any failure, the cause left
// in the last socket error. A file that cannot be begun or written records
// error 3 (where and why in the error log) and leaves kSockSystemCallFailure
// (10107) as the cause; a "mem://" or overlong name is refused without
// touching either error. The timeout is the connect limit.
int32_t httpGet(const char* host, const char* path, int32_t port, const char* filePath, char* buffer,
                uint32_t bufferSize, int32_t timeoutMs);

// The commands: 1 or 0; a text of at most maxBytes body bytes (up to the
// first NUL of the body), empty when nothing arrived.
int32_t HttpGetToFile(const RtString& host, const RtString& path, int32_t port, const RtString& file,
                      int32_t timeoutMs);
RtString HttpGetToString(const RtString& host, const RtString& path, int32_t port, int32_t maxBytes,
                         int32_t timeoutMs);
