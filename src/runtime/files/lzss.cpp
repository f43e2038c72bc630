// The runtime's LZSS: the decoder of its chunked token stream and the
// encoder's match finder over the bucket table (see lz_codec.h).
//
// The decoder starts every stream from a zero-filled window, so a token that
// reaches back before the stream's first byte reads zeros, never the bytes
// of an earlier stream.
//
// The match finder picks, at each position, the longest match (at most 17
// bytes, never past the input's end) that starts in the 2,047 bytes before
// it, the nearest one among equal lengths, looking at the 16 newest
// positions of the pair's bucket first and, when those are all inside the
// window, at every older position down to the window's start. A candidate
// is only compared in full when it agrees at the byte where it would have to
// beat the best so far, which keeps the position-by-position scan cheap
// without changing what it finds.
#include "runtime/files/lzss.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint32_t kEmptySlot = 0xFFFFFFFFu;
constexpr int kItemsPerChunk = 8;

int bucketOf(uint8_t a, uint8_t b) { return (a % 64) * 64 + (b % 64); }

// The pair key at position p; the last position has no second byte and
// takes 0 in its place.
uint8_t secondByte(const uint8_t* input, uint32_t length, uint32_t p) { return p + 1 < length ? input[p + 1] : 0; }

// One chunk being filled: its flag byte and up to eight items of 1 or 2 bytes.
class ChunkWriter {
public:
    explicit ChunkWriter(LzDecoder& decoder) : decoder_(decoder) {}

    void literal(uint8_t byte) {
        startItem(false);
        bytes_[used_++] = byte;
    }

    void match(uint32_t distance, uint32_t length) {
        startItem(true);
        bytes_[used_++] = static_cast<uint8_t>(((distance / 8) & ~15u) + (length - 2));
        bytes_[used_++] = static_cast<uint8_t>(distance % 128);
    }

    // The end token: in the current chunk's next place, or in a chunk of its
    // own (flag 0xFF) when the current one is full.
    void finish() {
        if (items_ == kItemsPerChunk) {
            flush();
            lzDecoderPutByte(decoder_, 0xFF);
        } else {
            flags_ |= static_cast<uint8_t>(0x80 >> items_);
            flush();
        }
        lzDecoderPutByte(decoder_, 0);
    }

private:
    void startItem(bool isMatch) {
        if (items_ == kItemsPerChunk) flush();
        if (isMatch) flags_ |= static_cast<uint8_t>(0x80 >> items_);
        ++items_;
    }

    void flush() {
        lzDecoderPutByte(decoder_, flags_);
        for (int i = 0; i < used_; ++i) lzDecoderPutByte(decoder_, bytes_[i]);
        flags_ = 0;
        items_ = 0;
        used_ = 0;
    }

    LzDecoder& decoder_;
    uint8_t flags_ = 0;
    int items_ = 0;
    uint8_t bytes_[2 * kItemsPerChunk];
    int used_ = 0;
};

// The best match for position p among earlier positions.
class MatchSearch {
public:
    MatchSearch(const uint8_t* input, uint32_t p, uint32_t limit) : input_(input), p_(p), limit_(limit) {}

    // Looks at candidate c; true once nothing longer can be found.
    bool consider(uint32_t c) {
        if (input_[c + length_] != input_[p_ + length_]) return false;  // cannot beat the best
        uint32_t n = 0;
        while (n < limit_ && input_[c + n] == input_[p_ + n]) ++n;
        if (n > length_) {
            length_ = n;
            position_ = c;
        }
        return length_ == limit_;
    }

    bool done() const { return length_ == limit_; }
    uint32_t length() const { return length_; }
    uint32_t position() const { return position_; }

private:
    const uint8_t* input_;
    uint32_t p_;
    uint32_t limit_;  // longest match possible here, at least 1
    uint32_t length_ = 0;
    uint32_t position_ = 0;
};

}  // namespace

void lzHashInsert(uint32_t (*hashTable)[kLzBucketDepth], uint8_t a, uint8_t b, uint32_t position) {
    uint32_t* bucket = hashTable[bucketOf(a, b)];
    std::memmove(bucket + 1, bucket, (kLzBucketDepth - 1) * sizeof *bucket);
    bucket[0] = position;
}

uint32_t lzssDecode(LzDecoder& decoder, const uint8_t* input, uint32_t inputLength) {
    std::memset(decoder.window, 0, sizeof decoder.window);
    uint32_t at = 0;
    for (;;) {
        if (at >= inputLength) return 0;  // no end token
        const uint8_t flags = input[at++];
        for (int bit = 7; bit >= 0; --bit) {
            if (decoder.outOfSpace) return 0;
            if (at >= inputLength) return 0;
            if (!(flags >> bit & 1)) {
                lzDecoderPutByte(decoder, input[at++]);
                continue;
            }
            const uint8_t b0 = input[at++];
            if (b0 == 0) return decoder.outputLength;
            if (at >= inputLength) return 0;
            const uint8_t b1 = input[at++];
            const uint32_t length = (b0 & 15u) + 2;
            const uint32_t distance = (b0 & 0xF0u) * 8 + b1;
            for (uint32_t i = 0; i < length; ++i)
                lzDecoderPutByte(decoder, decoder.window[(decoder.windowPos + kLzWindowSize - distance) % kLzWindowSize]);
        }
    }
}

int32_t lzssEncode(LzDecoder& decoder, const uint8_t* input, uint32_t inputLength) {
    if (inputLength < 2) return 0;
    std::fill(&decoder.hashTable[0][0], &decoder.hashTable[0][0] + kLzBuckets * kLzBucketDepth, kEmptySlot);
    decoder.hashTable[bucketOf(input[0], input[1])][0] = 0;
    ChunkWriter chunk(decoder);
    chunk.literal(input[0]);
    for (uint32_t p = 1; p < inputLength && !decoder.outOfSpace;) {
        const uint32_t windowStart = p > kLzWindowSize - 1 ? p - (kLzWindowSize - 1) : 0;
        MatchSearch search(input, p, std::min<uint32_t>(kLzMaxMatch, inputLength - p));
        const uint32_t* bucket = decoder.hashTable[bucketOf(input[p], secondByte(input, inputLength, p))];
        int inWindow = 0;
        while (inWindow < kLzBucketDepth && bucket[inWindow] != kEmptySlot && bucket[inWindow] >= windowStart) {
            if (search.consider(bucket[inWindow++])) break;
        }
        if (inWindow == kLzBucketDepth && !search.done()) {
            for (uint32_t c = bucket[kLzBucketDepth - 1]; c-- > windowStart;)
                if (search.consider(c)) break;
        }
        const uint32_t taken = search.length() > 2 ? search.length() : 1;
        if (taken == 1) chunk.literal(input[p]);
        else chunk.match(p - search.position(), taken);
        for (uint32_t q = p; q < p + taken; ++q)
            lzHashInsert(decoder.hashTable, input[q], secondByte(input, inputLength, q), q);
        p += taken;
    }
    chunk.finish();
    if (decoder.outOfSpace || decoder.outputLength > 0x7FFFFFFFu) return 0;  // the count is signed 32-bit
    return static_cast<int32_t>(decoder.outputLength);
}
