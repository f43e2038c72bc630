// The session layer's wire format: every message between a session's host
// and its members is a 7-byte header (kind u8, then length, receiver and
// sender as u16, little-endian) followed by `length` payload bytes, at most
// 1,024. Messages follow one another on the TCP stream with no separator.
// Reading and sending them on a connection, without ever waiting for it,
// is the session link's (session_link.h).
// Depends on nothing but the standard library.
#pragma once
#include <cstdint>

inline constexpr uint32_t kSessionHeaderBytes = 7;
inline constexpr uint32_t kSessionPayloadMax = 1024;
inline constexpr uint32_t kPlayerNameBytes = 128;  // the name field, NUL included
inline constexpr uint32_t kPlayerRequestBytes = 136;

enum SessionKind : uint8_t {
    kKindPlayerRequest = 1,      // member -> host: a player wants an id
    kKindPlayerId = 2,           // host -> member: the id assigned
    kKindText = 3,               // a text between players
    kKindRemovePlayer = 4,       // member -> host: a player leaves
    kKindPlayerCount = 101,      // queries and their replies
    kKindPlayerIdByNumber = 102,
    kKindPlayerName = 103,
    kKindJoinHandshake = 104,
};

// Player ids.
inline constexpr uint16_t kHostPlayerId = 0;
inline constexpr uint16_t kFirstAssignedPlayerId = 101;
inline constexpr uint16_t kLastValidPlayerId = 65279;
inline constexpr uint16_t kAwaitingPlayerId = 65532;  // request sent, no id yet
inline constexpr uint16_t kUnsentPlayerId = 65534;    // request not yet sent
inline constexpr uint16_t kEveryPlayer = 65535;       // receiver of a broadcast

inline bool isValidPlayerId(int64_t id) { return id >= 1 && id <= kLastValidPlayerId; }
// The kinds of a question and of its answer.
inline bool isQueryKind(uint8_t kind) { return kind >= kKindPlayerCount && kind <= kKindJoinHandshake; }

struct SessionMessageHeader {
    uint8_t kind = 0;
    uint16_t length = 0;  // payload bytes
    uint16_t receiver = 0;
    uint16_t sender = 0;
};

// One stored message. The payload keeps one byte more than the format's
// largest, so that even a full payload ends in a NUL and reads as C text.
struct SessionMessage {
    SessionMessageHeader header;
    uint8_t payload[kSessionPayloadMax + 1] = {};
};

void encodeSessionHeader(const SessionMessageHeader& header, uint8_t out[kSessionHeaderBytes]);
SessionMessageHeader decodeSessionHeader(const uint8_t in[kSessionHeaderBytes]);

// A message with the payload copied in (length cut to 1,024) and a NUL after it.
SessionMessage makeSessionMessage(uint8_t kind, uint16_t receiver, uint16_t sender, const void* payload,
                                  uint32_t length);
// The first two payload bytes as a little-endian u16 (0 for a shorter payload).
uint16_t sessionPayloadU16(const SessionMessage& message);
// A two-byte payload holding the value.
SessionMessage makeSessionMessageU16(uint8_t kind, uint16_t receiver, uint16_t sender, uint16_t value);

// The kind-1 request of a player: slot all ones, id 65,534, the query-only
// flag, reserved 0 and the 128-byte name field (cut to 127 characters).
SessionMessage makePlayerRequest(bool queryOnly, const char* name);
// The query-only flag and the name (NUL-terminated within the 128 bytes)
// of a kind-1 payload.
void readPlayerRequest(const SessionMessage& message, bool* queryOnly, char (&name)[kPlayerNameBytes]);

// The message as it travels: header and `length` payload bytes. The
// number of bytes written (0 for a length above 1,024, which is never sent).
uint32_t encodeSessionMessage(const SessionMessage& message, uint8_t out[kSessionHeaderBytes + kSessionPayloadMax]);
