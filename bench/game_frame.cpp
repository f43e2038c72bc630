// In-game frame benchmark: starts the engine headless (offscreen window on
// software OpenGL unless a video driver is named), loads the game's images
// from the build's Media folder, and runs the in-game frame unpaced on a
// busy level with the diver walking to and fro, then on the same level made
// dark by an angler; then every shipped level (Media/Data) the same way,
// and the title menu, the ending page and the level editor. Reports frames
// per second over the whole frame (update, draw, present), the share the
// game needs at 60 per second and the draw calls per frame, and names the
// slowest of all.
// The busy level goes through the level tools' text form and file writer, so
// that it reads as the game's own levels do (rock outlined by its neighbours).
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "game/bridge/device_transport.h"
#include "game/bridge/scripted_device.h"
#include "game/screens/level_editor.h"
#include "game/screens/screens.h"
#include "game/world/game_sprites.h"
#include "game/world/game_state.h"
#include "game/world/level_file.h"
#include "game/world/run_game.h"
#include "game/world/water_background.h"
#include "game/world/world_host.h"
#include "gfx2d/gfx2d_commands.h"
#include "gfx2d/opengl_rainbows.h"
#include "platform/clock.h"
#include "runtime/engine/engine_state.h"
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
constexpr int kShippedFrames = 600;
constexpr int kScreenFrames = 1000;
constexpr int kEndingFrames = 461;  // the procession's glide, fixed
constexpr int32_t kEditorLevel = 25;

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

double secondsNow() {
    platform::ClockPort& clock = platform::clockPort();
    int64_t frequency = 1;
    clock.counterFrequency(&frequency);
    return static_cast<double>(clock.counter()) / static_cast<double>(frequency);
}

// A moment of the run: the clock and the draw calls so far (or a span of both).
struct Stamp {
    double seconds;
    uint64_t drawCalls;
};
Stamp stampNow() { return {secondsNow(), engine.graphics2D ? engine.graphics2D->batch.drawCalls() : 0}; }
Stamp between(const Stamp& from, const Stamp& to) { return {to.seconds - from.seconds, to.drawCalls - from.drawCalls}; }

// The slowest frame of everything measured.
std::string slowestLabel;
double slowestMillis = 0.0;

// One line: the time and the draw calls per frame of `spent`.
void report(const std::string& label, int frames, const Stamp& spent, const std::string& note) {
    const double millis = 1000.0 * spent.seconds / frames;
    const double fps = frames / spent.seconds;
    std::printf("%-16s frames %4d  %.3f ms per frame  %7.1f frames per second  (%5.1f x the 60 needed)  "
                "%4.1f draw calls%s\n",
                label.c_str(), frames, millis, fps, fps / 60.0,
                static_cast<double>(spent.drawCalls) / frames, note.c_str());
    if (millis > slowestMillis) {
        slowestMillis = millis;
        slowestLabel = label;
    }
}

// Runs `frame(timed)` for the warm-up, then `frames` times timed; the time
// and the draw calls of the timed frames.
template <class Frame>
Stamp timeFrames(int frames, Frame&& frame) {
    for (int i = 0; i < kWarmUpFrames; ++i) frame(false);
    const Stamp start = stampNow();
    for (int i = 0; i < frames; ++i) frame(true);
    return between(start, stampNow());
}

// The in-game frame on the level whose file is in Data/, the diver steered
// by the script; `frames` timed after the warm-up.
void playLevel(const std::string& label, int32_t level, int frames) {
    LEVEL = level;
    PLAY_MODE = 1;
    STEP_COOLDOWN = 0;
    PLAYER_CONTROL = 1;
    LoadLevel(level);
    GameLoop loop;
    int64_t records = 0;
    const Stamp spent = timeFrames(frames, [&](bool timed) {
        RunGameFrame(loop);
        EndFrame();
        refreshControllerState();
        if (timed) records += liveRecords();
    });
    char note[64];
    std::snprintf(note, sizeof note, "  records %.1f on average", static_cast<double>(records) / frames);
    report(label, frames, spent, note);
}

