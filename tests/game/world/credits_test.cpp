// The credits page's frame loop, driven by a scripted controller.
#include "game/bridge/device_requests.h"
#include "game/world/credits.h"
#include "game/world/water_background.h"
#include "world_fixture.h"

namespace worldtest {
namespace {

class Credits : public WorldTest {
protected:
    Credits() { FillWaveTables(); }
};

// A "b2" held when the page opens is the press that came before it: the
// page waits for its release, however long it is held, and a fresh press
// then leaves. Before, the held button left the page after 20 frames.
TEST_F(Credits, AButtonHeldWhenThePageOpensCountsOnlyOnceReleased) {
    device.addFrames(100, "b2=1");
    device.addFrames(1, "");
    device.addFrames(1, "b2=1");
    GetControllerValue("Update", 0);  // the state the page opens with
    STEP_COOLDOWN = 0;
    ShowCredits();
    // Frames 1 to 100 still see the held button; frame 101 sees it released
    // and frame 102 the new press, which is still shown.
    EXPECT_EQ(device.framesTaken(), 1 + 102);
    EXPECT_EQ(STEP_COOLDOWN, 20);
}

TEST_F(Credits, AFreshPressIsIgnoredForTwentyFramesThenLeavesThePage) {
    device.addFrames(1, "");
    device.addFrames(100, "b2=1");
    GetControllerValue("Update", 0);  // nothing held when the page opens
    STEP_COOLDOWN = 0;
    ShowCredits();
    // Frames 1 to 20 run down the cooldown; frame 21 sees "b2" and is still shown.
    EXPECT_EQ(device.framesTaken(), 1 + 21);
    EXPECT_EQ(STEP_COOLDOWN, 20);
}

TEST_F(Credits, ThePageWaitsForTheButton) {
    device.addFrames(50, "");
    device.addFrames(1, "b2=1");
    GetControllerValue("Update", 0);
    ShowCredits();
    // "b2" arrives with the 51st update, seen in the 51st frame.
    EXPECT_EQ(device.framesTaken(), 1 + 51);
    EXPECT_EQ(STEP_COOLDOWN, 20);
}

TEST(CreditLines, EightLinesOfHeadingsAndNamesAtFixedRows) {
    const int rows[kCreditLineCount] = {20, 35, 55, 70, 90, 105, 125, 140};
    for (int i = 0; i < kCreditLineCount; ++i) EXPECT_EQ(kCreditLines[i].y, rows[i]);
    EXPECT_STREQ(kCreditLines[0].text, "CONCEPT");
    EXPECT_STREQ(kCreditLines[2].text, "MUSIC");
    EXPECT_STREQ(kCreditLines[4].text, "SFX, GFX, OTHER MEDIA");
    EXPECT_STREQ(kCreditLines[6].text, "ANDROID SUPPORT");
}

}  // namespace
}  // namespace worldtest
