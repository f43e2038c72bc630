// The video drivers worth asking for a window, chosen from the environment
// before SDL is asked, as desktop toolkits pick their backend: the user's
// SDL_VIDEODRIVER alone when set; else x11 for DISPLAY and wayland for
// WAYLAND_DISPLAY; with neither, kmsdrm for a display card the user may
// open (a console without a display server). Left to itself SDL would try every driver it has, and a
// Wayland client library without a runtime folder writes a line to standard
// error for each try.
#pragma once
#include <string>
#include <vector>

namespace platform {

struct VideoEnvironment {
    const char* namedDrivers;    // SDL_VIDEODRIVER (a comma-separated list); null or empty: not named
    const char* xDisplay;        // DISPLAY
    const char* waylandDisplay;  // WAYLAND_DISPLAY
    const char* runtimeFolder;   // XDG_RUNTIME_DIR
    const char* displayCard;     // a display card node the user may open (displayCardOfUser), or null
};

struct VideoDriverTry {
    std::string drivers;  // what SDL is asked for: one driver, or the user's list
    std::string display;  // the display it connects to ("" when not known)
    bool named = false;   // the user's own list
    // A server listens at the display, so a refusal is passing (a server
    // resetting after its last client left) and the driver is asked again.
    bool serverListens = false;
};

// The tries in order; none when no display is named. Wayland is left out
// when its socket cannot be found (a relative WAYLAND_DISPLAY without a
// runtime folder), and the reason goes to `skipped`.
std::vector<VideoDriverTry> videoDriversToTry(const VideoEnvironment& environment, std::string& skipped);

// True when a local X display (":N", ":N.S", "unix:N") has a server taking
// connections on its socket (abstract or in /tmp/.X11-unix). False for a
// display over the network, whose server is not looked for.
bool localXServerListens(const char* display);

// The first display card node (/dev/dri/card0 to card15) the user may read
// and write, or null when there is none.
const char* displayCardOfUser();

}  // namespace platform
