// The window service's refusal of a driver that shows nothing unless asked for.
#include <gtest/gtest.h>

#include "platform/gl_window.h"

namespace {

TEST(GLWindowDriver, AnInvisibleDriverCountsOnlyWhenTheUserNamedIt) {
    struct Case {
        const char* driver;
        const char* requested;
        bool refused;
    };
    const Case cases[] = {
        {"offscreen", nullptr, true},
        {"offscreen", "", true},
        {"dummy", nullptr, true},
        {"evdev", "x11", true},
        {"offscreen", "offscreen", false},
        {"offscreen", "OffScreen", false},
        {"offscreen", "x11,offscreen", false},
        {"offscreen", "offscreen,x11", false},
        {"offscreen", "offscreen2", true},  // whole names only
        {"offscreen", "off", true},
        {"offscreen", "x11,", true},
        {"dummy", "dummy", false},
        {"x11", nullptr, false},
        {"wayland", "", false},
        {"kmsdrm", "offscreen", false},
        {nullptr, nullptr, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::showsNothingUnasked(c.driver, c.requested), c.refused)
            << (c.driver ? c.driver : "null") << " asked " << (c.requested ? c.requested : "null");
    }
}

}  // namespace
