// In-game frame benchmark: starts the engine headless (offscreen window on
// software OpenGL unless a video driver is named), loads the game's images
// from the build's Media folder, and runs the in-game frame unpaced on a
// busy level with the diver walking to and fro, then on the same level made
// dark by an angler. Reports frames per second over the whole frame (update,
// draw, present) and the share the game needs at 60 per second.
// The level goes through the level tools' text form and file writer, so that
// it reads as the game's own levels do (rock outlined by its neighbours).
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>
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
#include "runtime/services/runtime_error.h"
#include "shell/frame_end.h"
#include "support/bench_program.h"

// The level tools (tools/levels).
#include "level_data.h"
#include "level_text.h"

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

constexpr int kAnglerX = 10, kAnglerY = 7;  // the dark level's angler, beside the bomb

// The level's text (glyphs as in levels/); `dark` puts an angler in.
std::string busyLevelText(bool dark) {
    std::string text = "size 15 10\n";
    for (int y = 0; y < static_cast<int>(std::size(kBusyLevel)); ++y) {
        std::string row = kBusyLevel[y];
        if (dark && y == kAnglerY) row[kAnglerX] = 'A';
        text += row + "\n";
    }
    return text;
}

// "Data/shol<level>.dat" in the working directory.
std::string busyLevelPath(int32_t level) { return "Data/" + levels::levelFileName(level); }

// The level file; `dark` puts an angler in.
bool writeBusyLevel(int32_t level, bool dark) {
    levels::LevelData data;
    std::vector<std::string> errors;
    if (!levels::parseLevelText(busyLevelText(dark), data, errors)) {
        for (const std::string& e : errors) std::fprintf(stderr, "busy level: %s\n", e.c_str());
        return false;
    }
    ::mkdir("Data", 0755);
    return levels::writeWholeFile(busyLevelPath(level), levels::encodeLevel(data));
}

int32_t liveRecords() {
    return PLAYERS.d1 + STARFISH.d1 + CRABS.d1 + FISH.d1 + ANGLERS.d1 + OCTOPUSES.d1 + SPONGES.d1 + BOULDERS.d1 +
           BOMBS.d1 + MINES.d1 + BLASTS.d1 + GEMS.d1 + PEARLS.d1 + OYSTERS.d1 + WEEDS.d1 + BUBBLE_VENTS.d1 +
           BUBBLES.d1 + POPS.d1 + SPARKLES.d1 + EXPLOSIONS.d1;
}

bool measure(const char* label, int32_t level, bool dark) {
    if (!writeBusyLevel(level, dark)) return false;
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
    return true;
}

}  // namespace

int main() {
    if (!bench::startHeadlessEngine("Game_Frame", 60)) return 1;
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
    const bool measured = measure("busy level", 1, false) && measure("dark level", 2, true);
    for (int32_t level : {1, 2}) std::remove(busyLevelPath(level).c_str());
    ::rmdir("Data");
    ::chdir("/");
    ::rmdir(folder);
    setDeviceTransport(nullptr);
    if (!measured) return 1;
    bench::endProgram();
}
