// The mouse button edge tracker without a mouse (every level reads 0); the
// presses themselves are in mouse_buttons_gl_test.cpp.
#include "game/world/game_state.h"
#include "game/world/mouse_buttons.h"
#include <gtest/gtest.h>

namespace {

class MouseButtons : public ::testing::Test {
protected:
    void SetUp() override { resetGameGlobals(); }  // the tables start undimensioned
};

TEST_F(MouseButtons, TheFirstUpdateMakesTheTwoTablesOfTen) {
    EXPECT_EQ(MOUSE_HELD.bound(0), 0);
    UpdateMouseButtons();
    EXPECT_EQ(MOUSE_HELD.bound(0), 10);
    EXPECT_EQ(MOUSE_HIT.bound(0), 10);
    EXPECT_EQ(MouseHit(0), 0.0);
    EXPECT_EQ(MouseHit(1), 0.0);
}

TEST_F(MouseButtons, AButtonFoundUpAfterBeingHeldIsReleased) {
    UpdateMouseButtons();
    MOUSE_HELD.at(1) = 1;
    MOUSE_HIT.at(1) = 1;
    UpdateMouseButtons();
    EXPECT_EQ(MouseHit(1), -1.0);
    EXPECT_EQ(MOUSE_HELD.at(1), 0.0);
    UpdateMouseButtons();
    EXPECT_EQ(MouseHit(1), 0.0);
}

TEST_F(MouseButtons, ANegativeButtonCountsFromTheEnd) {
    UpdateMouseButtons();
    MOUSE_HIT.at(9) = 2;
    EXPECT_EQ(MouseHit(-1), 2.0);
    EXPECT_EQ(MouseHit(-10), MouseHit(0));
}

TEST(MouseButtonsDeathTest, AButtonBeyondTheTableEndsTheProgram) {
    UpdateMouseButtons();
    EXPECT_EXIT(MouseHit(10), ::testing::ExitedWithCode(9), "bounds: \\[ *10\\]");
}

}  // namespace
