// The Blowfish block cipher: 64-bit blocks, 16 rounds, the standard key
// schedule and initial tables. A block is two 32-bit halves, left = bytes 0
// to 3 and right = bytes 4 to 7, each read as a little-endian word; key bytes
// enter the schedule as big-endian words.
#pragma once
#include <cstdint>

extern const uint32_t blowfishInitialP[18];
extern const uint32_t blowfishInitialS[4 * 256];

struct BlowfishContext {
    uint32_t P[18];
    uint32_t S[4 * 256];  // the four S-boxes one after the other
};

// The key schedule; only the first 72 key bytes can matter. An empty key
// leaves the tables as a key of zero bytes would (no key bits to mix in).
void blowfishSetKey(BlowfishContext& context, const uint8_t* key, int32_t keyLength);
void blowfishEncryptBlock(const BlowfishContext& context, uint32_t& left, uint32_t& right);
void blowfishDecryptBlock(const BlowfishContext& context, uint32_t& left, uint32_t& right);
// n rounded up to a multiple of 8.
uint32_t blowfishPaddedSize(uint32_t n);
// Encrypts `length` bytes block by block (ECB), the last block filled with
// zero bytes; `out` must hold blowfishPaddedSize(length) bytes. Returns that
// size (0 for no bytes). `in` and `out` may be the same buffer.
uint32_t blowfishEncryptBuffer(const BlowfishContext& context, const uint8_t* in, uint8_t* out, uint32_t length);
// Decrypts every 8-byte block that starts below `length`; both buffers must
// hold blowfishPaddedSize(length) bytes. `in` and `out` may be the same.
void blowfishDecryptBuffer(const BlowfishContext& context, const uint8_t* in, uint8_t* out, uint32_t length);
