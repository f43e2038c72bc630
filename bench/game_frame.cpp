// In-game frame benchmark: starts the engine headless (offscreen window on
// software OpenGL unless a video driver is named), loads the game's images
// from the build's Media folder, and runs the in-game frame unpaced on a
// busy level with the diver walking to and fro, then on the same level made
// dark by an angler. Reports frames per second over the whole frame (update,
// draw, present) and the share the game needs at 60 per second.
// It brings its own program hooks, as the smallest programs on the runtime do.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/bridge/device_transport.h"
#include "game/bridge/scripted_device.h"
#include "game/world/game_sprites.h"
#include "game/world/game_state.h"
#include "game/world/level_file.h"
#include "game/world/run_game.h"
#include "game/world/water_background.h"
#include "game/world/world_host.h"
#include "gfx2d/gfx2d_commands.h"
#include "platform/clock.h"
#include "runtime/services/isaac.h"
#include "runtime/services/process_strings.h"
#include "runtime/services/runtime_error.h"
#include "shell/display_settings.h"
#include "shell/engine_startup.h"
#include "shell/frame_end.h"
#include "shell/orderly_end.h"
#include "shell/project_hooks.h"

double ApplyProjectSettings() {
    displaySettings = DisplaySettings{0, 1, 60, 0, 0, 480, 640};
    projectNameString() = RtString("Game_Frame");
    return 0.0;
}
double GameMain() { return 0.0; }
RtString GetBuildDateTime() { return RtString(__DATE__ "-" __TIME__); }
RtString GetProjectId() { return RtString("00000000"); }
RtString GetProjectVersion() { return RtString("000.001"); }
void EmptyProjectHook() {}

namespace {

constexpr int kWarmUpFrames = 120;
constexpr int kFrames = 3000;

// Fifteen by ten cells: every family of the game, two bubble vents, weeds,
// and a gem walled in so that the level never completes. The diver walks
// along the top row.
const char* const kBusyLevel[] = {
    "###############",
    "#P.....S......#",
    "#.##.#...#.##.#",
    "#..O...Q...f..#",
    "#.WW..B..F..W.#",
    "#..C..###..c..#",
    "#.#####.#####.#",
    "#..K..s....X..#",
    "#V...Y..M...V.#",
    "#####G#########",
};

int32_t codeOf(char c) {
    switch (c) {
        case '#': return 1;
        case 'W': return 7;
        case 'P': return 32;
        case 'G': return 33;
        case 'S': return 34;
        case 'F': return 35;
        case 'O': return 36;
        case 'Q': return 37;
        case 'f': return 38;
        case 'B': return 39;
        case 'V': return 40;
        case 'C': return 41;
        case 'c': return 42;
        case 'M': return 43;
        case 's': return 44;
        case 'X': return 45;
        case 'Y': return 46;
        case 'K': return 47;
        case 'A': return 48;
        default: return 0;
    }
}

void put16(std::string& out, int32_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

// "Data/shol<level>.dat" in the working directory; `dark` puts an angler in.
void writeBusyLevel(int32_t level, bool dark) {
    std::string bytes;
    put16(bytes, 14);
    put16(bytes, 9);
    int32_t params[10] = {};
    int fish = 0;
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 15; ++x) {
            char c = kBusyLevel[y][x];
            if (dark && x == 10 && y == 7) c = 'A';
            if ((c == 'F' || c == 'f') && fish < 10) params[fish++] = x + 15 * y;
            bytes.push_back(static_cast<char>(codeOf(c)));
        }
    }
    for (int32_t p : params) put16(bytes, p);
    ::mkdir("Data", 0755);
    const std::string name = "Data/shol" + std::to_string(level) + ".dat";
    if (FILE* f = std::fopen(name.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

int32_t liveRecords() {
    return PLAYERS.d1 + STARFISH.d1 + CRABS.d1 + FISH.d1 + ANGLERS.d1 + OCTOPUSES.d1 + SPONGES.d1 + BOULDERS.d1 +
           BOMBS.d1 + MINES.d1 + BLASTS.d1 + GEMS.d1 + PEARLS.d1 + OYSTERS.d1 + WEEDS.d1 + BUBBLE_VENTS.d1 +
           BUBBLES.d1 + POPS.d1 + SPARKLES.d1 + EXPLOSIONS.d1;
}

void measure(const char* label, int32_t level, bool dark) {
    writeBusyLevel(level, dark);
    LEVEL = level;
    PLAY_MODE = 1;
    STEP_COOLDOWN = 0;
    PLAYER_CONTROL = 1;
    LoadLevel(level);
    GameLoop loop;
    platform::ClockPort& clock = platform::clockPort();
    int64_t frequency = 1;
    clock.counterFrequency(&frequency);
    int64_t start = 0;
    int64_t records = 0;
    for (int i = 0; i < kWarmUpFrames + kFrames; ++i) {
        if (i == kWarmUpFrames) start = clock.counter();
        RunGameFrame(loop);
        EndFrame();
        refreshControllerState();
        if (i >= kWarmUpFrames) records += liveRecords();
    }
    const double seconds = static_cast<double>(clock.counter() - start) / static_cast<double>(frequency);
    const double fps = kFrames / seconds;
    std::printf("%-12s frames %d  %.3f ms per frame  %.1f frames per second  (%.1f x the 60 needed)  "
                "records %.1f on average\n",
                label, kFrames, 1000.0 * seconds / kFrames, fps, fps / 60.0,
                static_cast<double>(records) / kFrames);
}

}  // namespace

int main() {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ApplyProjectSettings();
    if (!startEngine(projectNameString())) return 1;
    SetFrameLimit(0, 0);  // unpaced

    // The images: the media resolver moves into the Media folder of the
    // working directory on its first call.
    const std::string media = VANTRIC_MEDIA_DIR;
    const std::string mediaParent = media.substr(0, media.rfind('/'));
    if (::chdir(mediaParent.c_str()) != 0) std::printf("no media folder at %s\n", media.c_str());
    LoadGameImages();
    if (RtErrorCode != 0) std::printf("some images are missing from %s; they draw nothing\n", media.c_str());
    clearErrorCode();

    char folder[] = "/tmp/game_frame.XXXXXX";
    if (::mkdtemp(folder) == nullptr || ::chdir(folder) != 0) return 1;

    FillWaveTables();
    DimensionLevelGrids();
    CreateScreen(kScreenPlay, kSpritePlaySurface, kPlayWidth, kPlayHeight);
    CreateScreen(kScreenMapPicture, kSpriteMapPicture, 320, 320);
    CreateScreen(kScreenDarkness, kSpriteDarkness, kPlayWidth, kPlayHeight);
    GetScreenSizeInt(SCREEN_W, SCREEN_H);
    SOUND_VOLUME = 0.5;
    SeedRandom(1);

    // The diver walks right and left along the top row.
    ScriptedDevice device;
    for (int i = 0; i < 2 * (kWarmUpFrames + kFrames) / 240 + 2; ++i) {
        device.addFrames(120, "Right=1000");
        device.addFrames(120, "Left=1000");
    }
    setDeviceTransport(&device);

    std::printf("in-game frame, unpaced, %dx%d window (update, draw and present)\n", SCREEN_W, SCREEN_H);
    measure("busy level", 1, false);
    measure("dark level", 2, true);
    std::fflush(stdout);
    std::remove("Data/shol1.dat");
    std::remove("Data/shol2.dat");
    ::rmdir("Data");
    ::chdir("/");
    ::rmdir(folder);
    setDeviceTransport(nullptr);
    setRuntimeError(0);
    terminateProgramAndExit();
}
