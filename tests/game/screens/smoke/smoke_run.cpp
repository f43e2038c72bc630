// The smoke run: the real program, with the desktop device layer answering
// the game's requests and keys pressed through the window system's queue at
// fixed frames: Space leaves the splash, Enter takes "NEW GAME", the arrows
// are held in the first level for a few seconds; then the picture of the
// last frame is saved (argument 1) and the program ends in order.
// A build without the level set gets a small level 0 of its own.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "game/bridge/desktop_device.h"
#include "game/screens/game_helpers.h"
#include "game/screens/project_settings.h"
#include "game/world/game_sprites.h"
#include "game/world/play_surface.h"
#include "gfx2d/gfx2d_commands.h"
#include "platform/event_pump.h"
#include "platform/key_codes.h"
#include "runtime/services/runtime_error.h"
#include "shell/program_entry.h"

namespace {

struct KeyAt {
    int64_t frame;  // the "Update" after which the key changes
    uint8_t key;
    bool down;
};

// The title menu takes input from its 41st frame; the card is 100 frames
// without "Update"; level 0 opens with its story before the diver moves.
constexpr KeyAt kKeys[] = {
    {45, keys::Space, true},   {48, keys::Space, false}, {110, keys::Enter, true}, {113, keys::Enter, false},
    {160, keys::Right, true},  {220, keys::Right, false}, {221, keys::Down, true}, {280, keys::Down, false},
    {281, keys::Left, true},   {340, keys::Left, false},
};
constexpr int64_t kLastFrame = 360;

void press(uint8_t key, bool down) {
    platform::Event e;
    e.kind = down ? platform::EventKind::KeyDown : platform::EventKind::KeyUp;
    e.scanCode = key;
    if (!platform::pushEvent(e)) std::fprintf(stderr, "smoke: key not queued\n");
}

class SmokePilot : public DeviceTransport {
public:
    explicit SmokePilot(std::string screenshot) : screenshot_(std::move(screenshot)) {}

    RtString answer(const RtString& request) override {
        if (request.equals("JoyUpdateKeys")) afterFrame(++frames_);
        return desktop_.answer(request);
    }

private:
    void afterFrame(int64_t frame) {
        for (const KeyAt& k : kKeys) {
            if (k.frame == frame) press(k.key, k.down);
        }
        if (frame < kLastFrame) return;
        // The frame just shown, drawn again from the play surface for the picture.
        SelectScreen(kScreenWindow);
        PresentPlaySurface();
        SaveScreenshot(RtString(screenshot_.c_str()));
        std::printf("smoke: %lld frames, screenshot %s\n", static_cast<long long>(frame), screenshot_.c_str());
        EndProgram();
    }

    DesktopDevice desktop_;
    std::string screenshot_;
    int64_t frames_ = 0;
};

// A walled 15 x 10 level with the diver, a few gems and a boulder.
void writeFallbackLevel(const std::string& folder) {
    const std::string data = folder + "/Media/Data";
    const std::string level = data + "/shol0.dat";
    struct stat st;
    if (::stat(level.c_str(), &st) == 0) return;
    ::mkdir(data.c_str(), 0755);
    std::string bytes = {14, 0, 9, 0};
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 15; ++x) {
            char code = (x == 0 || y == 0 || x == 14 || y == 9) ? 1 : 0;
            if (y == 7 && x > 3 && x < 11) code = 18;
            if ((x == 8 && y == 3) || (x == 11 && y == 6) || (x == 3 && y == 8)) code = 33;
            if (x == 2 && y == 2) code = 32;
            if (x == 9 && y == 2) code = 39;
            bytes.push_back(code);
        }
    }
    bytes.append(20, '\0');
    if (FILE* f = std::fopen(level.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

std::string executableFolder() {
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return ".";
    std::string text(path, static_cast<size_t>(n));
    return text.substr(0, text.rfind('/'));
}

}  // namespace

int main(int argc, char** argv) {
    const std::string screenshot = argc > 1 ? argv[1] : "smoke-screenshot.png";
    writeFallbackLevel(executableFolder());
    static SmokePilot pilot(screenshot);
    setDeviceTransport(&pilot);
    runProgram(argc, argv, shoalrunnerProjectHooks);
}
