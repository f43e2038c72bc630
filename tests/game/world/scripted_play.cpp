#include "scripted_play.h"

#include <array>

#include "game/world/level_file.h"
#include "game/world/screen_links.h"
#include "game/world/water_background.h"
#include "game/world/world_host.h"

namespace worldtest {

std::vector<std::string> screensShown;

namespace {
int32_t codeOf(char c) {
    switch (c) {
        case '.': return 0;
        case '#': return 1;
        case '~': return -1;
        case 'W': return 7;
        case 'P': return 32;
        case 'G': return 33;
        case 'S': return 34;
        case 'F': return 35;
        case 'O': return 36;
        case 'Q': return 37;
        case 'f': return 38;
        case 'B': return 39;
        case 'V': return 40;
        case 'C': return 41;
        case 'c': return 42;
        case 'M': return 43;
        case 's': return 44;
        case 'X': return 45;
        case 'Y': return 46;
        case 'K': return 47;
        case 'A': return 48;
        default:
            ADD_FAILURE() << "no code for '" << c << "' in a test level";
            return 0;
    }
}

double introLink(int32_t level) {
    screensShown.push_back("intro " + std::to_string(level));
    return LoadLevel(level);
}
double endingLink() {
    screensShown.push_back("ending");
    return 0.0;
}
double titleLink() {
    screensShown.push_back("title");
    return 0.0;
}
double editorLink() {
    screensShown.push_back("editor");
    return 0.0;
}
}  // namespace

std::string levelFromText(const std::vector<std::string>& rows) {
    const int32_t sizeY = static_cast<int32_t>(rows.size()) - 1;
    const int32_t sizeX = static_cast<int32_t>(rows.at(0).size()) - 1;
    std::vector<int32_t> cells;
    std::array<int32_t, 10> params{};
    size_t fish = 0;
    for (int32_t y = 0; y <= sizeY; ++y) {
        EXPECT_EQ(rows[y].size(), rows[0].size()) << "row " << y;
        for (int32_t x = 0; x <= sizeX; ++x) {
            const char c = rows[y][x];
            cells.push_back(codeOf(c));
            if ((c == 'F' || c == 'f') && fish < params.size()) params[fish++] = x + 15 * y;
        }
    }
    return levelBytes(sizeX, sizeY, cells, params);
}

PlayTest::PlayTest() {
    screensShown.clear();
    connectScreenLinks({introLink, endingLink, titleLink, editorLink});
    CONFIG_FILE = RtString(file("Shoalrunner.cfg").c_str());
    SCREEN_W = 640;
    SCREEN_H = 480;
    FillWaveTables();  // the water background reads them every frame
}

PlayTest::~PlayTest() { connectScreenLinks({}); }

void PlayTest::start(int32_t level, const std::vector<std::string>& rows, int32_t playMode) {
    writeLevel(level, levelFromText(rows));
    LEVEL = level;
    PLAY_MODE = playMode;
    StartGame();
}

void PlayTest::load(int32_t level, const std::vector<std::string>& rows) {
    writeLevel(level, levelFromText(rows));
    LEVEL = level;
    LoadLevel(level);
}

void PlayTest::frame(const std::string& state) {
    device.addFrames(1, state);
    refreshControllerState();
    RunGameFrame(loop);
}

void PlayTest::frames(int32_t n, const std::string& state) {
    for (int32_t i = 0; i < n; ++i) frame(state);
}

}  // namespace worldtest
