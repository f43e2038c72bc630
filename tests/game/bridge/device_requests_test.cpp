// The request texts the game sends, what the records keep of the replies,
// and the null device's answers.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "game/bridge/desktop_device.h"
#include "game/bridge/device_requests.h"
#include "game/bridge/device_transport.h"
#include "game/bridge/null_device.h"
#include "game/bridge/scripted_device.h"

namespace {

using Texts = std::vector<std::string>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

Texts printed;
double recordPrint(const RtString& text) {
    printed.emplace_back(text.data);
    return 0.0;
}

// Each case has a device of its own, which no earlier case has read yet.
class DeviceRequests : public ::testing::Test {
protected:
    DeviceRequests() { forgetDeviceInfo(); }
    ScriptedDevice device;
    ScopedDeviceTransport installed{device};
};

TEST_F(DeviceRequests, SoundRequestsAndWhatTheRecordsKeep) {
    DeviceSound move, boom, never;
    device.queueReply("addSound:", "4095");
    device.queueReply("addSound:", "4092");
    HostAddSound(move, 0.0, "/game/Media/move.wav");
    HostAddSound(boom, 3.0, "/game/Media/boom2.wav");
    HostPlaySound(move, 0.0, 0.2);
    HostPlaySound(boom, 0.0, 0.5);
    HostPlaySound(never, 0.0, 1.5);  // volumes are held to 0..1
    HostPlaySound(never, 0.0, -0.25);
    HostPlaySound(never, 0.0, kNaN);
    EXPECT_EQ(device.requests(),
              (Texts{"addSound:0:/game/Media/move.wav", "addSound:3:/game/Media/boom2.wav", "playSound:4095:0:0.2",
                     "playSound:4092:0:0.5", "playSound::0:1", "playSound::0:0", "playSound::0:0"}));
    EXPECT_STREQ(move.number.data, "0");
    EXPECT_STREQ(move.reply.data, "4095");
    EXPECT_STREQ(boom.number.data, "3");
    EXPECT_STREQ(boom.reply.data, "4092");
}

TEST_F(DeviceRequests, MusicRequestsKeepAndPrintTheReply) {
    printed.clear();
    setDebugPrintRoutine(recordPrint);
    DeviceMusic music;
    device.setReply("playMusic:", "1");
    HostPlayMusic(music, "/game/Media/shoalrunner.ogg", 0.5, 1.0);
    for (double volume : {2.0, kNaN, 0.7, 0.25}) HostSetMusicVolume(music, volume);
    EXPECT_EQ(device.requests(), (Texts{"playMusic:/game/Media/shoalrunner.ogg:0.5:1", "setMusicVolume:1",
                                        "setMusicVolume:0", "setMusicVolume:0.7", "setMusicVolume:0.25"}));
    EXPECT_STREQ(music.reply.data, "1");
    EXPECT_EQ(printed, (Texts{"Result: 1"}));
    setDebugPrintRoutine(nullptr);
}

TEST_F(DeviceRequests, WaitForSamplesAsksUntilNothingIsLoading) {
    for (const char* reply : {"3", "1", " 2 sounds", "0", "7"}) device.queueReply("sampleCount:", reply);
    EXPECT_EQ(HostWaitForSamples(123.0), 0.0);
    EXPECT_EQ(device.requests(), Texts(4, "sampleCount:"));
    device.clearRequests();
    device.setReply("sampleCount:", "loading");  // after the queued "7"; no number reads 0
    HostWaitForSamples(0.0);
    EXPECT_EQ(device.requests().size(), 2u);
}

TEST_F(DeviceRequests, LayoutMemoryAndReloadTexts) {
    HostSetButtonLayout("Left=Go Left;Up=Go Up;Right=Go Right;Down=Go Down;b1=Button 1;b2=Button 2;b3=Button 3;"
                        "b4=Button 4");
    HostCheckMemory("tiles.png");
    for (const char* reply : {"true", "TRUE", "True", "1", "true ", ""}) device.queueReply("isReloadTextures:", reply);
    std::vector<double> reload;
    for (int i = 0; i < 6; ++i) reload.push_back(HostIsReloadTextures());
    EXPECT_EQ(reload, (std::vector<double>{1, 1, 0, 0, 0, 0}));
    const Texts sent = device.requests();
    EXPECT_EQ(Texts(sent.begin(), sent.begin() + 3),
              (Texts{"JoySetButtonLayout:Left=Go Left;Up=Go Up;Right=Go Right;Down=Go Down;b1=Button 1;"
                     "b2=Button 2;b3=Button 3;b4=Button 4",
                     "memory:check", "isReloadTextures:"}));
}

TEST_F(DeviceRequests, DeviceInfoFillsTheFourTextsFromOneRequest) {
    device.setReply("getdevice:", "product=Reef 2;model=RX-9;device=;manufacture=Kelp Works");
    EXPECT_STREQ(HostGetDeviceInfo("model").data, "RX-9");  // the first use reads the device
    for (const char* key : {"manufacture", "device", "product", "Model", "serial", ""}) HostGetDeviceInfo(key);
    EXPECT_EQ(device.requests(), (Texts{"getdevice:info"}));
    EXPECT_STREQ(deviceInfo.manufacture.data, "Kelp Works");
    EXPECT_STREQ(deviceInfo.device.data, "");
    EXPECT_STREQ(deviceInfo.product.data, "Reef 2");
    EXPECT_STREQ(HostGetDeviceInfo("Model").data, "0");
    device.setReply("getdevice:", "model=Z");
    ReadDeviceInfo();
    EXPECT_STREQ(deviceInfo.model.data, "Z");
    EXPECT_STREQ(deviceInfo.product.data, "0");
}

TEST_F(DeviceRequests, OrientationIsAskedOnlyOfTouchAndKeyboardDevices) {
    UpdateScreenOrientation();
    EXPECT_TRUE(device.requests().empty());
    for (DeviceKind kind : {DeviceKind::TouchScreen, DeviceKind::Keyboard}) {
        ScriptedDevice other(kind);
        ScopedDeviceTransport use(other);
        UpdateScreenOrientation();
        EXPECT_EQ(other.requests(), (Texts{"screenOrientation:"}));
    }
}

TEST(NullDevice, AnswersZeroToEverything) {
    forgetDeviceInfo();  // read by earlier cases from other devices
    NullDevice null;
    ScopedDeviceTransport installed(null);
    DeviceSound sound;
    DeviceMusic music;
    HostAddSound(sound, 2.0, "/x/pop.wav");
    testing::internal::CaptureStdout();
    HostPlayMusic(music, "/x/m.ogg", 0.5, 1.0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Result: 0\n");  // the default debug print
    EXPECT_STREQ(sound.reply.data, "0");
    EXPECT_STREQ(music.reply.data, "0");
    EXPECT_EQ(HostIsReloadTextures(), 0.0);
    for (const char* key : {"model", "manufacture", "device", "product"}) {
        EXPECT_STREQ(HostGetDeviceInfo(key).data, "0") << key;
    }
    EXPECT_STREQ(sendDeviceRequest("getGPSLatitude:").data, "0");
}

TEST(Transport, TheDesktopDeviceAnswersWhenNoneIsInstalled) {
    EXPECT_NE(dynamic_cast<DesktopDevice*>(&deviceTransport()), nullptr);
    NullDevice null;
    EXPECT_EQ(setDeviceTransport(&null), nullptr);
    EXPECT_EQ(&deviceTransport(), &null);
    EXPECT_EQ(setDeviceTransport(nullptr), &null);
    EXPECT_NE(dynamic_cast<DesktopDevice*>(&deviceTransport()), nullptr);
    EXPECT_EQ(deviceTransport().kind(), DeviceKind::Desktop);
}

}  // namespace
