// The LZSS half of the codec (see lz_codec.h for the stream format); called
// by lzDecode and lzEncode after they have cleared the output.
#pragma once
#include <cstdint>

#include "runtime/files/lz_codec.h"

uint32_t lzssDecode(LzDecoder& decoder, const uint8_t* input, uint32_t inputLength);
int32_t lzssEncode(LzDecoder& decoder, const uint8_t* input, uint32_t inputLength);
