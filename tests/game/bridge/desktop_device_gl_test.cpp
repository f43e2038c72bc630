// The desktop device layer in the running engine: keys and joystick changes
// reach the game's controller queries through the frame end and "Update",
// the way every screen of the game reads them.
#include <gtest/gtest.h>

#include "engine_harness.h"
#include "game/bridge/device_requests.h"
#include "input/input_commands.h"
#include "platform/key_codes.h"
#include "runtime/services/pause_flags.h"
#include "temp_dir.h"
#include "virtual_joystick.h"

namespace {

using bridgetest::VirtualJoystick;

class DesktopInEngine : public ::testing::Test {
protected:
    // Escape is a game key here, as in the game, which clears escapeQuits
    // first: with the flag set the frame end would end the program.
    void SetUp() override {
        ASSERT_TRUE(testsupport::startTestEngine(dir.path()));
        SetEscapeQuits(0);
    }
    // One frame of a game screen: the frame end, then "Update".
    void frame() {
        testsupport::runFrames(1);
        GetControllerValue("Update", 0);
    }
    // Injected key events are handled by the next frame end's message pump,
    // after its keyboard poll: the frame end after that one holds them.
    void keysSettle() {
        frame();
        frame();
    }
    double value(const char* action) { return GetControllerValue(action, 0); }
    testsupport::TempDir dir;
};

TEST_F(DesktopInEngine, HeldKeysReadAsActionsFromTheNextUpdate) {
    frame();
    EXPECT_EQ(value("Down"), 0.0);
    testsupport::injectKey(keys::Down, true);
    testsupport::injectKey(keys::Space, true);
    EXPECT_EQ(value("Down"), 0.0);  // nothing until a frame end and "Update"
    keysSettle();
    EXPECT_EQ(value("Down"), 1000.0);
    EXPECT_GT(value("Down"), 600.0);  // what the game counts as pressed
    EXPECT_EQ(value("b1"), 1.0);
    EXPECT_EQ(value("Up"), 0.0);
    EXPECT_EQ(value("b2"), 0.0);
    frame();  // still held
    EXPECT_EQ(value("Down"), 1000.0);
    testsupport::injectKey(keys::Down, false);
    testsupport::injectKey(keys::Space, false);
    testsupport::injectKey(keys::Escape, true);
    testsupport::injectKey(keys::D, true);
    testsupport::injectKey(keys::F10, true);
    keysSettle();
    EXPECT_EQ(value("Down"), 0.0);
    EXPECT_EQ(value("b1"), 0.0);
    EXPECT_EQ(value("b2"), 1.0);
    EXPECT_EQ(value("Right"), 1000.0);
    EXPECT_EQ(value("b10"), 1.0);
    EXPECT_EQ(value("PadL_Right"), 0.0);
}

TEST_F(DesktopInEngine, TheFirstJoysticksStickHatAndButtons) {
    VirtualJoystick pad;
    ASSERT_TRUE(pad.ok());
    ASSERT_EQ(CountJoysticks(), 1);
    frame();
    EXPECT_EQ(value("Left"), 0.0);
    pad.setAxis(0, -32768);
    pad.setAxis(1, 16384);  // half way down: not pressed
    pad.setButton(0, true);
    pad.setButton(8, true);
    pad.setHat(VirtualJoystick::kHatUp | VirtualJoystick::kHatRight);
    frame();
    EXPECT_EQ(value("Left"), 1000.0);
    EXPECT_EQ(value("Right"), 0.0);
    EXPECT_EQ(value("Down"), 0.0);
    EXPECT_EQ(value("b1"), 1.0);
    EXPECT_EQ(value("b9"), 1.0);
    EXPECT_EQ(value("b2"), 0.0);
    EXPECT_EQ(value("PadL_Up"), 1.0);
    EXPECT_EQ(value("PadL_Right"), 1.0);
    EXPECT_EQ(value("PadL_Down"), 0.0);
    pad.setAxis(0, 0);
    pad.setAxis(1, 26214);  // 80 % down
    pad.setButton(0, false);
    pad.setButton(8, false);
    pad.setButton(2, true);
    pad.setHat(VirtualJoystick::kHatLeft);
    frame();
    EXPECT_EQ(value("Left"), 0.0);
    EXPECT_EQ(value("Down"), 800.0);
    EXPECT_EQ(value("b1"), 0.0);
    EXPECT_EQ(value("b3"), 1.0);
    EXPECT_EQ(value("PadL_Left"), 1.0);
    EXPECT_EQ(value("PadL_Up"), 0.0);
    // With a key: the key's 1000 outweighs a part-way push.
    pad.setAxis(1, 0);
    pad.setAxis(0, 22937);  // 70 % right
    frame();
    EXPECT_EQ(value("Right"), 700.0);
    testsupport::injectKey(keys::Right, true);
    keysSettle();
    EXPECT_EQ(value("Right"), 1000.0);
}

}  // namespace
