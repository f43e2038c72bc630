#include "screen_run.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "file_bytes.h"
#include "game/bridge/media_path.h"
#include "game/screens/game_helpers.h"
#include "game/world/config_file.h"
#include "game/world/game_state.h"
#include "runtime/services/isaac.h"

namespace screenstest {

std::vector<GameScreen> screensStarted;

namespace {
void noteScreen(GameScreen screen) { screensStarted.push_back(screen); }

void putLittleEndian(std::string& out, int32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF));
}
}  // namespace

RtString ScreenDriver::answer(const RtString& request) {
    if (request.equals("JoyUpdateKeys")) {
        const Snapshot s{static_cast<int64_t>(trace.size()), runningScreen(), PLAYER_Y, STEP_COOLDOWN, LEVEL,
                         PLAY_MODE, GEMS_LEFT, OVERSCAN_H, OVERSCAN_V, MUSIC_VOLUME,
                         reinterpret_cast<uintptr_t>(__builtin_frame_address(0))};
        trace.push_back(s);
        if (s.frame >= frameLimit) {
            std::fprintf(stderr, "screen run: still running after %lld frames\n", static_cast<long long>(s.frame));
            std::_Exit(3);
        }
        if (std::getenv("SCREEN_TRACE")) {
            std::fprintf(stderr, "frame %lld screen %d y %d cool-down %d level %d\n", static_cast<long long>(s.frame),
                         static_cast<int>(s.screen), s.playerY, s.cooldown, s.level);
        }
        if (onFrame) onFrame(s);
        if (framesLeft() == 0) {
            std::string state;
            std::deque<std::string>& queue = pilot[s.screen];
            if (s.screen == GameScreen::Splash) {
                state = "b1=1";
            } else if (s.cooldown == 0 && !queue.empty() && s.frame > lastTaken_ + 1) {
                state = queue.front();
                queue.pop_front();
                lastTaken_ = s.frame;
            }
            addFrames(1, state);
        }
    }
    return ScriptedDevice::answer(request);
}

std::string levelBytes(const std::vector<int32_t>& cells, const std::vector<int32_t>& params) {
    std::string out;
    putLittleEndian(out, 14, 2);
    putLittleEndian(out, 9, 2);
    for (int32_t i = 0; i < 150; ++i) putLittleEndian(out, i < static_cast<int32_t>(cells.size()) ? cells[i] : 0, 1);
    for (int32_t i = 0; i < 10; ++i) putLittleEndian(out, i < static_cast<int32_t>(params.size()) ? params[i] : 0, 2);
    return out;
}

std::string simpleLevel() {
    std::vector<int32_t> cells(150, 0);
    for (int32_t y = 0; y < 10; ++y) {
        for (int32_t x = 0; x < 15; ++x) {
            if (x == 0 || y == 0 || x == 14 || y == 9) cells[y * 15 + x] = 1;
        }
    }
    cells[2 * 15 + 2] = 32;
    cells[5 * 15 + 10] = 33;
    return levelBytes(cells);
}

ScreenTest::ScreenTest()
    : tmpdir("TMPDIR", dir.path().c_str()),
      home("HOME", dir.path().c_str()),
      xdgConfig("XDG_CONFIG_HOME", nullptr),
      cwd(dir.path()),
      transport(device) {
    resetGameGlobals();  // whatever an earlier case of the program left
    resetMediaFolderCheck();
    resetDebugPrintMemory();
    ::mkdir(dir.file("Media").c_str(), 0755);
    ::mkdir(dir.file("Media/Data").c_str(), 0755);
    for (int32_t level = 0; level <= 3; ++level) writeLevel(level, simpleLevel());
    screensStarted.clear();
    setScreenObserver(noteScreen);
    SeedRandom(kSeed);
}

ScreenTest::~ScreenTest() {
    setScreenObserver(nullptr);
    CloseEditorSession();  // a test that left the editor open
}

void ScreenTest::writeLevel(int32_t level, const std::string& bytes) {
    testsupport::writeFileBytes(dir.file("Media/Data/shol" + std::to_string(level) + ".dat"), bytes);
}

void ScreenTest::linkRealMedia() {
    const char* media = std::getenv("VANTRIC_MEDIA_DIR");
    ASSERT_NE(media, nullptr);
    DIR* folder = ::opendir(media);
    ASSERT_NE(folder, nullptr) << media;
    while (dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name.find('.') == std::string::npos || name == "." || name == "..") continue;
        ::symlink((std::string(media) + "/" + name).c_str(), dir.file("Media/" + name).c_str());
    }
    ::closedir(folder);
}

std::vector<GameScreen> ScreenTest::screenRuns() const {
    std::vector<GameScreen> runs;
    for (const Snapshot& s : device.trace) {
        if (runs.empty() || runs.back() != s.screen) runs.push_back(s.screen);
    }
    return runs;
}

}  // namespace screenstest
