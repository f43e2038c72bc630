// The text form of levels: glyphs, rock outlines, parameters and explicit
// cells. Depends on level_data.h.
#include "level_text.h"

#include <sstream>

namespace levels {

namespace {
constexpr int8_t kWeed = 7;
constexpr int8_t kFishUp = 35, kFishDown = 38;

// Outlined sides -> rock tile, indexed by the side bits.
constexpr int8_t kRockBySides[16] = {
    1,   // none
    11,  // top
    3,   // bottom
    10,  // top + bottom
    5,   // left
    2,   // top + left
    8,   // bottom + left
    15,  // top + bottom + left
    6,   // right
    4,   // top + right
    9,   // bottom + right
    16,  // top + bottom + right
    12,  // left + right
    13,  // top + left + right
    14,  // bottom + left + right
    17,  // all four
};

const Glyph* glyphOfChar(char c) {
    for (const Glyph& g : glyphTable()) {
        if (g.glyph == c) return &g;
    }
    return nullptr;
}

struct Source {
    std::vector<std::string> rows;
    std::vector<std::vector<int32_t>> explicitCode;  // -1000 when none
};
constexpr int32_t kNone = -1000;

// A neighbour is a wall when it lies outside the level, holds rock, or holds
// another solid tile.
bool wallAt(const std::vector<std::string>& rows, const LevelData& level, int32_t x, int32_t y) {
    if (!level.inside(x, y)) return true;
    if (rows[static_cast<size_t>(y)][static_cast<size_t>(x)] == kRockGlyph) return true;
    return isWallCode(level.at(x, y));
}

int sidesFacingWater(const std::vector<std::string>& rows, const LevelData& level, int32_t x, int32_t y) {
    int sides = 0;
    if (!wallAt(rows, level, x, y - 1)) sides |= kTop;
    if (!wallAt(rows, level, x, y + 1)) sides |= kBottom;
    if (!wallAt(rows, level, x - 1, y)) sides |= kLeft;
    if (!wallAt(rows, level, x + 1, y)) sides |= kRight;
    return sides;
}

// Fills the codes of every glyph but rock, then the rock outlines, then the
// explicit cells over both.
void buildCells(const Source& src, LevelData& level) {
    for (int32_t y = 0; y < level.height; ++y) {
        for (int32_t x = 0; x < level.width; ++x) {
            const char c = src.rows[static_cast<size_t>(y)][static_cast<size_t>(x)];
            const int32_t forced = src.explicitCode[static_cast<size_t>(y)][static_cast<size_t>(x)];
            const Glyph* g = glyphOfChar(c);
            level.set(x, y, forced != kNone && c != kRockGlyph ? forced : (g ? g->code : 0));
        }
    }
    for (int32_t y = 0; y < level.height; ++y) {
        for (int32_t x = 0; x < level.width; ++x) {
            if (src.rows[static_cast<size_t>(y)][static_cast<size_t>(x)] != kRockGlyph) continue;
            const int32_t forced = src.explicitCode[static_cast<size_t>(y)][static_cast<size_t>(x)];
            level.set(x, y, forced != kNone ? forced : rockTileFor(sidesFacingWater(src.rows, level, x, y)));
        }
    }
}

bool readInt(std::istringstream& in, int32_t& value) { return static_cast<bool>(in >> value); }
}  // namespace

const std::vector<Glyph>& glyphTable() {
    static const std::vector<Glyph> table = {
        {'.', 0, "water", 0x1c3c6c},                   {'#', 1, "rock (outlined by its neighbours)", 0x6c5848},
        {'=', 18, "sand", 0xc8b070},                   {'%', 19, "coral", 0xd06070},
        {'&', 20, "wreck plate", 0x707c88},            {'+', 21, "stone blocks", 0x989898},
        {'"', 23, "kelp", 0x2c7c34},                   {'W', kWeed, "weed", 0x58a840},
        {'P', 32, "diver", 0xf8f8f8},                  {'G', 33, "gem", 0x40e8e8},
        {'S', 34, "starfish, left hand", 0xf08030},    {'F', kFishUp, "fish going up", 0xf0d040},
        {'O', 36, "octopus", 0xa050c8},                {'Q', 37, "sponge", 0xe8a0c8},
        {'f', kFishDown, "fish going down", 0xd8b828}, {'B', 39, "boulder", 0x8c7c68},
        {'V', 40, "bubble vent", 0xa0d4f8},            {'C', 41, "crab going right", 0xe04020},
        {'c', 42, "crab going left", 0xc03018},        {'M', 43, "mine", 0x383838},
        {'s', 44, "starfish, right hand", 0xd87028},   {'X', 45, "bomb", 0x181818},
        {'Y', 46, "oyster (its lower cell)", 0xc4b4a0}, {'K', 47, "pearl", 0xfff4e4},
        {'A', 48, "angler", 0x405468},
    };
    return table;
}

int8_t rockTileFor(int sides) { return kRockBySides[sides & 15]; }

const Glyph* glyphOfCode(int32_t code) {
    if (isRockTile(code)) return glyphOfChar(kRockGlyph);
    for (const Glyph& g : glyphTable()) {
        if (g.glyph != kRockGlyph && g.code == code) return &g;
    }
    return nullptr;
}

bool isRockTile(int32_t code) { return code >= 1 && code <= 17 && code != kWeed; }

bool isWallCode(int32_t code) { return code >= 1 && code <= 21 && code != kWeed; }

std::array<int16_t, kParamCount> fishParamsInReadingOrder(const LevelData& level) {
    std::array<int16_t, kParamCount> params{};
    size_t n = 0;
    for (int32_t y = 0; y < level.height; ++y) {
        for (int32_t x = 0; x < level.width; ++x) {
            const int32_t code = level.at(x, y);
            if ((code == kFishUp || code == kFishDown) && n < params.size()) {
                params[n++] = static_cast<int16_t>(x + 15 * y);
            }
        }
    }
    return params;
}

bool parseLevelText(const std::string& text, LevelData& level, std::vector<std::string>& errors) {
    std::istringstream lines(text);
    std::string line;
    int32_t lineNo = 0;
    auto fail = [&](const std::string& why) { errors.push_back("line " + std::to_string(lineNo) + ": " + why); };

    Source src;
    level = LevelData{};
    bool sized = false;
    bool paramsGiven = false;
    std::array<int16_t, kParamCount> params{};
    while (std::getline(lines, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!sized) {
            std::istringstream in(line);
            std::string word;
            int32_t w = 0, h = 0;
            if (!(in >> word) || word != "size" || !readInt(in, w) || !readInt(in, h) || w < 1 || h < 1 ||
                w > kMaxSide || h > kMaxSide) {
                fail("expected \"size <width> <height>\" with sides from 1 to 30");
                return false;
            }
            level.width = w;
            level.height = h;
            level.cells.assign(static_cast<size_t>(w * h), 0);
            src.explicitCode.assign(static_cast<size_t>(h), std::vector<int32_t>(static_cast<size_t>(w), kNone));
            sized = true;
            continue;
        }
        if (static_cast<int32_t>(src.rows.size()) < level.height) {
            if (static_cast<int32_t>(line.size()) != level.width) {
                fail("a row of " + std::to_string(line.size()) + " glyphs in a level " + std::to_string(level.width) +
                     " wide");
            }
            line.resize(static_cast<size_t>(level.width), '.');
            for (size_t x = 0; x < line.size(); ++x) {
                if (line[x] != kExplicitGlyph && !glyphOfChar(line[x])) {
                    fail(std::string("unknown glyph '") + line[x] + "' at column " + std::to_string(x));
                }
            }
            src.rows.push_back(line);
            continue;
        }
        std::istringstream in(line);
        std::string word;
        if (!(in >> word)) continue;  // blank lines after the map
        if (word == "params") {
            for (int16_t& p : params) {
                int32_t v = 0;
                if (!readInt(in, v) || v < -32768 || v > 32767) {
                    fail("\"params\" takes ten 16-bit numbers");
                    break;
                }
                p = static_cast<int16_t>(v);
            }
            paramsGiven = true;
        } else if (word == "cell") {
            int32_t x = 0, y = 0, code = 0;
            if (!readInt(in, x) || !readInt(in, y) || !readInt(in, code) || !level.inside(x, y) || code < -128 ||
                code > 127) {
                fail("\"cell <x> <y> <code>\" needs a cell inside the level and a code from -128 to 127");
                continue;
            }
            src.explicitCode[static_cast<size_t>(y)][static_cast<size_t>(x)] = code;
        } else {
            fail("unknown line \"" + word + "\"");
        }
    }
    if (!sized) {
        fail("empty text");
        return false;
    }
    if (static_cast<int32_t>(src.rows.size()) < level.height) {
        fail(std::to_string(src.rows.size()) + " rows in a level " + std::to_string(level.height) + " high");
        return false;
    }
    for (int32_t y = 0; y < level.height; ++y) {
        for (int32_t x = 0; x < level.width; ++x) {
            if (src.rows[static_cast<size_t>(y)][static_cast<size_t>(x)] == kExplicitGlyph &&
                src.explicitCode[static_cast<size_t>(y)][static_cast<size_t>(x)] == kNone) {
                errors.push_back("cell " + std::to_string(x) + " " + std::to_string(y) + ": '?' without a \"cell\" line");
            }
        }
    }
    buildCells(src, level);
    level.params = paramsGiven ? params : fishParamsInReadingOrder(level);
    return errors.empty();
}

std::string levelToText(const LevelData& level) {
    Source src;
    src.rows.assign(static_cast<size_t>(level.height), std::string(static_cast<size_t>(level.width), '.'));
    src.explicitCode.assign(static_cast<size_t>(level.height),
                            std::vector<int32_t>(static_cast<size_t>(level.width), kNone));
    for (int32_t y = 0; y < level.height; ++y) {
        for (int32_t x = 0; x < level.width; ++x) {
            const Glyph* g = glyphOfCode(level.at(x, y));
            src.rows[static_cast<size_t>(y)][static_cast<size_t>(x)] = g ? g->glyph : kExplicitGlyph;
        }
    }
    // What the glyphs alone would give; every cell that differs is written
    // out (the '?' cells and rock that is not outlined as its neighbours ask).
    LevelData plain = level;
    buildCells(src, plain);
    std::ostringstream out;
    out << "size " << level.width << ' ' << level.height << '\n';
    for (const std::string& row : src.rows) out << row << '\n';
    if (level.params != fishParamsInReadingOrder(level)) {
        out << "params";
        for (int16_t p : level.params) out << ' ' << p;
        out << '\n';
    }
    for (int32_t y = 0; y < level.height; ++y) {
        for (int32_t x = 0; x < level.width; ++x) {
            const bool needsLine = src.rows[static_cast<size_t>(y)][static_cast<size_t>(x)] == kExplicitGlyph ||
                                   plain.at(x, y) != level.at(x, y);
            if (needsLine) out << "cell " << x << ' ' << y << ' ' << level.at(x, y) << '\n';
        }
    }
    return out.str();
}

}  // namespace levels
