// The level checker. Depends on level_data.h, level_text.h (wall codes) and
// the game's cell codes and the places of its story.
#include "level_checker.h"

#include "game/world/cell_codes.h"
#include "game/world/story_places.h"
#include "level_text.h"

#include <cstdio>

namespace levels {

namespace {
constexpr int32_t kWeed = cell::kWeed, kKelp = cell::kGemFree;
constexpr int32_t kDiver = cell::kDiverSpawn, kGem = cell::kGemSpawn, kFishUp = cell::kFishUpSpawn,
                  kFishDown = cell::kFishDownSpawn, kMine = cell::kMine, kOyster = cell::kOyster,
                  kPearl = cell::kPearlSpawn;
constexpr int32_t kFirstSpawn = cell::kDiverSpawn, kLastSpawn = cell::kAngler;  // the spawn codes, 32 to 48
constexpr int32_t kMineSetOffAbove = 20;
constexpr int32_t kFourX[4] = {0, 0, -1, 1}, kFourY[4] = {-1, 1, 0, 0};  // the four neighbours

std::string at(int32_t x, int32_t y) {
    char text[32];
    std::snprintf(text, sizeof text, "(%d, %d)", x, y);
    return text;
}

bool allowedCode(int32_t code) {
    return code == 0 || (code >= cell::kFiller && code <= cell::kLastSolid) || code == kKelp || (code >= kFirstSpawn && code <= kLastSpawn);
}

// The map as the loader leaves it before any family moves: weeds, gems and
// pearls leave water, an oyster fills the cell above it, named fish cells
// hold 25.
std::vector<int32_t> loadedCodes(const LevelData& level) {
    std::vector<int32_t> map(level.cells.begin(), level.cells.end());
    auto cell = [&](int32_t x, int32_t y) -> int32_t& { return map[static_cast<size_t>(y * level.width + x)]; };
    for (int32_t y = 0; y < level.height; ++y) {
        for (int32_t x = 0; x < level.width; ++x) {
            const int32_t code = cell(x, y);
            if (code == kWeed || code == kGem || code == kPearl) cell(x, y) = 0;
            if (code == kOyster && y > 0) cell(x, y - 1) = kOyster;
        }
    }
    for (int16_t p : level.params) {
        if (p <= 0) continue;
        const int32_t x = p % 15, y = p / 15;
        if (level.inside(x, y) && (cell(x, y) == kFishUp || cell(x, y) == kFishDown)) cell(x, y) = cell::kFish;
    }
    return map;
}

void checkBorder(const LevelData& level, std::vector<std::string>& problems) {
    for (int32_t y = 0; y < level.height; ++y) {
        for (int32_t x = 0; x < level.width; ++x) {
            const bool edge = x == 0 || y == 0 || x == level.width - 1 || y == level.height - 1;
            if (edge && !isWallCode(level.at(x, y))) {
                problems.push_back("border cell " + at(x, y) + " is not solid (code " + std::to_string(level.at(x, y)) +
                                   ")");
            }
        }
    }
}

void checkFish(const LevelData& level, std::vector<std::string>& problems) {
    std::vector<bool> named(level.cells.size(), false);
    for (int32_t i = 0; i < kParamCount; ++i) {
        const int32_t p = level.params[static_cast<size_t>(i)];
        if (p == 0) continue;
        const int32_t x = p % 15, y = p / 15;
        if (p < 0 || !level.inside(x, y)) {
            problems.push_back("parameter " + std::to_string(i) + " (" + std::to_string(p) + ") names no cell inside the level");
            continue;
        }
        const int32_t code = level.at(x, y);
        if (code != kFishUp && code != kFishDown) {
            problems.push_back("parameter " + std::to_string(i) + " names " + at(x, y) + ", which holds " +
                               std::to_string(code) + ", not a fish (35 or 38)");
        }
        named[static_cast<size_t>(y * level.width + x)] = true;
    }
    for (int32_t y = 0; y < level.height; ++y) {
        for (int32_t x = 0; x < level.width; ++x) {
            const int32_t code = level.at(x, y);
            if ((code == kFishUp || code == kFishDown) && !named[static_cast<size_t>(y * level.width + x)]) {
                problems.push_back("fish cell " + at(x, y) + " is named by no parameter");
            }
        }
    }
}

void checkMines(const LevelData& level, std::vector<std::string>& problems) {
    const std::vector<int32_t> map = loadedCodes(level);
    for (int32_t y = 0; y < level.height; ++y) {
        for (int32_t x = 0; x < level.width; ++x) {
            if (level.at(x, y) != kMine) continue;
            for (int k = 0; k < 4; ++k) {
                const int32_t nx = x + kFourX[k], ny = y + kFourY[k];
                if (!level.inside(nx, ny)) continue;
                const int32_t code = map[static_cast<size_t>(ny * level.width + nx)];
                if (code > kMineSetOffAbove) {
                    problems.push_back("mine " + at(x, y) + " has code " + std::to_string(code) + " beside it at " +
                                       at(nx, ny));
                }
            }
        }
    }
}

// An oyster fills the cell above it as the level loads: what stood there
// would lie under the oyster.
void checkOysters(const LevelData& level, std::vector<std::string>& problems) {
    for (int32_t y = 1; y < level.height; ++y) {
        for (int32_t x = 0; x < level.width; ++x) {
            if (level.at(x, y) == kOyster && level.at(x, y - 1) != 0) {
                problems.push_back("oyster " + at(x, y) + " needs water above it at " + at(x, y - 1) + ", not " +
                                   std::to_string(level.at(x, y - 1)));
            }
        }
    }
}

void checkStory(const LevelData& level, int32_t number, std::vector<std::string>& problems) {
    const bool standard = level.width == kStandardWidth && level.height == kStandardHeight;
    if (number == 0) {
        if (!standard) {
            problems.push_back("the first level must be 15 x 10 for its story");
            return;
        }
        const std::string diverCell = at(kOpeningDiverColumn, kStoryDiverRow);
        if (level.at(kOpeningDiverColumn, kStoryDiverRow) != 0) problems.push_back("the story's diver needs water at " + diverCell);
        // Its code (80) is above 20: a mine beside it would go off at once.
        const std::vector<int32_t> map = loadedCodes(level);
        for (int k = 0; k < 4; ++k) {
            const int32_t nx = kOpeningDiverColumn + kFourX[k], ny = kStoryDiverRow + kFourY[k];
            const int32_t code = map[static_cast<size_t>(ny * level.width + nx)];
            if (code > kMineSetOffAbove) {
                problems.push_back("the story's diver at " + diverCell + " has code " + std::to_string(code) +
                                   " beside it at " + at(nx, ny));
            }
        }
        for (int32_t y = 0; y <= 8; ++y) {
            if (!isWallCode(level.at(kQuakeColumn, y))) {
                problems.push_back("the quake opens column " + std::to_string(kQuakeColumn) + ": " + at(kQuakeColumn, y) + " must be rock");
            }
        }
    }
    if (number == kLastLevel) {
        if (!standard) {
            problems.push_back("the last level must be 15 x 10 for its finale");
            return;
        }
        if (level.at(kFinaleDiverColumn, kStoryDiverRow) != 0) {
            problems.push_back("the finale's diver needs water at " + at(kFinaleDiverColumn, kStoryDiverRow));
        }
    }
}
}  // namespace

std::vector<std::string> checkLevel(const LevelData& level, int32_t number) {
    std::vector<std::string> problems;
    if (level.width < 1 || level.height < 1 || level.width > kMaxSide || level.height > kMaxSide ||
        level.cells.size() != static_cast<size_t>(level.width * level.height)) {
        problems.push_back("size outside 1 to 30 cells");
        return problems;
    }
    if (level.width > kStandardWidth || level.height > kStandardHeight) {
        problems.push_back(std::to_string(level.width) + " x " + std::to_string(level.height) +
                           " cells: the play surface shows 15 x 10 at most");
    }
    int32_t divers = 0, gems = 0;
    for (int32_t y = 0; y < level.height; ++y) {
        for (int32_t x = 0; x < level.width; ++x) {
            const int32_t code = level.at(x, y);
            divers += code == kDiver;
            gems += code == kGem;
            if (!allowedCode(code)) problems.push_back("code " + std::to_string(code) + " at " + at(x, y) + " is neither a tile nor a spawn code");
            if (code == kOyster && y == 0) problems.push_back("oyster in row 0 at " + at(x, y));
        }
    }
    if (divers != 1) problems.push_back(std::to_string(divers) + " divers (exactly one wanted)");
    if (gems < 1) problems.push_back("no gem");
    checkBorder(level, problems);
    checkFish(level, problems);
    checkMines(level, problems);
    checkOysters(level, problems);
    checkStory(level, number, problems);
    return problems;
}

}  // namespace levels
