// GetControllerValue as the game calls it ("Update" once per frame, then the
// actions looked up in the kept reply), the reply fields, the scripted device.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/bridge/device_requests.h"
#include "game/bridge/device_transport.h"
#include "game/bridge/null_device.h"
#include "game/bridge/reply_fields.h"
#include "game/bridge/scripted_device.h"

namespace {

using Texts = std::vector<std::string>;

TEST(ReplyFields, NumbersByExactNameAndOddReplies) {
    const RtString reply("Up=1000;Down=0;b1=1;b10=  7.5;neg=-3;big=2e3;odd=12abc;x=;y=z;b1=9");
    const std::pair<const char*, double> rows[] = {
        {"Up", 1000}, {"Down", 0}, {"b1", 1}, {"b10", 7.5}, {"neg", -3}, {"big", 2000}, {"odd", 12},
        {"x", 0}, {"y", 0}, {"b", 0}, {"b100", 0}, {"up", 0}, {"PadL_Down", 0}, {"", 0}, {nullptr, 0},
    };
    for (const auto& [name, value] : rows) EXPECT_EQ(replyFieldNumber(reply, name), value) << (name ? name : "null");
    for (const char* odd : {"", "0", "b1", "b1=", "=5", ";;;"}) EXPECT_EQ(replyFieldNumber(odd, "b1"), 0.0) << odd;
    EXPECT_EQ(replyFieldNumber(RtString(";;b2=4;"), "b2"), 4.0);
    EXPECT_EQ(replyFieldNumber(RtString::fromBytes("x=1\0;b2=6", 9), "b2"), 6.0);  // past a NUL byte
    EXPECT_STREQ(replyFieldText(RtString("a=1;b=two;c=3"), "b", "0").data, "two");
    EXPECT_STREQ(replyFieldText(RtString("a=1"), "b", "none").data, "none");
}

TEST(Controller, UpdateAsksOnceAndKeepsTheReply) {
    ScriptedDevice device;
    ScopedDeviceTransport installed(device);
    device.addFrames(1, "Down=1000;PadL_Left=1;b1=1;update=5");
    device.addFrames(1, "Up=640");
    EXPECT_EQ(GetControllerValue("b1", 0), 0.0);  // nothing kept before the first "Update"
    EXPECT_TRUE(device.requests().empty());

    EXPECT_EQ(GetControllerValue("Update", 0), 0.0);
    EXPECT_EQ(GetControllerValue("Down", 0), 1000.0);
    EXPECT_EQ(GetControllerValue("PadL_Left", 0), 1.0);
    EXPECT_EQ(GetControllerValue("b1", 0), 1.0);
    EXPECT_EQ(GetControllerValue(RtString("b1"), 0), 1.0);  // queries leave the state as it is
    EXPECT_EQ(GetControllerValue("update", 0), 5.0);        // only "Update" fetches
    EXPECT_EQ(GetControllerValue("Up", 0), 0.0);
    EXPECT_EQ(GetControllerValue("b1", 1), 0.0);  // the reply is player 0's
    EXPECT_EQ(GetControllerValue(nullptr, 0), 0.0);

    GetControllerValue("Update", 0);
    EXPECT_EQ(GetControllerValue("Down", 0), 0.0);
    EXPECT_EQ(GetControllerValue("Up", 0), 640.0);
    GetControllerValue("Update", 0);  // past the script: nothing held
    EXPECT_EQ(GetControllerValue("Up", 0), 0.0);
    EXPECT_EQ(device.requests(), Texts(3, "JoyUpdateKeys"));
}

TEST(Controller, TheNullDeviceReadsZeroForEveryAction) {
    NullDevice null;
    ScopedDeviceTransport installed(null);
    GetControllerValue("Update", 0);
    EXPECT_STREQ(keptControllerState().data, "0");
    for (const char* action : {"Left", "Right", "Up", "Down", "PadL_Left", "PadL_Right", "PadL_Up", "PadL_Down",
                               "b1", "b2", "b3", "b9", "b10"}) {
        EXPECT_EQ(GetControllerValue(action, 0), 0.0) << action;
    }
}

TEST(ScriptedDevice, ScriptsRunFrameByFrame) {
    ScriptedDevice device;
    ASSERT_TRUE(device.loadScript("# title menu\n  40\n\n2 Down=1000\n1\tb1=1;b2=1  \n0 b3=1\n"));
    EXPECT_EQ(device.framesLeft(), 43);
    Texts replies;
    for (int frame = 0; frame < 44; ++frame) replies.emplace_back(device.answer("JoyUpdateKeys").data);
    EXPECT_EQ(replies[39], "");
    EXPECT_EQ(Texts(replies.begin() + 40, replies.end()), (Texts{"Down=1000", "Down=1000", "b1=1;b2=1", ""}));
    EXPECT_EQ(device.framesTaken(), 44);
    for (const char* bad : {"3 Up=1000\nDown=1000\n", "-1 Up=1000", "5x Up=1000", "9999999999 Up=1000"}) {
        EXPECT_FALSE(device.loadScript(bad)) << bad;
    }
    device.addFrames(0, "b1=1");
    device.addFrames(-4, "b1=1");
    EXPECT_EQ(device.framesLeft(), 0);  // a bad script adds nothing
}

}  // namespace
