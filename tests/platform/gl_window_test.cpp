// The window service's choice of video drivers, and its refusal of a driver
// that shows nothing unless asked for.
#include <gtest/gtest.h>

#include "platform/gl_window.h"
#include "platform/video_drivers.h"

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

// The drivers asked for a window: the user's list alone, else x11 for
// DISPLAY and wayland for WAYLAND_DISPLAY when its socket can be found.
TEST(GLWindowDriver, OnlyTheDriversTheEnvironmentNamesAreTried) {
    struct Case {
        platform::VideoEnvironment environment;
        const char* tried;  // drivers and displays, in order
        bool skipped;
    };
    const char* runtime = "/";  // an absolute folder
    const char* card = "/dev/dri/card0";
    const Case cases[] = {
        {{nullptr, nullptr, nullptr, nullptr, nullptr}, "", false},
        {{"", "", "", runtime, nullptr}, "", false},
        {{"offscreen", ":99999", "wayland-0", runtime, card}, "offscreen@:99999 ", false},
        {{nullptr, ":99999", nullptr, nullptr, card}, "x11@:99999 ", false},
        {{nullptr, ":99999", "wayland-0", nullptr, nullptr}, "x11@:99999 ", true},
        {{nullptr, nullptr, "wayland-0", "relative/folder", nullptr}, "", true},
        {{nullptr, nullptr, "wayland-0", "/no/such/folder", nullptr}, "", true},
        {{nullptr, nullptr, "/run/wayland-0", nullptr, card}, "wayland@/run/wayland-0 ", false},
        {{nullptr, "host:0", "wayland-0", runtime, nullptr}, "x11@host:0 wayland@wayland-0 ", false},
        // A console with no display server: the display card the user may open.
        {{nullptr, nullptr, nullptr, nullptr, card}, "kmsdrm@/dev/dri/card0 ", false},
        {{nullptr, "", "", runtime, card}, "kmsdrm@/dev/dri/card0 ", false},
    };
    for (const Case& c : cases) {
        std::string skipped, tried;
        for (const platform::VideoDriverTry& t : platform::videoDriversToTry(c.environment, skipped)) {
            tried += t.drivers + "@" + t.display + " ";
            EXPECT_FALSE(t.serverListens) << t.display;  // no server holds these
        }
        EXPECT_EQ(tried, c.tried);
        EXPECT_EQ(!skipped.empty(), c.skipped) << tried << skipped;
    }
}
