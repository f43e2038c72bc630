// Dotted texts, this host's address list, name lookup and error texts.
// Depends on the socket table and the socket stand-in.
#include "net/host_addresses.h"

#include <cstdio>
#include <cstring>

using namespace platform;

namespace {

constexpr uint32_t kHostNameBytes = 128;
constexpr uint32_t kMostAddresses = 64;  // addresses taken from one lookup
constexpr uint32_t kLoopback = 0x7F000001u;  // 127.0.0.1, host order

char dottedText[16];
char addressList[kAddressListBytes];
char errorText[512];

void formatDotted(uint32_t hostOrder, char (&out)[16]) {
    std::snprintf(out, sizeof out, "%u.%u.%u.%u", (hostOrder >> 24) & 0xFF, (hostOrder >> 16) & 0xFF,
                  (hostOrder >> 8) & 0xFF, hostOrder & 0xFF);
}

// Appends the text and the separator when both fit below outSize - 1
// characters in total.
bool appendEntry(char* out, uint32_t outSize, uint32_t& used, const char* text, const char* separator) {
    const size_t textLength = std::strlen(text);
    const size_t separatorLength = std::strlen(separator);
    if (used + textLength + separatorLength > outSize - 1) return false;
    std::memcpy(out + used, text, textLength);
    std::memcpy(out + used + textLength, separator, separatorLength);
    used += static_cast<uint32_t>(textLength + separatorLength);
    out[used] = '\0';
    return true;
}

// The first address of a name; false when the lookup fails.
bool lookupFirst(const char* name, uint32_t* address) {
    uint32_t found[kMostAddresses];
    if (lookupHostAddresses(name, found, kMostAddresses) == 0) return false;
    *address = found[0];
    return true;
}

}  // namespace

const char* ipToText(const SocketAddress& address) {
    formatDotted(hostOrderAddress(address), dottedText);
    return dottedText;
}

SocketAddress makeSocketAddress(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3, uint16_t port) {
    const uint32_t hostOrder = (uint32_t{b3} << 24) | (uint32_t{b2} << 16) | (uint32_t{b1} << 8) | b0;
    return socketAddressFromHost(hostOrder, port);
}

int32_t formatAddressList(const uint32_t* addresses, uint32_t count, const char* separator, char* out,
                          uint32_t outSize) {
    if (!out || outSize == 0) return 0;
    out[0] = '\0';
    if (!separator) separator = "";
    uint32_t used = 0;
    int32_t listed = 0;
    bool loopbackSeen = false;
    char text[16];
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t hostOrder = networkToHost32(addresses[i]);
        if (hostOrder == kLoopback) {
            loopbackSeen = true;
            continue;
        }
        formatDotted(hostOrder, text);
        if (!appendEntry(out, outSize, used, text, separator)) break;
        ++listed;
    }
    if (loopbackSeen) {
        formatDotted(kLoopback, text);
        if (appendEntry(out, outSize, used, text, separator)) ++listed;
    }
    return listed;
}

const char* listLocalIpAddresses(int32_t* count, const char* separator) {
    if (count) *count = 0;
    addressList[0] = '\0';
    if (socketHostName(addressList, kHostNameBytes) != 0) {
        setSocketError(socketLastError());
        return nullptr;
    }
    addressList[kHostNameBytes - 1] = '\0';
    uint32_t found[kMostAddresses];
    const uint32_t n = lookupHostAddresses(addressList, found, kMostAddresses);
    setSocketError(socketLastError());
    if (n == 0) return nullptr;
    const int32_t listed = formatAddressList(found, n, separator, addressList, kAddressListBytes);
    if (count) *count = listed;
    return addressList;
}

SocketAddress resolveHost(const char* name, uint16_t port) {
    uint32_t address = 0;
    bool found;
    if (name && *name) {
        found = lookupFirst(name, &address);
    } else {
        found = false;
        int32_t listed = 0;
        const char* list = listLocalIpAddresses(&listed, "\n");
        if (list && listed > 0) {
            char first[1024];
            std::strncpy(first, list, sizeof first - 1);
            first[sizeof first - 1] = '\0';
            if (char* end = std::strchr(first, '\n')) *end = '\0';
            found = lookupFirst(first, &address);
        }
        if (!found) found = lookupFirst("127.0.0.1", &address);
        if (!found) found = lookupFirst(kLocalHostName, &address);
    }
    if (!found) {
        setSocketError(socketLastError());
        return SocketAddress{};
    }
    SocketAddress result;
    result.address = address;
    result.port = hostToNetwork16(port);
    return result;
}

const char* socketErrorText() {
    const int32_t code = lastSocketError();
    const char* message = socketErrorMessage(code);
    if (!message) {
        errorText[0] = '\0';
        return errorText;
    }
    std::snprintf(errorText, sizeof errorText, "%d %s", code, message);
    return errorText;
}
