// The compression codec: one object that turns a whole buffer into a
// compressed form and back, in one of two stream formats chosen by `mode`.
//
// Mode 1 (kLzModeLzo): the uncompressed length as u32 little-endian, then an
// LZO1X stream as liblzo2's lzo1x_1_compress writes it. Every pack entry is
// stored so.
// Any other mode: the runtime's own LZSS with a 2,048-byte window. A chunk is
// one flag byte and up to eight items, flag bits taken from bit 7 down: a 0
// bit is one literal byte, a 1 bit a match token of two bytes b0 b1 standing
// for L = (b0 & 15) + 2 bytes copied from d = (b0 & 0xF0) * 8 + b1 bytes back
// in the output. A token whose b0 is 0 ends the stream. The first input byte
// is always a literal.
//
// Departure: the encoder writes b0 = ((d / 8) & ~15) + (L - 2) and
// b1 = d % 128 with L at most 17, which is exactly what the decoder above
// reads for every distance 1 to 2,047; taking b1 as d % 256 and lengths up
// to 33 would write tokens that decode to other bytes. Streams whose tokens
// have distances below 128 and lengths 3 to 17 read the same either way.
//
// Bounded decoding: a mode-1 stream shorter than its length field, rejected
// by LZO, or producing a different number of bytes than its length field
// says decodes to 0 bytes; so does an LZSS stream that ends without its end
// token. No decoder reads outside its input or writes outside its output.
//
// Calling order: make the object (it is large, make it on the heap), set
// `mode`, call lzDecode or lzEncode, take `output` and `outputLength` (to
// keep `output`, set the field to null: the buffer comes from malloc and the
// taker frees it), then lzDecoderReset or destroy the object.
#pragma once
#include <cstdint>

constexpr uint32_t kLzModeLzo = 1;
constexpr int kLzWindowSize = 2048;  // bytes of history an LZSS token can reach
constexpr int kLzBuckets = 4096;     // (a % 64) * 64 + (b % 64) for a byte pair a, b
constexpr int kLzBucketDepth = 16;   // most recent positions kept per bucket, newest first
constexpr int kLzMaxMatch = 17;      // longest LZSS match the token holds

struct LzDecoder {
    // Match-finder buckets of the LZSS encoder; 0xFFFFFFFF is an empty slot.
    uint32_t hashTable[kLzBuckets][kLzBucketDepth];
    uint8_t* output = nullptr;   // produced bytes (malloc), owned until taken
    uint32_t outputLength = 0;   // bytes in `output`
    uint8_t window[kLzWindowSize];  // the last 2,048 bytes produced (LZSS)
    uint16_t windowPos = 0;      // next write position in `window`
    uint32_t mode = 0;           // kLzModeLzo, or anything else for LZSS
    bool outOfSpace = false;     // the output could not grow; the operation gives 0

    LzDecoder() = default;
    ~LzDecoder();
    LzDecoder(const LzDecoder&) = delete;
    LzDecoder& operator=(const LzDecoder&) = delete;
};

// Frees `output`; `outputLength` and `windowPos` become 0. `mode`, `window`
// and `hashTable` stay.
void lzDecoderReset(LzDecoder& decoder);

// Appends one byte to `output` (growing it in steps of 1,024 bytes, always
// with 8 bytes to spare) and to the window.
void lzDecoderPutByte(LzDecoder& decoder, uint8_t byte);

// Frees the previous output and decodes the whole input in the object's mode.
// The bytes produced (also in `outputLength`), or 0 for a stream that does
// not decode (then `outputLength` is 0; a buffer may stay in `output`).
uint32_t lzDecode(LzDecoder& decoder, const uint8_t* input, uint32_t inputLength);

// Moves the 16 entries of the pair's bucket one place on, dropping the
// oldest, and stores `position` first.
void lzHashInsert(uint32_t (*hashTable)[kLzBucketDepth], uint8_t a, uint8_t b, uint32_t position);

// Frees the previous output and encodes the whole input in the object's mode.
// The bytes written (also in `outputLength`); 0 for an LZSS input shorter
// than 2 bytes, or when the output could not be made.
int32_t lzEncode(LzDecoder& decoder, const uint8_t* input, uint32_t inputLength);
