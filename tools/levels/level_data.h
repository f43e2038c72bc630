// A level as the game's level file holds it: the size, one signed byte per
// cell row by row, and the ten level parameters (fish cells as x + 15 * y).
// The file is little-endian without a header: the highest column index and
// the highest row index (signed 16-bit each), the cells, then the ten
// parameters (signed 16-bit). A level of 15 x 10 cells is 174 bytes.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace levels {

constexpr int32_t kMaxSide = 30;     // the game's grids are 30 x 30
constexpr int32_t kParamCount = 10;
constexpr int32_t kStandardWidth = 15, kStandardHeight = 10;
constexpr int32_t kLevelCount = 31;  // levels 0 to 30
constexpr int32_t kLastLevel = 30;

struct LevelData {
    int32_t width = 0, height = 0;
    std::vector<int8_t> cells;  // width * height, row by row
    std::array<int16_t, kParamCount> params{};

    int32_t at(int32_t x, int32_t y) const { return cells[static_cast<size_t>(y * width + x)]; }
    void set(int32_t x, int32_t y, int32_t code) { cells[static_cast<size_t>(y * width + x)] = static_cast<int8_t>(code); }
    bool inside(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    bool operator==(const LevelData&) const = default;
};

// The file's bytes.
std::string encodeLevel(const LevelData& level);
// The level in `bytes`; false with the reason in `error` when the sizes lie
// outside 1 to 30 cells or the length is not exactly that of its sizes.
bool decodeLevel(const std::string& bytes, LevelData& level, std::string& error);

// "shol<n>.dat"
std::string levelFileName(int32_t number);

// Whole files, binary; false when the file cannot be read or written, with
// the system's reason ("No such file or directory") in `why` when asked. A
// write that fails leaves the old file as it was.
bool readWholeFile(const std::string& path, std::string& bytes, std::string* why = nullptr);
bool writeWholeFile(const std::string& path, const std::string& bytes, std::string* why = nullptr);

}  // namespace levels
