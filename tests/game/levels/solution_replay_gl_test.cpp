// Every level's solution replayed through RunGame as the title menu enters
// it (LEVEL set, PLAY_MODE 1), in a headless engine running unpaced, with
// the level files of the media folder and the fixed seed of the solutions:
// the level must be completed in the solution's last frame (the card of the
// next level asked for; after the last level, the ending page). A solution
// cut short completes nothing. After the script the player holds "b1" and
// "b2", which opens the quit box and leaves, so RunGame always returns.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine_harness.h"
#include "game/bridge/device_transport.h"
#include "game/bridge/media_path.h"
#include "game/bridge/scripted_device.h"
#include "game/world/game_state.h"
#include "game/world/level_file.h"
#include "game/world/run_game.h"
#include "game/world/screen_links.h"
#include "game/world/water_background.h"
#include "gfx2d/gfx2d_commands.h"
#include "level_files.h"
#include "level_sources.h"
#include "play/level_play.h"
#include "runtime/services/isaac.h"
#include "temp_dir.h"

namespace {

// The scripted device that, once its script is used up, holds the buttons
// that leave the game.
class LeavingDevice : public ScriptedDevice {
public:
    RtString answer(const RtString& request) override {
        if (framesLeft() == 0) addFrames(1, "b1=1;b2=1");
        return ScriptedDevice::answer(request);
    }
};

LeavingDevice* device = nullptr;
struct Shown {
    std::string screen;
    int64_t framesTaken;
};
std::vector<Shown> shown;

double introLink(int32_t level) {
    shown.push_back({"intro " + std::to_string(level), device->framesTaken()});
    return LoadLevel(level);
}
double endingLink() {
    shown.push_back({"ending", device->framesTaken()});
    return 0.0;
}
double titleLink() {
    shown.push_back({"title", device->framesTaken()});
    return 0.0;
}

class Replay : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::startTestEngine(dir.path()));
        SetFrameLimit(0, 0);  // unpaced
        // The engine made the program's folder the working directory; the
        // game finds its media below this one instead.
        ASSERT_EQ(chdir(dir.path().c_str()), 0);
        resetMediaFolderCheck();  // the media folder is found again from here
        ASSERT_EQ(symlink(std::getenv("VANTRIC_MEDIA_DIR"), dir.file("Media").c_str()), 0);
        device = &leaving;
        previous = setDeviceTransport(&leaving);
        connectScreenLinks({introLink, endingLink, titleLink, nullptr});
        shown.clear();
        resetGameGlobals();  // whatever an earlier case of the program left
        CONFIG_FILE = RtString(dir.file("Shoalrunner.cfg").c_str());
        SCREEN_W = 640;
        SCREEN_H = 480;
        FillWaveTables();
        DimensionLevelGrids();
    }
    void TearDown() override {
        connectScreenLinks({});
        setDeviceTransport(previous);
    }

    // Plays the level with the script; the frames taken when the level was
    // completed, or -1.
    int64_t replay(int level, const std::vector<std::string>& states) {
        leaving.loadScript(levels::scriptOf(states));
        SeedRandom(static_cast<int32_t>(levels::kReplaySeed));
        LEVEL = level;
        PLAY_MODE = 1;
        EXPECT_EQ(RunGame(), 0.0);
        EXPECT_EQ(shown.empty() ? "" : shown.back().screen, "title") << "the quit box leaves for the title menu";
        const std::string completed = level == levels::kLastLevel ? "ending" : "intro " + std::to_string(level + 1);
        for (const Shown& s : shown) {
            if (s.screen == completed) return s.framesTaken;
        }
        return -1;
    }

    std::vector<std::string> solution(int level) {
        std::vector<std::string> states;
        const std::string path = leveltest::sourcesFolder() + "/solutions/" + levels::sourceFileName(level);
        EXPECT_TRUE(levels::statesOf(leveltest::readText(path), states)) << path;
        return states;
    }

    testsupport::TempDir dir;
    LeavingDevice leaving;
    DeviceTransport* previous = nullptr;
};

TEST_P(Replay, TheSolutionCompletesTheLevelInItsLastFrame) {
    const int level = GetParam();
    const std::vector<std::string> states = solution(level);
    ASSERT_FALSE(states.empty());
    // The game asks for the controller once after each frame: the level is
    // completed in frame n + 1 of a script of n frames, and the last level
    // leaves for the ending after that frame's request.
    const int64_t expected = static_cast<int64_t>(states.size()) + (level == levels::kLastLevel ? 1 : 0);
    EXPECT_EQ(replay(level, states), expected);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front().screen, "intro " + std::to_string(level));
}

INSTANTIATE_TEST_SUITE_P(Levels, Replay, ::testing::Range(0, levels::kLevelCount),
                         [](const ::testing::TestParamInfo<int>& info) { return "Level" + std::to_string(info.param); });

TEST_F(Replay, ASolutionCutShortCompletesNothing) {
    std::vector<std::string> states = solution(1);
    states.resize(states.size() - 30);  // the last move and the frames after it
    EXPECT_EQ(replay(1, states), -1);
    EXPECT_EQ(LEVEL, 1);
    EXPECT_GT(GEMS_LEFT, 0);
}

}  // namespace
