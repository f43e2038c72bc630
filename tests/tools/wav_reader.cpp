// RIFF/WAVE parsing, little-endian, bounds-checked at every read.
#include "wav_reader.h"

#include "file_bytes.h"

namespace mediatest {
namespace {

uint32_t le32(const std::string& b, size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
uint16_t le16(const std::string& b, size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}

}  // namespace

bool parseWav(const std::string& b, WavData& wav, std::string& error) {
    if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) {
        error = "not RIFF/WAVE";
        return false;
    }
    if (le32(b, 4) != b.size() - 8) {
        error = "RIFF size " + std::to_string(le32(b, 4)) + " for a file of " + std::to_string(b.size()) + " bytes";
        return false;
    }
    bool haveFmt = false;
    size_t at = 12;
    while (at + 8 <= b.size()) {
        std::string id = b.substr(at, 4);
        uint32_t size = le32(b, at + 4);
        size_t body = at + 8;
        if (size > b.size() - body) {
            error = "chunk '" + id + "' runs past the end of the file";
            return false;
        }
        if (id == "fmt ") {
            if (size < 16) {
                error = "fmt chunk of " + std::to_string(size) + " bytes";
                return false;
            }
            wav.fmtSize = size;
            wav.formatTag = le16(b, body);
            wav.channels = le16(b, body + 2);
            wav.sampleRate = le32(b, body + 4);
            wav.byteRate = le32(b, body + 8);
            wav.blockAlign = le16(b, body + 12);
            wav.bitsPerSample = le16(b, body + 14);
            haveFmt = true;
        } else if (id == "data") {
            if (!haveFmt) {
                error = "data chunk before the fmt chunk";
                return false;
            }
            wav.dataBytes = size;
            if (wav.bitsPerSample == 16) {
                wav.samples.resize(size / 2);
                for (size_t i = 0; i < wav.samples.size(); ++i)
                    wav.samples[i] = static_cast<int16_t>(le16(b, body + i * 2));
            }
            return true;
        }
        at = body + size;
    }
    error = haveFmt ? "no data chunk" : "no fmt chunk";
    return false;
}

bool readWav(const std::string& path, WavData& wav, std::string& error) {
    if (!testsupport::fileExists(path)) {
        error = path + ": missing";
        return false;
    }
    return parseWav(testsupport::readFileBytes(path), wav, error);
}

}  // namespace mediatest
