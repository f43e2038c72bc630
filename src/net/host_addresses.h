// Addresses and names of the socket layer: dotted texts, this host's own
// address list, name lookup and the error text of the last socket error.
// The texts returned point into static buffers of this file that the next
// call of the same operation overwrites.
// Depends on the socket table and the socket stand-in.
#pragma once
#include <cstdint>

#include "net/socket_table.h"

inline constexpr uint32_t kAddressListBytes = 2048;  // the list's buffer, NUL included
// The last fallback of resolveHost for this host.
inline constexpr const char* kLocalHostName = "localhost";

// The dotted text ("%d.%d.%d.%d", most significant part first).
const char* ipToText(const SocketAddress& address);
// The address whose dotted text is b3.b2.b1.b0, with the port (host order).
SocketAddress makeSocketAddress(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3, uint16_t port);

// Writes the addresses (network order) into `out` as dotted texts, each
// followed by the separator, the loopback address 127.0.0.1 moved to the
// end; stops before the text would pass outSize - 1 characters (the
// loopback address included). Returns the number listed.
int32_t formatAddressList(const uint32_t* addresses, uint32_t count, const char* separator, char* out,
                          uint32_t outSize);
// The addresses that this host's name resolves to, as text (see
// formatAddressList): what the resolver gives for the name, which need not
// be every address of the machine's interfaces. Null when the host name
// cannot be read or looked up.
const char* listLocalIpAddresses(int32_t* count, const char* separator);

// The first address of the name with the port (host order); an empty or
// null name means this host: its first listed address, else 127.0.0.1,
// else kLocalHostName. The no-address record when the lookup fails.
SocketAddress resolveHost(const char* name, uint16_t port);

// "%d %s" of the last socket error and its text; "" for a number without one.
const char* socketErrorText();
