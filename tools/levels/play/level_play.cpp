// Headless play of one level. Depends on the in-game frame (run_game.h), the
// level loader, the screen links, the scripted device and the random
// generator.
#include "play/level_play.h"

#include <sys/stat.h>
#include <unistd.h>

#include <sstream>

#include "game/bridge/device_transport.h"
#include "game/bridge/media_path.h"
#include "game/world/game_state.h"
#include "game/world/level_file.h"
#include "game/world/screen_links.h"
#include "game/world/water_background.h"
#include "game/world/world_host.h"
#include "level_data.h"
#include "runtime/services/isaac.h"

namespace levels {

namespace {
// What the screen links saw: the level in play and whether a later level's
// card was asked for (the level was completed).
int32_t playedLevel = -1;
bool nextLevelAsked = false;

double introLink(int32_t level) {
    if (level != playedLevel) {
        nextLevelAsked = true;  // the next level is not loaded: the play ends here
        return 0.0;
    }
    return LoadLevel(level);
}
double returnAtOnce() { return 0.0; }
}  // namespace

LevelPlay::LevelPlay(const std::string& folder) : folder_(folder) {
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd)) previousDir_ = cwd;
    ::mkdir((folder + "/Media").c_str(), 0755);
    ::mkdir((folder + "/Media/Data").c_str(), 0755);
    if (chdir(folder.c_str()) != 0) perror(folder.c_str());
    // A fresh program's state, whatever an earlier play in this process left:
    // the globals, and the media folder found anew from this working folder.
    resetGameGlobals();
    resetMediaFolderCheck();
    setDeviceTransport(&device_);
    connectScreenLinks({introLink, returnAtOnce, returnAtOnce, returnAtOnce});
    CONFIG_FILE = RtString((folder + "/Shoalrunner.cfg").c_str());
    SCREEN_W = 640;
    SCREEN_H = 480;
    DimensionLevelGrids();
    FillWaveTables();  // the water background reads them every frame
    pristine_.capture(loop);
}

LevelPlay::~LevelPlay() {
    connectScreenLinks({});
    setDeviceTransport(nullptr);
    if (!previousDir_.empty() && chdir(previousDir_.c_str()) != 0) perror(previousDir_.c_str());
}

void LevelPlay::putLevelFile(int32_t number, const std::string& bytes) {
    writeWholeFile(folder_ + "/Media/Data/" + levelFileName(number), bytes);
    // The game leads a completed level on only to a next level whose file is
    // whole, else it leaves with a line in the error log; the stand-in is
    // never loaded, since the next level's card ends the play (introLink).
    const std::string next = folder_ + "/Media/Data/" + levelFileName(number + 1);
    if (number < kLastLevel && access(next.c_str(), F_OK) != 0) writeWholeFile(next, bytes);
}

void LevelPlay::start(int32_t number, uint32_t seed) {
    pristine_.restore(loop);
    loop = GameLoop{};
    level_ = number;
    playedLevel = number;
    nextLevelAsked = false;
    framesRun_ = 0;
    SeedRandom(static_cast<int32_t>(seed));
    LEVEL = number;
    PLAY_MODE = 1;
    StartGame();
    RunGameFrame(loop);  // nothing asked of the controller before the first frame
    framesRun_ = 1;
}

void LevelPlay::frame(const std::string& state) {
    device_.addFrames(1, state);
    refreshControllerState();
    RunGameFrame(loop);
    ++framesRun_;
}

Outcome LevelPlay::outcome() const {
    // Completed: LEVEL has moved on; the next level's card is asked for only
    // when its file is here, else the game leaves (run_game.h).
    if (nextLevelAsked || LEVEL != level_) return Outcome::Won;
    if (level_ == kLastLevel && loop.leave != 0 && GAME_WON == 1) return Outcome::Won;
    if (POPS.d1 > 0 || LEVEL_LOST != 0 || PLAYERS.d1 != 1) return Outcome::Lost;
    return Outcome::Playing;
}

bool LevelPlay::atDecision() const {
    if (STEP_TICKS != 0 || STEP_COOLDOWN != 0 || LEVEL_LOST != 0 || MINE_FIRED != 0 || PLAYER_CONTROL != 1) return false;
    if (BLASTS.d1 > 0 || POPS.d1 > 0 || PLAYERS.d1 != 1 || inFinale()) return false;
    for (int32_t i = 0; i < BOULDERS.d1; ++i) {
        if (BOULDERS.at(i).falling) return false;
    }
    for (int32_t i = 0; i < BOMBS.d1; ++i) {
        if (BOMBS.at(i).falling) return false;
    }
    return true;
}

bool LevelPlay::inFinale() const { return level_ == kLastLevel && GEMS_LEFT < 0; }

std::string scriptOf(const std::vector<std::string>& states) {
    std::ostringstream out;
    for (size_t i = 0; i < states.size();) {
        size_t j = i;
        while (j < states.size() && states[j] == states[i]) ++j;
        out << (j - i);
        if (!states[i].empty()) out << ' ' << states[i];
        out << '\n';
        i = j;
    }
    return out.str();
}

bool statesOf(const std::string& script, std::vector<std::string>& states) {
    std::istringstream lines(script);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream in(line);
        long long count = 0;
        if (!(in >> count) || count < 0) return false;
        std::string state;
        in >> state;
        states.insert(states.end(), static_cast<size_t>(count), state);
    }
    return true;
}

}  // namespace levels
