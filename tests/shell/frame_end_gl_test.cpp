// The frame end: quit keys and closing the window through the orderly end,
// the pause loop on focus loss, the frame clock, pacing and screen modes.
#include <gtest/gtest.h>

#include <chrono>

#include "child_process.h"
#include "engine_harness.h"
#include "file_bytes.h"
#include "gfx2d/opengl_rainbows.h"
#include "input/input_state.h"
#include "platform/clock.h"
#include "platform/key_codes.h"
#include "runtime/engine/engine_state.h"
#include "runtime/services/debug_output.h"
#include "runtime/services/pause_flags.h"
#include "runtime/services/timers.h"
#include "shell/display_modes.h"
#include "shell/frame_end.h"
#include "temp_dir.h"

namespace {

using namespace testsupport;

// Runs `body` on a started engine in a child; "alive" on standard output means
// the program was still running after the body.
ChildResult runEngineChild(const TempDir& folder, const std::function<void()>& body,
                           const EngineOptions& options = {}) {
    return runInChild([&] {
        if (!startTestEngine(folder.path(), options)) return;
        body();
        std::printf("alive");
    });
}

void expectOrderlyEnd(const ChildResult& r, const TempDir& folder) {
    ASSERT_TRUE(r.exited) << "signal " << r.signal;
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.out, "exit");
    std::string log = readFileBytes(folder.file("ErrorLog.txt"));
    EXPECT_NE(log.find("Init Finalized\nShut down VNT\n"), std::string::npos) << visible(log);
}

TEST(QuitKeys, EscapeEndsTheProgramWhileEscapeQuitsIsSet) {
    TempDir folder;
    ChildResult r = runEngineChild(folder, [] {
        injectKey(keys::Escape, true);
        runFrames(3);
    });
    expectOrderlyEnd(r, folder);
}

TEST(QuitKeys, EscapeDoesNothingOnceTheProgramClearsTheFlag) {
    TempDir folder;
    ChildResult r = runEngineChild(folder, [] {
        SetEscapeQuits(0);
        injectKey(keys::Escape, true);
        runFrames(3);
    });
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.out, "alive");
}

TEST(QuitKeys, LeftAltWithF4AlwaysEnds) {
    for (bool quickly : {false, true}) {  // held, or down and up again within one frame
        TempDir folder;
        ChildResult r = runEngineChild(folder, [quickly] {
            SetEscapeQuits(0);
            injectKey(keys::LeftAlt, true);
            injectKey(keys::F4, true);
            if (quickly) {
                injectKey(keys::F4, false);
                injectKey(keys::LeftAlt, false);
            }
            runFrames(3);
        });
        expectOrderlyEnd(r, folder);
    }
}

TEST(QuitKeys, F4OrLeftAltAloneDoNotEnd) {
    TempDir folder;
    ChildResult r = runEngineChild(folder, [] {
        SetEscapeQuits(0);
        injectKey(keys::F4, true);
        runFrames(2);
        injectKey(keys::F4, false);
        injectKey(keys::LeftAlt, true);
        injectKey(keys::RightAlt, true);
        runFrames(2);
    });
    EXPECT_EQ(r.out, "alive");
}

TEST(QuitKeys, ClosingTheWindowEnds) {
    TempDir folder;
    ChildResult r = runEngineChild(folder, [] {
        SetEscapeQuits(0);
        injectWindowClose();
        runFrames(2);
    });
    expectOrderlyEnd(r, folder);
}

// A clock that ends the pause from inside the pause loop: on its third sleep
// it puts a focus-gained event into the queue.
class ResumingClock : public platform::ClockPort {
public:
    bool counterFrequency(int64_t* f) override { return real->counterFrequency(f); }
    int64_t counter() override { return real->counter(); }
    uint32_t tickMillis() override { return real->tickMillis(); }
    void sleepMillis(uint32_t ms) override {
        sleepTimes.push_back(ms);
        if (sleepTimes.size() == 3) injectFocus(true);
    }
    platform::ClockPort* real = nullptr;
    std::vector<uint32_t> sleepTimes;
};

TEST(PauseLoop, FocusLossPausesUntilFocusComesBack) {
    TempDir folder;
    ASSERT_TRUE(startTestEngine(folder.path()));
    runFrames(1);
    injectFocus(false);
    runFrames(1);
    ASSERT_EQ(pauseFlag, 1);
    engine.graphics2D->setFrameLimit(0, 0);  // the pause loop is the only sleeper
    ResumingClock clock;
    clock.real = &platform::clockPort();
    int64_t roundsBefore = pauseLoopRounds;
    {
        platform::ScopedClockPort use(clock);
        runFrames(1);
    }
    EXPECT_EQ(pauseFlag, 0);
    EXPECT_EQ(pauseLoopRounds - roundsBefore, 4);  // three sleeps, then the round that saw the focus
    ASSERT_EQ(clock.sleepTimes.size(), 3u);
    EXPECT_EQ(clock.sleepTimes[0], 10u);
}

TEST(PauseLoop, TheDebugFlagKeepsTheProgramRunning) {
    TempDir folder;
    EngineOptions options;
    options.debug = 1;
    ASSERT_TRUE(startTestEngine(folder.path(), options));
    pauseLoopRounds = 0;  // counts for the whole process
    injectFocus(false);
    runFrames(2);
    EXPECT_EQ(pauseFlag, 0);
    EXPECT_EQ(pauseLoopRounds, 0);
}