// The shipped level file `level` of the build's Media folder, copied into Data/.
bool copyShippedLevel(const std::string& media, int32_t level) {
    std::string bytes;
    return levels::readWholeFile(media + "/" + busyLevelPath(level), bytes) && !bytes.empty() &&
           levels::writeWholeFile(busyLevelPath(level), bytes);
}

// The device of the screen runs: stamps the time and the draw calls so far
// at every frame's controller request.
class StampingDevice : public ScriptedDevice {
public:
    RtString answer(const RtString& request) override {
        if (request.equals("JoyUpdateKeys")) stamps.push_back(stampNow());
        return ScriptedDevice::answer(request);
    }
    std::vector<Stamp> stamps;
};

// The ending page (a fixed run of frames that asks for no controller state),
// then the title menu it leads to, held for `frames` frames and left by its
// "EXIT" ("b2").
void runEndingAndTitle(StampingDevice& device, int frames) {
    device.stamps.clear();
    device.addFrames(frames, "");
    device.addFrames(100, "b2=1");
    const Stamp start = stampNow();
    ShowEnding();
    if (static_cast<int>(device.stamps.size()) <= frames) {
        std::printf("the title menu left early\n");
        return;
    }
    // The first stamp ends the title's first frame.
    report("ending page", kEndingFrames + 1, between(start, device.stamps[0]), "  (its last frame the title's first)");
    report("title menu", frames, between(device.stamps[0], device.stamps[frames]), "");
}

// The level editor on the shipped level `level`, mouse untouched.
void runEditor(int32_t level, int frames) {
    LEVEL = level;
    EditorState e;
    StartLevelEditor(e);
    const Stamp spent = timeFrames(frames, [&](bool) {
        RunLevelEditorFrame(e);
        EndFrame();
    });
    report("level editor", frames, spent, "  (720x672 window)");
    LeaveLevelEditor();
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
    const std::string configFile = std::string(folder) + "/Shoalrunner.cfg";
    CONFIG_FILE = RtString(configFile.c_str());

    FillWaveTables();
    DimensionLevelGrids();
    CreateScreen(kScreenPlay, kSpritePlaySurface, kPlayWidth, kPlayHeight);
    CreateScreen(kScreenMapPicture, kSpriteMapPicture, 320, 320);
    CreateScreen(kScreenDarkness, kSpriteDarkness, kPlayWidth, kPlayHeight);
    GetScreenSizeInt(SCREEN_W, SCREEN_H);
    SOUND_VOLUME = 0.5;
    SeedRandom(1);

    // The diver walks right and left along the row he starts on.
    ScriptedDevice device;
    const int walkFrames = 2 * (kWarmUpFrames + kFrames) + levels::kLevelCount * (kWarmUpFrames + kShippedFrames);
    for (int i = 0; i < walkFrames / 240 + 2; ++i) {
        device.addFrames(120, "Right=1000");
        device.addFrames(120, "Left=1000");
    }
    setDeviceTransport(&device);

    std::printf("in-game frame, unpaced, %dx%d window (update, draw and present)\n", SCREEN_W, SCREEN_H);
    bool measured = writeBusyLevel(1, false) && writeBusyLevel(2, true);
    if (measured) {
        playLevel("busy level", 1, kFrames);
        playLevel("dark level", 2, kFrames);
    }
    for (int32_t level = 0; measured && level < levels::kLevelCount; ++level) {
        measured = copyShippedLevel(media, level);
        if (measured) playLevel("shipped level " + std::to_string(level), level, kShippedFrames);
    }
    if (measured) {
        StampingDevice screenDevice;  // without the walk's frames left over
        setDeviceTransport(&screenDevice);
        runEndingAndTitle(screenDevice, kScreenFrames);
        runEditor(kEditorLevel, kScreenFrames);
        std::printf("slowest: %s, %.3f ms per frame (%.1f frames per second)\n", slowestLabel.c_str(),
                    slowestMillis, 1000.0 / slowestMillis);
    }
    for (int32_t level = 0; level < levels::kLevelCount; ++level) std::remove(busyLevelPath(level).c_str());
    std::remove(configFile.c_str());
    ::rmdir("Data");
    ::chdir("/");
    ::rmdir(folder);
    setDeviceTransport(nullptr);
    if (!measured) return 1;
    bench::endProgram();
}
