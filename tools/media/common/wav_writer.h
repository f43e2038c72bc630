// WAV output of the sound-effect synthesiser: a RIFF/WAVE file with one
// 16-byte "fmt " chunk (PCM, format tag 1) and one "data" chunk of 16-bit
// little-endian samples, channels interleaved.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace media {

std::string encodeWavPcm16(uint32_t sampleRate, uint16_t channels, const std::vector<int16_t>& samples);
void writeWavPcm16(const std::string& path, uint32_t sampleRate, uint16_t channels,
                   const std::vector<int16_t>& samples);

}  // namespace media
