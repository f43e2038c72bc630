// The input object without a window: keyboard refresh rule, mouse readings,
// and the commands before the engine exists.
#include <gtest/gtest.h>

#include "input/input_commands.h"
#include "input/input_state.h"
#include "platform/event_pump.h"
#include "platform/key_codes.h"
#include "platform/keyboard_device.h"
#include "platform/mouse_device.h"
#include "runtime/engine/engine_state.h"

namespace {

class InputObject : public ::testing::Test {
protected:
    void SetUp() override {
        platform::releaseAllKeyboardKeys();
        platform::resetMouseDevice();
        input.keyboardPresent = true;
        input.mouseCount = 1;
    }
    InputState input;
};

TEST_F(InputObject, ReadKeyTakesAFreshStateEvery128Calls) {
    input.refreshKeyboard();
    platform::setKeyboardDeviceKey(keys::Space, true);
    for (int call = 1; call < 128; ++call) ASSERT_EQ(input.readKey(keys::Space), 0) << "call " << call;
    EXPECT_EQ(input.readKey(keys::Space), 1);  // the 128th call refreshes first
    platform::setKeyboardDeviceKey(keys::Space, false);
    EXPECT_EQ(input.readKey(keys::Space), 1);
    input.refreshKeyboard();  // the frame end's poll starts the count again
    EXPECT_EQ(input.readKey(keys::Space), 0);
}

TEST_F(InputObject, CodesOutsideTheTableReadZero) {
    platform::setKeyboardDeviceKey(255, true);
    input.refreshKeyboard();
    EXPECT_EQ(input.readKey(255), 1);
    EXPECT_EQ(input.readKey(256), 0);
    EXPECT_EQ(input.readKey(-1), 0);
    EXPECT_EQ(input.readKey(1 << 30), 0);
}

TEST_F(InputObject, WithoutAKeyboardTheStateStaysUp) {
    input.keyboardPresent = false;
    platform::setKeyboardDeviceKey(keys::A, true);
    input.refreshKeyboard();
    EXPECT_EQ(input.readKey(keys::A), 0);
}

TEST_F(InputObject, PollMouseGivesButtonsMotionAndWheel) {
    platform::mouseDeviceMoved(5, 5, 40000, -7);  // beyond 16 bits: clamped
    platform::mouseDeviceWheel(2);
    platform::mouseDeviceButton(platform::MouseLeft, true, 5, 5);
    platform::mouseDeviceButton(platform::MouseRight, true, 5, 5);
    MouseRecord r;
    ASSERT_TRUE(input.pollMouse(r, true));
    EXPECT_EQ(r.motionX, 32767);
    EXPECT_EQ(r.motionY, -7);
    EXPECT_EQ(r.wheel, 2);
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.right, 1);
    EXPECT_EQ(r.middle, 0);
    ASSERT_TRUE(input.pollMouse(r, false));
    EXPECT_EQ(r.motionX, 0);  // consumed by the first read
    EXPECT_EQ(r.left, 1);
    input.mouseCount = 0;
    EXPECT_FALSE(input.pollMouse(r, false));
    EXPECT_EQ(r.left, 0);
}

TEST_F(InputObject, MouseModeSetsTheCooperativeLevel) {
    input.setMouseMode(1);
    EXPECT_EQ(input.mouseMode, 1);
    EXPECT_EQ(input.cooperativeLevel, 6);
    input.setMouseMode(0);
    EXPECT_EQ(input.mouseMode, 0);
    EXPECT_EQ(input.cooperativeLevel, 5);
}

TEST(InputCommands, BeforeTheEngineStartsEverythingReadsZero) {
    ASSERT_EQ(engine.input, nullptr);
    platform::setKeyboardDeviceKey(keys::Escape, true);
    EXPECT_EQ(ReadKeyState(keys::Escape), 0);
    int32_t x = 7, y = 7, l = 7, r = 7;
    ReadMouseState(&x, &y, &l, &r);
    EXPECT_EQ(x + y + l + r, 0);
    double fx = 7, fy = 7, fl = 7, fr = 7;
    ReadMouseStateFloat(&fx, &fy, &fl, &fr);
    EXPECT_EQ(fx + fy + fl + fr, 0.0);
    ReadMouseState(nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(ReadTypedChar(), 0);
    EXPECT_EQ(CountJoysticks(), 0);
    EXPECT_EQ(ReadJoystickAxis(0, 0), 0.0);
    EXPECT_EQ(ReadJoystickButton(0, 0), 0);
    EXPECT_EQ(ReadJoystickPov(0), -1);
    platform::releaseAllKeyboardKeys();
}

}  // namespace
