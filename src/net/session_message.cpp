// Session messages: the header's byte layout and message building.
// Depends on nothing but the standard library.
#include "net/session_message.h"

#include <cstring>

namespace {

void putU16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value & 0xFF);
    at[1] = static_cast<uint8_t>(value >> 8);
}

uint16_t getU16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }

}  // namespace

void encodeSessionHeader(const SessionMessageHeader& header, uint8_t out[kSessionHeaderBytes]) {
    out[0] = header.kind;
    putU16(out + 1, header.length);
    putU16(out + 3, header.receiver);
    putU16(out + 5, header.sender);
}

SessionMessageHeader decodeSessionHeader(const uint8_t in[kSessionHeaderBytes]) {
    SessionMessageHeader header;
    header.kind = in[0];
    header.length = getU16(in + 1);
    header.receiver = getU16(in + 3);
    header.sender = getU16(in + 5);
    return header;
}

SessionMessage makeSessionMessage(uint8_t kind, uint16_t receiver, uint16_t sender, const void* payload,
                                  uint32_t length) {
    SessionMessage message;
    if (length > kSessionPayloadMax) length = kSessionPayloadMax;
    if (!payload) length = 0;
    message.header.kind = kind;
    message.header.length = static_cast<uint16_t>(length);
    message.header.receiver = receiver;
    message.header.sender = sender;
    if (length) std::memcpy(message.payload, payload, length);
    message.payload[length] = 0;
    return message;
}

uint16_t sessionPayloadU16(const SessionMessage& message) {
    return message.header.length >= 2 ? getU16(message.payload) : 0;
}

SessionMessage makeSessionMessageU16(uint8_t kind, uint16_t receiver, uint16_t sender, uint16_t value) {
    uint8_t bytes[2];
    putU16(bytes, value);
    return makeSessionMessage(kind, receiver, sender, bytes, 2);
}

SessionMessage makePlayerRequest(bool queryOnly, const char* name) {
    uint8_t payload[kPlayerRequestBytes] = {};
    std::memset(payload, 0xFF, 4);  // the requester keeps no socket for its players
    putU16(payload + 4, kUnsentPlayerId);
    payload[6] = queryOnly ? 1 : 0;
    payload[7] = 0;
    if (name) std::strncpy(reinterpret_cast<char*>(payload + 8), name, kPlayerNameBytes - 1);
    payload[8 + kPlayerNameBytes - 1] = 0;
    return makeSessionMessage(kKindPlayerRequest, kHostPlayerId, 0, payload, kPlayerRequestBytes);
}

void readPlayerRequest(const SessionMessage& message, bool* queryOnly, char (&name)[kPlayerNameBytes]) {
    // The stored payload is zero past what arrived, so a short request reads
    // as a named player with an empty name.
    *queryOnly = message.payload[6] != 0;
    std::memcpy(name, message.payload + 8, kPlayerNameBytes);
    name[kPlayerNameBytes - 1] = '\0';
}

uint32_t encodeSessionMessage(const SessionMessage& message, uint8_t out[kSessionHeaderBytes + kSessionPayloadMax]) {
    if (message.header.length > kSessionPayloadMax) return 0;
    encodeSessionHeader(message.header, out);
    std::memcpy(out + kSessionHeaderBytes, message.payload, message.header.length);
    return kSessionHeaderBytes + message.header.length;
}
