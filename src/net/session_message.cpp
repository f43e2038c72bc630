// Session messages: the header's byte layout, message building, and sending
// and reading whole messages on a socket of the table.
// Depends on the socket layer.
#include "net/session_message.h"

#include <cstring>
#include <mutex>

#include "net/socket_table.h"

namespace {

// One per record, so that two threads sending on one socket (the commands
// and the session thread share the connection to the host) never mix the
// bytes of their messages.
std::mutex sendLocks[kSocketSlotCount];

void putU16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value & 0xFF);
    at[1] = static_cast<uint8_t>(value >> 8);
}

uint16_t getU16(const uint8_t* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }

// Reads exactly n bytes of a message already begun. True when all came;
// false when the connection closed, failed or stalled.
bool readRest(int32_t slot, uint8_t* into, uint32_t n) {
    while (n > 0) {
        const int32_t got = receiveOnSocket(slot, into, static_cast<int32_t>(n), true);
        if (got == static_cast<int32_t>(n)) return true;
        if (got != -2) return false;
        if (waitForSocket(slot, false, kReceiveStallLimitMs) != 1) return false;
    }
    return true;
}

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

int32_t sendSessionMessage(int32_t slot, const SessionMessage& message) {
    if (message.header.length > kSessionPayloadMax) return 0;
    uint8_t wire[kSessionHeaderBytes + kSessionPayloadMax];
    encodeSessionHeader(message.header, wire);
    std::memcpy(wire + kSessionHeaderBytes, message.payload, message.header.length);
    const int32_t total = static_cast<int32_t>(kSessionHeaderBytes + message.header.length);
    int32_t sent;
    if (slot >= 0 && slot < kSocketSlotCount) {
        std::lock_guard<std::mutex> guard(sendLocks[slot]);
        sent = sendOnSocket(slot, wire, total, nullptr);
    } else {
        sent = sendOnSocket(slot, wire, total, nullptr);
    }
    return sent > 0 ? 1 : 0;
}

SessionRead readSessionMessage(int32_t slot, SessionMessage* message) {
    uint8_t raw[kSessionHeaderBytes] = {};
    const int32_t got = receiveOnSocket(slot, raw, kSessionHeaderBytes, false);
    if (got == 0) return SessionRead::Closed;
    if (got == -2) return SessionRead::Nothing;
    if (got < 0) return SessionRead::Failed;
    // Cleared only once a message begins: idle polls cost no 1 KB clear.
    *message = SessionMessage{};
    if (got < static_cast<int32_t>(kSessionHeaderBytes) &&
        !readRest(slot, raw + got, kSessionHeaderBytes - static_cast<uint32_t>(got))) {
        return SessionRead::Closed;
    }
    message->header = decodeSessionHeader(raw);
    const uint32_t length = message->header.length;
    if (length > kSessionPayloadMax) {
        uint8_t scrap[kSessionPayloadMax];
        for (uint32_t left = length; left > 0;) {
            const uint32_t n = left < kSessionPayloadMax ? left : kSessionPayloadMax;
            if (!readRest(slot, scrap, n)) return SessionRead::Closed;
            left -= n;
        }
        *message = SessionMessage{};
        return SessionRead::Skipped;
    }
    if (length > 0 && !readRest(slot, message->payload, length)) return SessionRead::Closed;
    message->payload[length] = 0;
    return SessionRead::Whole;
}
