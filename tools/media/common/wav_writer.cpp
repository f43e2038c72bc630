// RIFF/WAVE PCM encoding, byte by byte so the output is little-endian on any host.
#include "wav_writer.h"

#include "media_error.h"
#include "text_source.h"

namespace media {
namespace {

void put16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

}  // namespace

std::string encodeWavPcm16(uint32_t sampleRate, uint16_t channels, const std::vector<int16_t>& samples) {
    if (channels == 0 || samples.size() % channels != 0)
        throw MediaError("WAV: the samples do not fill whole frames of " + std::to_string(channels) + " channels");
    const uint64_t dataBytes = static_cast<uint64_t>(samples.size()) * 2;
    if (dataBytes > 0x7FFFFFF0ull) throw MediaError("WAV: too many samples");
    const uint16_t blockAlign = static_cast<uint16_t>(channels * 2);
    std::string out;
    out.reserve(44 + dataBytes);
    out += "RIFF";
    put32(out, static_cast<uint32_t>(36 + dataBytes));
    out += "WAVE";
    out += "fmt ";
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, channels);
    put32(out, sampleRate);
    put32(out, sampleRate * blockAlign);
    put16(out, blockAlign);
    put16(out, 16);
    out += "data";
    put32(out, static_cast<uint32_t>(dataBytes));
    for (int16_t s : samples) put16(out, static_cast<uint16_t>(s));
    return out;
}

void writeWavPcm16(const std::string& path, uint32_t sampleRate, uint16_t channels,
                   const std::vector<int16_t>& samples) {
    writeWholeFile(path, encodeWavPcm16(sampleRate, channels, samples));
}

}  // namespace media
