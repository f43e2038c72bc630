// The scan-code table: the codes game code relies on, the platform's key
// numbers (USB usage numbers) behind them, and the table's consistency.
#include <gtest/gtest.h>

#include <set>

#include "platform/key_codes.h"

namespace {

// Platform key numbers are the keyboard's USB usage numbers.
constexpr int kUsbA = 4, kUsbEnter = 40, kUsbEscape = 41, kUsbSpace = 44, kUsbF2 = 59, kUsbF4 = 61,
              kUsbRight = 79, kUsbLeft = 80, kUsbDown = 81, kUsbUp = 82, kUsbLeftAlt = 226;

TEST(KeyCodes, CodesThatProgramsUse) {
    EXPECT_EQ(platform::scanCodeOfPlatformKey(kUsbEscape), 1);
    EXPECT_EQ(platform::scanCodeOfPlatformKey(kUsbSpace), 57);
    EXPECT_EQ(platform::scanCodeOfPlatformKey(kUsbEnter), 28);
    EXPECT_EQ(platform::scanCodeOfPlatformKey(kUsbLeftAlt), 56);
    EXPECT_EQ(platform::scanCodeOfPlatformKey(kUsbF2), 60);
    EXPECT_EQ(platform::scanCodeOfPlatformKey(kUsbF4), 62);
    EXPECT_EQ(platform::scanCodeOfPlatformKey(kUsbUp), 200);
    EXPECT_EQ(platform::scanCodeOfPlatformKey(kUsbLeft), 203);
    EXPECT_EQ(platform::scanCodeOfPlatformKey(kUsbRight), 205);
    EXPECT_EQ(platform::scanCodeOfPlatformKey(kUsbDown), 208);
}

TEST(KeyCodes, LettersAndDigitsFollowTheKeyboardRows) {
    // USB numbers A..Z are alphabetical; scan codes follow the rows QWERTY, ASDF, ZXCV.
    const char* letters = "abcdefghijklmnopqrstuvwxyz";
    const uint8_t expected[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
                                  0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
    for (int i = 0; i < 26; ++i) {
        EXPECT_EQ(platform::scanCodeOfPlatformKey(kUsbA + i), expected[i]) << "letter " << letters[i];
    }
    for (int d = 0; d < 10; ++d) {  // USB 30..39 are 1..9, 0; scan codes 2..11
        EXPECT_EQ(platform::scanCodeOfPlatformKey(30 + d), 2 + d);
    }
    for (int f = 0; f < 10; ++f) EXPECT_EQ(platform::scanCodeOfPlatformKey(58 + f), 0x3B + f);  // F1..F10
    EXPECT_EQ(platform::scanCodeOfPlatformKey(68), keys::F11);
    EXPECT_EQ(platform::scanCodeOfPlatformKey(69), keys::F12);
}

TEST(KeyCodes, ExtendedKeysSitAboveTheirPlainTwins) {
    EXPECT_EQ(platform::scanCodeOfPlatformKey(88), keys::Enter + 0x80);         // keypad Enter
    EXPECT_EQ(platform::scanCodeOfPlatformKey(228), keys::LeftControl + 0x80);  // right Ctrl
    EXPECT_EQ(platform::scanCodeOfPlatformKey(230), keys::LeftAlt + 0x80);      // right Alt
    EXPECT_EQ(platform::scanCodeOfPlatformKey(84), keys::Slash + 0x80);         // keypad divide
}

TEST(KeyCodes, EveryMappedCodeComesBackFromItsPlatformKey) {
    std::set<int> platformKeys;
    int mapped = 0;
    for (int code = 0; code < 256; ++code) {
        int key = platform::platformKeyOfScanCode(static_cast<uint8_t>(code));
        if (key == 0) continue;
        ++mapped;
        platformKeys.insert(key);
        EXPECT_EQ(platform::scanCodeOfPlatformKey(key), code) << "scan code " << code;
    }
    EXPECT_EQ(mapped, static_cast<int>(platformKeys.size()));
    EXPECT_EQ(mapped, 135);  // every code named in key_codes.h
    EXPECT_EQ(platform::platformKeyOfScanCode(0), 0);
}

TEST(KeyCodes, UnknownAndOutOfRangeKeysGiveZero) {
    EXPECT_EQ(platform::scanCodeOfPlatformKey(-1), 0);
    EXPECT_EQ(platform::scanCodeOfPlatformKey(0), 0);
    EXPECT_EQ(platform::scanCodeOfPlatformKey(1 << 20), 0);
    EXPECT_EQ(platform::scanCodeOfPlatformKey(3), 0);  // "error undefined" usage
    EXPECT_EQ(platform::platformKeyOfScanCode(0x54), 0);
}

}  // namespace
