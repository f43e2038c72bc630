// The mouse button edge tracker over real mouse events.
#include <gtest/gtest.h>

#include "engine_harness.h"
#include "game/world/game_state.h"
#include "game/world/mouse_buttons.h"
#include "platform/event_pump.h"
#include "temp_dir.h"

namespace {

class MouseEdges : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::startTestEngine(folder.path()));
        resetGameGlobals();  // the button arrays as an earlier case left them
    }
    // One frame of events, then one update of the tracker.
    void frame() {
        testsupport::runFrames(1);
        UpdateMouseButtons();
    }
    testsupport::TempDir folder;
};

TEST_F(MouseEdges, APressGivesTwoThenOneThenMinusOneThenZero) {
    testsupport::injectMouseMove(30, 40);
    testsupport::injectMouseButton(platform::MouseLeft, true, 30, 40);
    frame();
    EXPECT_EQ(MouseHit(0), 2.0);
    EXPECT_EQ(MouseHit(1), 0.0);
    EXPECT_EQ(MOUSE_HELD.at(0), 1.0);
    EXPECT_DOUBLE_EQ(MOUSE_X, 30.0);
    EXPECT_DOUBLE_EQ(MOUSE_Y, 40.0);
    frame();
    EXPECT_EQ(MouseHit(0), 1.0);
    testsupport::injectMouseButton(platform::MouseLeft, false, 30, 40);
    frame();
    EXPECT_EQ(MouseHit(0), -1.0);
    frame();
    EXPECT_EQ(MouseHit(0), 0.0);
}

TEST_F(MouseEdges, TheSecondButtonIsTrackedOnItsOwn) {
    testsupport::injectMouseButton(platform::MouseRight, true, 5, 5);
    frame();
    EXPECT_EQ(MouseHit(1), 2.0);
    EXPECT_EQ(MouseHit(0), 0.0);
    // A second update in the same frame turns the press into "held" at once.
    UpdateMouseButtons();
    EXPECT_EQ(MouseHit(1), 1.0);
}

}  // namespace
