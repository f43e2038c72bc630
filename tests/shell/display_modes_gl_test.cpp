// The display's modes and size (the offscreen display has one mode).
#include <gtest/gtest.h>

#include "shell/display_modes.h"

namespace {

TEST(DisplayModes, EveryListedModeHasASize) {
    int32_t count = CountDisplayModes();
    ASSERT_GE(count, 1);
    for (int32_t i = 0; i < count; ++i) {
        int32_t w = 0, h = 0, bpp = 0, rate = -1;
        EXPECT_EQ(GetDisplayMode(i, &w, &h, &bpp, &rate), 1);
        EXPECT_GT(w, 0);
        EXPECT_GT(h, 0);
        EXPECT_GE(rate, 0);
    }
    EXPECT_EQ(GetDisplayMode(0, nullptr, nullptr, nullptr, nullptr), 1);
}

TEST(DisplayModes, AModeThatDoesNotExistReadsZero) {
    int32_t w = 9, h = 9, bpp = 9, rate = 9;
    EXPECT_EQ(GetDisplayMode(-1, &w, &h, &bpp, &rate), 0);
    EXPECT_EQ(w + h + bpp + rate, 0);
    EXPECT_EQ(GetDisplayMode(CountDisplayModes(), &w, &h, &bpp, &rate), 0);
}

TEST(DisplayModes, TheDesktopSize) {
    int32_t w = 0, h = 0;
    GetDesktopSize(&w, &h);
    EXPECT_GT(w, 0);
    EXPECT_GT(h, 0);
    GetDesktopSize(nullptr, nullptr);
}

}  // namespace
