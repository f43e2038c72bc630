// The keyboard and mouse devices that the event pump feeds.
#include <gtest/gtest.h>

#include "platform/key_codes.h"
#include "platform/keyboard_device.h"
#include "platform/mouse_device.h"

namespace {

TEST(KeyboardDevice, KeysReadAsTheDownBitUntilReleased) {
    platform::releaseAllKeyboardKeys();
    platform::setKeyboardDeviceKey(keys::Space, true);
    platform::setKeyboardDeviceKey(255, true);
    uint8_t state[platform::kKeyStateCount];
    platform::readKeyboardDevice(state);
    EXPECT_EQ(state[keys::Space], 0x80);
    EXPECT_EQ(state[255], 0x80);
    EXPECT_EQ(state[keys::Escape], 0);
    platform::setKeyboardDeviceKey(keys::Space, false);
    platform::readKeyboardDevice(state);
    EXPECT_EQ(state[keys::Space], 0);
    platform::releaseAllKeyboardKeys();
    platform::readKeyboardDevice(state);
    EXPECT_EQ(state[255], 0);
}

TEST(MouseDevice, MotionAndWheelGatherUntilConsumed) {
    platform::resetMouseDevice();
    platform::mouseDeviceMoved(10, 20, 3, -4);
    platform::mouseDeviceMoved(12, 25, 2, 5);
    platform::mouseDeviceWheel(1);
    platform::mouseDeviceWheel(-3);
    platform::MouseReading r = platform::readMouseDevice(false);
    EXPECT_EQ(r.x, 12);
    EXPECT_EQ(r.y, 25);
    EXPECT_EQ(r.motionX, 5);
    EXPECT_EQ(r.motionY, 1);
    EXPECT_EQ(r.wheel, -2);
    r = platform::readMouseDevice(true);
    EXPECT_EQ(r.motionX, 5);
    r = platform::readMouseDevice(false);
    EXPECT_EQ(r.motionX, 0);
    EXPECT_EQ(r.motionY, 0);
    EXPECT_EQ(r.wheel, 0);
    EXPECT_EQ(r.x, 12);  // the position stays
}

TEST(MouseDevice, ButtonsAreBitsByNumberAndBadNumbersChangeNothing) {
    platform::resetMouseDevice();
    platform::mouseDeviceButton(1, true, 5, 6);
    platform::mouseDeviceButton(3, true, 7, 8);
    EXPECT_EQ(platform::readMouseDevice(false).buttons, 0b101u);
    EXPECT_EQ(platform::readMouseDevice(false).x, 7);
    platform::mouseDeviceButton(0, true, 7, 8);
    platform::mouseDeviceButton(33, true, 7, 8);
    platform::mouseDeviceButton(-2, true, 7, 8);
    EXPECT_EQ(platform::readMouseDevice(false).buttons, 0b101u);
    platform::mouseDeviceButton(1, false, 7, 8);
    EXPECT_EQ(platform::readMouseDevice(false).buttons, 0b100u);
    platform::resetMouseDevice();
    EXPECT_EQ(platform::readMouseDevice(false).buttons, 0u);
}

}  // namespace
