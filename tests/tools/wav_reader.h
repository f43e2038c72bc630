// A WAV reader of our own for the tests: walks the RIFF chunks (any chunks
// before "fmt " and between "fmt " and "data" are skipped), reads the format
// and the 16-bit samples, and says exactly what is wrong with a bad file.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace mediatest {

struct WavData {
    uint16_t formatTag = 0, channels = 0, blockAlign = 0, bitsPerSample = 0;
    uint32_t sampleRate = 0, byteRate = 0, fmtSize = 0, dataBytes = 0;
    std::vector<int16_t> samples;  // interleaved, when bitsPerSample is 16

    double seconds() const {
        return blockAlign && sampleRate ? static_cast<double>(dataBytes) / blockAlign / sampleRate : 0;
    }
};

// Parses the bytes of a WAV file; false with the reason on a bad file.
bool parseWav(const std::string& bytes, WavData& wav, std::string& error);
bool readWav(const std::string& path, WavData& wav, std::string& error);

}  // namespace mediatest
