// Runs of the real game's screens for tests: a private folder with a Media
// folder and small level files, a scripted device that records what every
// frame looked like at its "Update" and can steer the menus, and readers of
// what the run left behind.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "game/bridge/device_transport.h"
#include "game/bridge/scripted_device.h"
#include "game/screens/screen_dispatcher.h"
#include "temp_dir.h"

namespace screenstest {

constexpr int32_t kSeed = 20240611;

// The game's globals at the end of one frame, when it asks for "Update".
struct Snapshot {
    int64_t frame;  // 0 for the first "Update" of the run
    GameScreen screen;
    int32_t playerY, cooldown, level, playMode, gemsLeft;
    int32_t overscanH, overscanV;
    double musicVolume;
    uintptr_t stackMark;  // the frame address of the request's handler
};

// The scripted device of these tests. Once the script is used up, the next
// frame's controller state comes from the pilot: per screen, a queue of
// states, the next one taken whenever STEP_COOLDOWN has run out (on the
// splash, whose cool-down is its own, "b1" is held instead), and never for
// the frame right after one was taken (a frame that leaves a screen still
// shows that screen with its cool-down run out). A run that
// goes on past `frameLimit` frames is a broken test: the process ends.
// With SCREEN_TRACE set in the environment every snapshot goes to stderr.
class ScreenDriver : public ScriptedDevice {
public:
    RtString answer(const RtString& request) override;

    std::map<GameScreen, std::deque<std::string>> pilot;
    std::function<void(const Snapshot&)> onFrame;  // after the snapshot, before the reply
    std::vector<Snapshot> trace;
    int64_t frameLimit = 4000;

private:
    int64_t lastTaken_ = -2;
};

// Level files: 15 x 10 cells, the ten parameters, little-endian.
std::string levelBytes(const std::vector<int32_t>& cells, const std::vector<int32_t>& params = {});
// A walled level with the diver at (2, 2) and one gem at (10, 5).
std::string simpleLevel();

// The screens each run started, in order (setScreenObserver).
extern std::vector<GameScreen> screensStarted;

// A private folder as TMPDIR and HOME, holding Media/Data with levels 0 to
// 3, and the driver as the device transport; the random generator seeded.
// The working directory is the folder (the media resolver moves into Media).
class ScreenTest : public ::testing::Test {
protected:
    ScreenTest();
    ~ScreenTest() override;

    std::string file(const std::string& name) const { return dir.file(name); }
    void writeLevel(int32_t level, const std::string& bytes);
    // Links every file of the build's Media folder into the private one.
    void linkRealMedia();
    // The progress file where the game keeps it (HOME/Documents + name).
    std::string configPath() const { return dir.file("DocumentsShoalrunner.cfg"); }
    std::vector<std::string> requests() const { return device.requestsOtherThanUpdates(); }
    // The screens of the trace, one entry per run of equal screens.
    std::vector<GameScreen> screenRuns() const;

    testsupport::TempDir dir;
    testsupport::ScopedEnv tmpdir;
    testsupport::ScopedEnv home;
    testsupport::ScopedEnv xdgConfig;
    testsupport::ScopedCwd cwd;
    ScreenDriver device;
    ScopedDeviceTransport transport;
};

}  // namespace screenstest
