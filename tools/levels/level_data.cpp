// Level files to bytes and back. Depends on nothing but the standard library.
#include "level_data.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace levels {

namespace {
void put16(std::string& out, int32_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}
int32_t get16(const std::string& bytes, size_t at) {
    const auto lo = static_cast<uint8_t>(bytes[at]);
    const auto hi = static_cast<uint8_t>(bytes[at + 1]);
    return static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8)));
}
}  // namespace

std::string encodeLevel(const LevelData& level) {
    std::string out;
    put16(out, level.width - 1);
    put16(out, level.height - 1);
    for (int8_t c : level.cells) out.push_back(static_cast<char>(c));
    for (int16_t p : level.params) put16(out, p);
    return out;
}

bool decodeLevel(const std::string& bytes, LevelData& level, std::string& error) {
    if (bytes.size() < 4) {
        error = "shorter than its two sizes (" + std::to_string(bytes.size()) + " bytes)";
        return false;
    }
    const int32_t width = get16(bytes, 0) + 1;
    const int32_t height = get16(bytes, 2) + 1;
    if (width < 1 || width > kMaxSide || height < 1 || height > kMaxSide) {
        error = "size " + std::to_string(width) + " x " + std::to_string(height) + " outside 1 to 30 cells";
        return false;
    }
    const size_t cellCount = static_cast<size_t>(width * height);
    const size_t expected = 4 + cellCount + 2 * kParamCount;
    if (bytes.size() != expected) {
        error = std::to_string(bytes.size()) + " bytes where a level of " + std::to_string(width) + " x " +
                std::to_string(height) + " has " + std::to_string(expected);
        return false;
    }
    level.width = width;
    level.height = height;
    level.cells.resize(cellCount);
    for (size_t i = 0; i < cellCount; ++i) level.cells[i] = static_cast<int8_t>(bytes[4 + i]);
    for (int32_t i = 0; i < kParamCount; ++i) {
        level.params[static_cast<size_t>(i)] = static_cast<int16_t>(get16(bytes, 4 + cellCount + 2 * static_cast<size_t>(i)));
    }
    return true;
}

std::string levelFileName(int32_t number) { return "shol" + std::to_string(number) + ".dat"; }

// C stdio rather than a stream: its failures leave the reason in errno (a
// folder, say, opens and then fails to read with EISDIR).
bool readWholeFile(const std::string& path, std::string& bytes, std::string* why) {
    bytes.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    int cause = file ? 0 : errno;
    if (file) {
        char chunk[4096];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
        if (std::ferror(file)) cause = errno != 0 ? errno : EIO;
        std::fclose(file);
    }
    if (cause != 0 && why) *why = std::strerror(cause);
    return cause == 0;
}

// Written beside the file and renamed over it, so that a failed write (a
// full disk, say) leaves the old file whole.
bool writeWholeFile(const std::string& path, const std::string& bytes, std::string* why) {
    const std::string partial = path + ".partial";
    std::FILE* file = std::fopen(partial.c_str(), "wb");
    int cause = file ? 0 : errno;
    if (file) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) cause = errno != 0 ? errno : EIO;
        if (std::fclose(file) != 0 && cause == 0) cause = errno;
        if (cause == 0 && std::rename(partial.c_str(), path.c_str()) != 0) cause = errno;
        if (cause != 0) std::remove(partial.c_str());
    }
    if (cause != 0 && why) *why = std::strerror(cause);
    return cause == 0;
}

}  // namespace levels
