// The desktop device layer without a window: the controller reply for given
// samples, the verbs it serves, and the sounds it hands to the desktop audio
// (on the sound system's manual output, so nothing is heard).
#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>

#include "file_bytes.h"
#include "game/bridge/desktop_controls.h"
#include "game/bridge/desktop_device.h"
#include "game/bridge/device_requests.h"
#include "game/bridge/device_transport.h"
#include "platform/audio_output.h"
#include "platform/key_codes.h"
#include "sound/sound_system.h"
#include "temp_dir.h"

namespace {

const char kAllNamed[] =
    "Up=0;Down=0;Left=0;Right=0;PadL_Up=0;PadL_Down=0;PadL_Left=0;PadL_Right=0;b1=0;b2=0;b3=0;b9=0;b10=0";

// The entries of the sample's reply whose value is not "0".
std::string held(const ControllerSample& s) {
    const RtString reply = formatControllerReply(s);
    std::istringstream entries(reply.data);
    std::string entry, out;
    while (std::getline(entries, entry, ';')) {
        if (entry.substr(entry.find('=') + 1) != "0") out += (out.empty() ? "" : ";") + entry;
    }
    return out;
}

ControllerSample pad(double x, double y, uint32_t buttons = 0, int32_t pov = -1) {
    ControllerSample s;
    s.joystick = true;
    s.stickX = x;
    s.stickY = y;
    s.buttons = buttons;
    s.pov = pov;
    return s;
}

TEST(DesktopControls, EachKeyGivesItsAction) {
    const std::pair<uint8_t, const char*> rows[] = {
        {keys::Up, "Up=1000"},   {keys::W, "Up=1000"},     {keys::Down, "Down=1000"}, {keys::S, "Down=1000"},
        {keys::Left, "Left=1000"}, {keys::A, "Left=1000"}, {keys::Right, "Right=1000"}, {keys::D, "Right=1000"},
        {keys::Enter, "b1=1"},   {keys::Space, "b1=1"},    {keys::Z, "b1=1"},         {keys::Escape, "b2=1"},
        {keys::Backspace, "b2=1"}, {keys::X, "b2=1"},      {keys::R, "b3=1"},         {keys::C, "b3=1"},
        {keys::F9, "b9=1"},      {keys::F10, "b10=1"},
        // Keys that are no control.
        {keys::Q, ""}, {keys::NumpadEnter, ""}, {keys::F1, ""}, {keys::LeftAlt, ""}, {keys::F11, ""},
    };
    for (const auto& [key, expected] : rows) {
        ControllerSample s;
        s.keys[key] = 0x80;
        EXPECT_EQ(held(s), expected) << "scan code " << int(key);
    }
    ControllerSample s;
    s.keys[keys::Up] = 0x7F;  // only the high bit means held
    EXPECT_EQ(held(s), "");
}

TEST(DesktopControls, TheStickCountsBeyondSixtyPercentScaledToAThousand) {
    EXPECT_EQ(held(pad(-0.6, 0.6009)), "");  // 60 % and 600.9: not beyond 600
    EXPECT_EQ(held(pad(-0.75, 0.601)), "Down=601;Left=750");
    EXPECT_EQ(held(pad(1.0, -1.0)), "Up=1000;Right=1000");
    EXPECT_EQ(held(pad(std::numeric_limits<double>::quiet_NaN(), 7.0)), "Down=1000");
    ControllerSample s = pad(-0.8, 0);
    s.keys[keys::A] = 0x80;  // a key outweighs a part-way push
    EXPECT_EQ(held(s), "Left=1000");
    s.keys[keys::A] = 0;
    s.joystick = false;  // the stick fields are not read without a joystick
    EXPECT_EQ(held(s), "");
}

TEST(DesktopControls, TheHatWithItsDiagonalsAndTheButtons) {
    const std::pair<int32_t, const char*> hats[] = {
        {-1, ""},
        {0, "PadL_Up=1"},
        {4500, "PadL_Up=1;PadL_Right=1"},
        {9000, "PadL_Right=1"},
        {13500, "PadL_Down=1;PadL_Right=1"},
        {18000, "PadL_Down=1"},
        {22500, "PadL_Down=1;PadL_Left=1"},
        {27000, "PadL_Left=1"},
        {31500, "PadL_Up=1;PadL_Left=1"},
        {-9000, ""},
    };
    for (const auto& [pov, expected] : hats) EXPECT_EQ(held(pad(0, 0, 0, pov)), expected) << pov;
    EXPECT_EQ(held(pad(0, 0, (1u << 0) | (1u << 9))), "b1=1;b10=1");
    EXPECT_EQ(held(pad(0, 0, (1u << 1) | (1u << 2) | (1u << 8))), "b2=1;b3=1;b9=1");
    EXPECT_EQ(held(pad(0, 0, ~((1u << 0) | (1u << 1) | (1u << 2) | (1u << 8) | (1u << 9)))), "");
}

TEST(DesktopDevice, WithoutAnInputObjectNothingIsHeldAndOtherRequestsAnswerZero) {
    DesktopDevice desktop;
    EXPECT_STREQ(desktop.answer("JoyUpdateKeys").data, kAllNamed);
    for (const char* request : {"JoyUpdateKeys:", "JoyUpdateKeysNow", "joyupdatekeys", "JoySetButtonLayout:b1=A",
                                "memory:check", "isReloadTextures:", "getdevice:info", "screenOrientation:",
                                "getGPSLatitude:", "", ":", "playsound:1:0:1"}) {
        EXPECT_STREQ(desktop.answer(request).data, "0") << request;
    }
    // Sound requests without a sound system.
    EXPECT_STREQ(desktop.answer("addSound:0:/no/such/move.wav").data, "-1");
    EXPECT_STREQ(desktop.answer("addSound:").data, "-1");
    EXPECT_STREQ(desktop.answer("playSound:4095:0:0.5").data, "0");
    EXPECT_STREQ(desktop.answer("playSound:").data, "0");
    EXPECT_STREQ(desktop.answer("sampleCount:").data, "0");
    EXPECT_STREQ(desktop.answer("playMusic:/no/such.ogg:0.5:1").data, "0");
    EXPECT_STREQ(desktop.answer("playMusic:").data, "0");
    EXPECT_STREQ(desktop.answer("setMusicVolume:0.3").data, "1");
}

// A mono 16-bit PCM WAV of two samples.
std::string monoWav(int16_t level) {
    auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto u16 = [](uint32_t v) { return std::string{char(v), char(v >> 8)}; };
    return "RIFF" + u32(40) + "WAVE" + "fmt " + u32(16) + u16(1) + u16(1) + u32(22050) + u32(44100) + u16(2) +
           u16(16) + "data" + u32(4) + u16(uint16_t(level)) + u16(uint16_t(level));
}

TEST(DesktopSounds, SoundsSharingANumberKeepHandlesOfTheirOwn) {
    platform::setAudioOutputMaker(&platform::makeManualAudioOutput);
    static int windowStandIn;
    createSoundSystem(&windowStandIn);
    testsupport::TempDir dir;
    testsupport::writeFileBytes(dir.file("boom2.wav"), monoWav(1000));
    testsupport::writeFileBytes(dir.file("drag4.wav"), monoWav(3000));
    DesktopDevice desktop;
    ScopedDeviceTransport installed(desktop);
    DeviceSound boom, drag, missing;
    HostAddSound(boom, 3.0, dir.file("boom2.wav").c_str());
    HostAddSound(drag, 3.0, dir.file("drag4.wav").c_str());
    HostAddSound(missing, 3.0, dir.file("till.wav").c_str());
    EXPECT_STREQ(boom.reply.data, "4095");
    EXPECT_STREQ(drag.reply.data, "4094");
    EXPECT_STREQ(missing.reply.data, "-1");
    EXPECT_STREQ(boom.number.data, "3");
    EXPECT_EQ(HostWaitForSamples(0.0), 0.0);
    EXPECT_STREQ(desktop.answer("playSound:4094:0:0.5").data, "1");
    EXPECT_STREQ(desktop.answer("playSound:4093:0:0.5").data, "0");  // nothing loaded there
    EXPECT_STREQ(desktop.answer("playSound:-1:0:0.5").data, "0");
    testsupport::writeFileBytes(dir.file("lowest.wav"), monoWav(5));
    for (int slot = 4093; slot >= 0; --slot) desktop.answer(("addSound:3:" + dir.file("lowest.wav")).c_str());
    EXPECT_STREQ(desktop.answer("playSound:0:0:1").data, "1");
    EXPECT_STREQ(desktop.answer("playSound::0:1").data, "0");  // an empty handle is not slot 0
    EXPECT_STREQ(desktop.answer(("playMusic:" + dir.file("none.ogg") + ":0.5:1").c_str()).data, "0");
    releaseSoundSystem();
    platform::setAudioOutputMaker(nullptr);
}

}  // namespace