TEST(PauseLoop, EscapeEndsTheProgramWhilePaused) {
    TempDir folder;
    ChildResult r = runEngineChild(folder, [] {
        injectFocus(false);
        runFrames(1);
        std::printf(pauseFlag ? "[paused]" : "[running]");
        std::fflush(stdout);
        injectKey(keys::Escape, true);
        runFrames(3);  // enters the pause loop, which sees Escape
    });
    // Under a real display the system may hand the focus back at once.
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && std::string(driver) == "offscreen") {
        EXPECT_EQ(r.out.rfind("[paused]", 0), 0u) << r.out;
    }
    r.out = r.out.substr(r.out.find(']') + 1);
    expectOrderlyEnd(r, folder);
}

TEST(PauseLoop, ClosingTheWindowWhilePausedEnds) {
    TempDir folder;
    ChildResult r = runEngineChild(folder, [] {
        SetEscapeQuits(0);
        injectFocus(false);
        runFrames(1);
        injectWindowClose();
        runFrames(1);
    });
    expectOrderlyEnd(r, folder);
}

TEST(FrameEnd, InputBeforeTheFrameEndIsSeenAtThatFrameEnd) {
    TempDir folder;
    ASSERT_TRUE(startTestEngine(folder.path()));
    SetEscapeQuits(0);
    runFrames(1);
    InputState& input = *engine.input;
    injectKey(keys::Right, true);
    injectMouseButton(1, true, 20, 30);
    runFrames(1);
    EXPECT_EQ(input.keyState[keys::Right], platform::kKeyDownBit);
    EXPECT_EQ(input.lastMouse.left, 1);
    injectKey(keys::Right, false);
    injectMouseButton(1, false, 20, 30);
    runFrames(1);
    EXPECT_EQ(input.keyState[keys::Right], 0);
    EXPECT_EQ(input.lastMouse.left, 0);
}

TEST(FrameEnd, MovesTheFrameTimesOn) {
    TempDir folder;
    ASSERT_TRUE(startTestEngine(folder.path()));
    runFrames(2);
    double previous = frameTimeNow;
    runFrames(1);
    EXPECT_EQ(frameTimePrevious, previous);
    EXPECT_GT(frameTimeNow, previous);
    EXPECT_GT(frameTimeDelta(), 10.0);  // paced at 60 per second
}

TEST(FrameEnd, ServesTheActivationRequest) {
    TempDir folder;
    ASSERT_TRUE(startTestEngine(folder.path()));
    windowActivationRequest = 1;
    runFrames(1);
    EXPECT_EQ(windowActivationRequest, 0);
}

TEST(FrameEnd, RunsAtSixtyFramesPerSecond) {
    TempDir folder;
    ASSERT_TRUE(startTestEngine(folder.path()));
    runFrames(2);
    auto start = std::chrono::steady_clock::now();
    runFrames(60);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GT(seconds, 0.97);
    EXPECT_LT(seconds, 1.5);  // generous: a loaded machine may drop a frame; the pacer's own tests are exact
}

TEST(FrameEnd, TheFrameLimitCanBeLifted) {
    TempDir folder;
    ASSERT_TRUE(startTestEngine(folder.path()));
    engine.graphics2D->setFrameLimit(0, 0);
    auto start = std::chrono::steady_clock::now();
    runFrames(10);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 10 / 60.0);
}

TEST(FrameEnd, SetScreenModeResizesTheWindowAndEndsTheFrame) {
    TempDir folder;
    ASSERT_TRUE(startTestEngine(folder.path()));
    double before = frameTimeNow;
    SetScreenMode(720, 672, 0);
    EXPECT_EQ(engine.graphics2D->screenWidth, 720);
    EXPECT_EQ(engine.graphics2D->screenHeight, 672);
    EXPECT_EQ(engine.graphics2D->viewportWidth, 720);
    EXPECT_GT(frameTimeNow, before);
    SetScreenMode(0, 0, 0);  // 0 keeps each side
    EXPECT_EQ(engine.graphics2D->screenWidth, 720);
    SetScreenMode(640, 480, 0);
    EXPECT_EQ(engine.graphics2D->screenHeight, 480);
}

// Also run on a stand-in X server whose only mode is 1024 x 768 (see
// CMakeLists.txt): a size the display has no mode for stays a window of
// that size rather than a bigger screen with the picture in its corner.
TEST(FrameEnd, FullScreenAndBackToAWindow) {
    TempDir folder;
    ASSERT_TRUE(startTestEngine(folder.path()));
    int32_t desktopWidth = 0, desktopHeight = 0;
    GetDesktopSize(&desktopWidth, &desktopHeight);
    ASSERT_GT(desktopWidth, 640);
    SetScreenMode(desktopWidth, desktopHeight, 1);
    EXPECT_EQ(engine.graphics2D->fullScreen, 1);
    EXPECT_EQ(engine.graphics2D->screenWidth, desktopWidth);
    SetScreenMode(640, 480, 1);
    EXPECT_EQ(engine.graphics2D->screenWidth, 640);
    EXPECT_EQ(engine.graphics2D->screenHeight, 480);
    EXPECT_EQ(engine.graphics2D->viewportWidth, 640);
    SetScreenMode(640, 480, 0);
    EXPECT_EQ(engine.graphics2D->fullScreen, 0);
    EXPECT_EQ(engine.graphics2D->screenHeight, 480);
}

TEST(FrameEnd, WithoutAnEngineTheFrameEndOnlyKeepsTime) {
    ASSERT_EQ(engine.graphics2D, nullptr);
    EndFrame();
    EndFrame();
    EXPECT_GE(frameTimeNow, frameTimePrevious);
}

}  // namespace
