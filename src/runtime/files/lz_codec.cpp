// The codec object: output growth, the mode switch, and mode 1 over liblzo2
// (lzo1x_decompress_safe, lzo1x_1_compress).
//
// Departure: the mode-1 encoder's output buffer is sized by liblzo2's own
// worst case for incompressible input (n + n/16 + 64 + 3) plus the length
// field; a smaller buffer could be overrun by data that does not compress.
#include "runtime/files/lz_codec.h"

#include <cstdlib>
#include <cstring>
#include <lzo/lzo1x.h>
#include <mutex>

#include "runtime/files/lzss.h"

namespace {

constexpr uint32_t kGrowthStep = 1024;
constexpr uint32_t kGrowthSpare = 8;
// Output never grows past this, so its length stays a valid u32.
constexpr uint32_t kMaxOutput = 0xFFFFFFFFu - kGrowthStep - kGrowthSpare;

// LZO1X codes a run of at most 255 more bytes per input byte (the zero bytes
// of a long match length), so a stream of n bytes cannot produce more than
// this; a length field above it can never match and is refused before any
// buffer of that size is made.
uint64_t mostLzoCanProduce(uint64_t streamLength) { return streamLength * 256 + 1024; }

bool lzoReady() {
    static const bool ready = lzo_init() == LZO_E_OK;
    return ready;
}

void startOperation(LzDecoder& decoder) {
    lzDecoderReset(decoder);
    decoder.outOfSpace = false;
}

uint32_t readU32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint32_t lzoDecode(LzDecoder& decoder, const uint8_t* input, uint32_t inputLength) {
    if (inputLength < 4 || !lzoReady()) return 0;
    const uint32_t expected = readU32(input);
    const uint32_t streamLength = inputLength - 4;
    if (expected > mostLzoCanProduce(streamLength)) return 0;
    decoder.output = static_cast<uint8_t*>(std::malloc(expected ? expected : 1));
    if (!decoder.output) return 0;
    lzo_uint produced = expected;
    int status = lzo1x_decompress_safe(input + 4, streamLength, decoder.output, &produced, nullptr);
    if (status != LZO_E_OK || produced != expected) return 0;
    decoder.outputLength = expected;
    return expected;
}

int32_t lzoEncode(LzDecoder& decoder, const uint8_t* input, uint32_t inputLength) {
    // One work area for the process: mode-1 encodes take turns.
    alignas(16) static unsigned char workArea[LZO1X_1_MEM_COMPRESS];
    static std::mutex workAreaInUse;
    if (!lzoReady()) return 0;
    const uint64_t capacity = 4 + uint64_t{inputLength} + inputLength / 16 + 64 + 3;
    if (capacity > 0x7FFFFFFF) return 0;  // the result is a signed 32-bit count
    decoder.output = static_cast<uint8_t*>(std::malloc(capacity));
    if (!decoder.output) return 0;
    lzo_uint packed = capacity - 4;
    {
        std::lock_guard<std::mutex> lock(workAreaInUse);
        if (lzo1x_1_compress(input, inputLength, decoder.output + 4, &packed, workArea) != LZO_E_OK) return 0;
    }
    for (int i = 0; i < 4; ++i) decoder.output[i] = static_cast<uint8_t>(inputLength >> (8 * i));
    decoder.outputLength = static_cast<uint32_t>(packed + 4);
    return static_cast<int32_t>(decoder.outputLength);
}

}  // namespace

LzDecoder::~LzDecoder() { std::free(output); }

void lzDecoderReset(LzDecoder& decoder) {
    std::free(decoder.output);
    decoder.output = nullptr;
    decoder.outputLength = 0;
    decoder.windowPos = 0;
}

void lzDecoderPutByte(LzDecoder& decoder, uint8_t byte) {
    if (decoder.outputLength % kGrowthStep == 0) {
        if (decoder.outputLength >= kMaxOutput) {
            decoder.outOfSpace = true;
            return;
        }
        void* grown = std::realloc(decoder.output, decoder.outputLength + kGrowthStep + kGrowthSpare);
        if (!grown) {
            decoder.outOfSpace = true;
            return;
        }
        decoder.output = static_cast<uint8_t*>(grown);
    }
    decoder.output[decoder.outputLength++] = byte;
    decoder.window[decoder.windowPos] = byte;
    decoder.windowPos = (decoder.windowPos + 1) % kLzWindowSize;
}

uint32_t lzDecode(LzDecoder& decoder, const uint8_t* input, uint32_t inputLength) {
    startOperation(decoder);
    if (!input && inputLength) return 0;
    uint32_t produced = decoder.mode == kLzModeLzo ? lzoDecode(decoder, input, inputLength)
                                                   : lzssDecode(decoder, input, inputLength);
    if (produced == 0 || decoder.outOfSpace) decoder.outputLength = 0;
    return decoder.outputLength;
}

int32_t lzEncode(LzDecoder& decoder, const uint8_t* input, uint32_t inputLength) {
    startOperation(decoder);
    if (!input && inputLength) return 0;
    int32_t written = decoder.mode == kLzModeLzo ? lzoEncode(decoder, input, inputLength)
                                                 : lzssEncode(decoder, input, inputLength);
    if (written <= 0 || decoder.outOfSpace) {
        lzDecoderReset(decoder);
        return 0;
    }
    return written;
}
