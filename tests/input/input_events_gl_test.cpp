// Input through the whole engine: events put into the window system's queue
// reach the key state, the mouse and the typed-character queue by the frame
// end's message pump.
#include <gtest/gtest.h>

#include "engine_harness.h"
#include "gfx2d/screen_commands.h"
#include "input/input_commands.h"
#include "input/input_state.h"
#include "platform/event_pump.h"
#include "platform/key_codes.h"
#include "runtime/engine/engine_state.h"
#include "runtime/services/pause_flags.h"
#include "temp_dir.h"

namespace {

using namespace testsupport;

class EngineInput : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(startTestEngine(folder.path()));
        SetEscapeQuits(0);
        runFrames(1);
    }
    TempDir folder;
};

TEST_F(EngineInput, InjectedKeysReadByTheirScanCodes) {
    const uint8_t codes[] = {keys::Escape, keys::Space, keys::Enter, keys::LeftAlt, keys::F2,
                             keys::Up,     keys::Left,  keys::Right, keys::Down,    keys::A};
    for (uint8_t code : codes) {
        injectKey(code, true);
        runFrames(2);  // the pump of the first frame, the poll of the second
        EXPECT_EQ(ReadKeyState(code), 1) << "scan code " << int(code);
        injectKey(code, false);
        runFrames(2);
        EXPECT_EQ(ReadKeyState(code), 0) << "scan code " << int(code);
    }
}

TEST_F(EngineInput, AKeyDownAndUpWithinAFrameIsPressedForThatFrame) {
    injectKey(keys::Space, true);
    injectKey(keys::Space, false);
    runFrames(1);
    for (int call = 1; call <= 200; ++call) ASSERT_EQ(ReadKeyState(keys::Space), 1) << "call " << call;
    runFrames(1);
    EXPECT_EQ(ReadKeyState(keys::Space), 0);
}

TEST_F(EngineInput, KeysAreReleasedWhenTheWindowLosesFocus) {
    injectKey(keys::Space, true);
    runFrames(2);
    ASSERT_EQ(ReadKeyState(keys::Space), 1);
    SetPauseAllowed(0);  // no pause loop for this test
    injectFocus(false);
    runFrames(2);
    EXPECT_EQ(ReadKeyState(keys::Space), 0);
}

TEST_F(EngineInput, MousePositionAndButtonsInWindowPixels) {
    injectMouseMove(100, 200, 4, 6);
    injectMouseButton(platform::MouseLeft, true, 100, 200);
    runFrames(1);
    int32_t x = 0, y = 0, left = 0, right = 0;
    ReadMouseState(&x, &y, &left, &right);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 200);
    EXPECT_EQ(left, 1);
    EXPECT_EQ(right, 0);
    double fx = 0, fy = 0, fl = 0, fr = 0;
    ReadMouseStateFloat(&fx, &fy, &fl, &fr);
    EXPECT_DOUBLE_EQ(fx, 100.0);
    EXPECT_DOUBLE_EQ(fy, 200.0);
    EXPECT_NE(fl, 0.0);
    EXPECT_EQ(fr, 0.0);
    injectMouseButton(platform::MouseLeft, false, 100, 200);
    injectMouseButton(platform::MouseRight, true, 100, 200);
    runFrames(1);
    ReadMouseState(&x, &y, &left, &right);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(right, 1);
    // A touchpad's tap: down and up between two frames is held for one.
    injectMouseButton(platform::MouseRight, false, 100, 200);
    injectMouseButton(platform::MouseLeft, true, 100, 200);
    injectMouseButton(platform::MouseLeft, false, 100, 200);
    runFrames(1);
    ReadMouseState(&x, &y, &left, &right);
    EXPECT_EQ(left, 1);
    EXPECT_EQ(right, 0);
    runFrames(1);
    ReadMouseState(&x, &y, &left, &right);
    EXPECT_EQ(left, 0);
}

TEST_F(EngineInput, MousePositionFollowsTheScreenOrientation) {
    injectMouseMove(10, 20);
    runFrames(1);
    SetOrientation(2);
    int32_t x = 0, y = 0;
    ReadMouseState(&x, &y, nullptr, nullptr);
    EXPECT_EQ(x, 639 - 10);
    EXPECT_EQ(y, 479 - 20);
    SetOrientation(0);
    ReadMouseState(&x, &y, nullptr, nullptr);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 20);
}

TEST_F(EngineInput, MotionAndWheelAreConsumedByTheirCommand) {
    ReadMouseMotion(nullptr, nullptr, nullptr);
    injectMouseMove(50, 50, 3, -2);
    injectMouseMove(55, 49, 5, -1);
    injectMouseWheel(2);
    runFrames(1);
    int32_t dx = 0, dy = 0, wheel = 0;
    ReadMouseMotion(&dx, &dy, &wheel);
    EXPECT_EQ(dx, 8);
    EXPECT_EQ(dy, -3);
    EXPECT_EQ(wheel, 2);
    ReadMouseMotion(&dx, &dy, &wheel);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(wheel, 0);
}

TEST_F(EngineInput, TypedCharactersQueueUpToSixteen) {
    injectText("abcdefghij");
    injectText("klmnopqrst");  // 20 typed, the last 4 dropped
    runFrames(1);
    EXPECT_EQ(engine.input->typedChars.size(), 16);
    std::string got;
    while (int32_t c = ReadTypedChar()) got += static_cast<char>(c);
    EXPECT_EQ(got, "abcdefghijklmnop");
    EXPECT_EQ(ReadTypedChar(), 0);
}

TEST_F(EngineInput, ControlKeysTypeTheirCharacters) {
    injectKey(keys::Enter, true);
    injectKey(keys::Backspace, true);
    injectKey(keys::Tab, true);
    injectText("\xC3\xA9\xE2\x82\xAC");  // e acute (233) and the euro sign (no Latin-1 code)
    runFrames(1);
    EXPECT_EQ(ReadTypedChar(), 13);
    EXPECT_EQ(ReadTypedChar(), 8);
    EXPECT_EQ(ReadTypedChar(), 9);
    EXPECT_EQ(ReadTypedChar(), 233);
    EXPECT_EQ(ReadTypedChar(), '?');
    EXPECT_EQ(ReadTypedChar(), 0);
    injectText("x");
    runFrames(1);
    ClearTypedChars();
    EXPECT_EQ(ReadTypedChar(), 0);
}

TEST_F(EngineInput, NoJoysticksOnATestMachine) {
    EXPECT_EQ(CountJoysticks(), 0);
    EXPECT_EQ(ReadJoystickAxis(0, 0), 0.0);
    EXPECT_EQ(ReadJoystickAxis(-1, 0), 0.0);
    EXPECT_EQ(ReadJoystickButton(0, 40), 0);
    EXPECT_EQ(ReadJoystickPov(3), -1);
}

}  // namespace
