// The picture tour: the real program with the desktop device layer, keys and
// the mouse put into the window system's queue by a fixed script, and a
// screenshot of every screen on the way: the splash, the title menu, the
// options with margins, the credits, NEW GAME with the level card and the
// first level's story, the quit box, CONTINUE into a dark level, the ending
// page, and the level editor (palette, painting, a fish, the menu words,
// INC LEVEL, TEST and back). For people to look at; no test runs it.
//
//   tour_run.sh <tour program> <the build's Media folder> <output folder>
//   tour_run.sh ... <output folder> <level> <level>...   (the levels mode)
//   tour_run.sh ... <output folder> play <level>...      (solutions played)
//
// The script moves on at each frame end. The frame clock is asked for its
// rate once per shown frame, just before the picture goes to the screen, so a
// clock that watches that question sees every frame complete, the level card
// and the editor included (they ask the device for nothing).
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "game/bridge/desktop_device.h"
#include "game/bridge/scripted_device.h"
#include "game/screens/game_helpers.h"
#include "game/screens/level_editor.h"
#include "game/screens/project_settings.h"
#include "game/screens/screen_dispatcher.h"
#include "game/world/game_state.h"
#include "platform/clock.h"
#include "platform/event_pump.h"
#include "platform/key_codes.h"
#include "runtime/services/isaac.h"
#include "runtime/services/runtime_error.h"
#include "shell/program_entry.h"

namespace {

std::string outFolder = ".";
constexpr int32_t kSolutionSeed = 20240607;  // the seed every solution was found with
constexpr int32_t kLastLevelNumber = 30;

void pushKey(uint8_t key, bool down) {
    platform::Event e;
    e.kind = down ? platform::EventKind::KeyDown : platform::EventKind::KeyUp;
    e.scanCode = key;
    platform::pushEvent(e);
}

int32_t mouseX = 0, mouseY = 0;
int32_t startH = 0, startV = 0;  // the margins as the options screen found them

void pushMouse(int32_t x, int32_t y) {
    mouseX = x;
    mouseY = y;
    platform::Event e;
    e.kind = platform::EventKind::MouseMotion;
    e.x = x;
    e.y = y;
    platform::pushEvent(e);
}

void pushButton(int32_t button, bool down) {
    platform::Event e;
    e.kind = down ? platform::EventKind::MouseButtonDown : platform::EventKind::MouseButtonUp;
    e.button = button;
    e.x = mouseX;
    e.y = mouseY;
    platform::pushEvent(e);
}

// One step of the script: runs at a frame end and says whether the script
// may go on to the next step in the same frame.
using Step = std::function<bool(int64_t framesInStep)>;
std::vector<Step> script;
size_t stepIndex = 0;
int64_t stepStart = 0;
int64_t frameCount = 0;
int64_t updatesSeen = 0;
int64_t updatesAtMark = 0;  // updatesSeen when the current screen was noticed

void add(Step s) { script.push_back(std::move(s)); }
void frames(int64_t n) {
    add([n](int64_t t) { return t >= n; });
}
void waitFor(std::function<bool()> condition) {
    add([condition](int64_t) { return condition(); });
}
void act(std::function<void()> action) {
    add([action](int64_t) {
        action();
        return true;
    });
}
Step shotStep(const std::string& name) {
    return [name](int64_t) {
        const std::string path = outFolder + "/" + name + ".png";
        SaveScreenshot(RtString(path.c_str()));
        std::printf("tour: frame %lld %s\n", static_cast<long long>(frameCount), path.c_str());
        return true;
    };
}
void shot(const std::string& name) { add(shotStep(name)); }
void tap(uint8_t key) {
    act([key] { pushKey(key, true); });
    frames(3);
    act([key] { pushKey(key, false); });
    frames(2);
}
void holdFor(uint8_t key, int64_t n) {
    act([key] { pushKey(key, true); });
    frames(n);
    act([key] { pushKey(key, false); });
    frames(3);
}
void hold(uint8_t key, std::function<bool()> until) {
    act([key] { pushKey(key, true); });
    waitFor(until);
    act([key] { pushKey(key, false); });
    frames(3);
}
void screen(GameScreen s) {
    waitFor([s] { return runningScreen() == s; });
    act([] { updatesAtMark = updatesSeen; });
}
// The game's own frames have begun (the level card asks for no "Update").
void gameFramesBegun() {
    waitFor([] { return updatesSeen > updatesAtMark; });
}
// The editor's cell (column, row) in window pixels: 32 a cell.
void mouseToCell(int32_t column, int32_t row) {
    act([column, row] { pushMouse(column * kEditorCellPixels + 12, row * kEditorCellPixels + 12); });
    frames(3);
}
void clickCell(int32_t column, int32_t row) {
    mouseToCell(column, row);
    act([] { pushButton(platform::MouseLeft, true); });
    frames(3);
    act([] { pushButton(platform::MouseLeft, false); });
    frames(3);
}

void frameShown() {
    ++frameCount;
    while (stepIndex < script.size()) {
        if (!script[stepIndex](frameCount - stepStart)) return;
        ++stepIndex;
        stepStart = frameCount;
    }
}

// The real clock, with each frame end's question for the rate noticed.
class FrameWatch : public platform::ClockPort {
public:
    explicit FrameWatch(platform::ClockPort& real) : real_(real) {}
    bool counterFrequency(int64_t* perSecond) override {
        const bool ok = real_.counterFrequency(perSecond);
        if (started_) frameShown();
        return ok;
    }
    int64_t counter() override { return real_.counter(); }
    uint32_t tickMillis() override { return real_.tickMillis(); }
    void sleepMillis(uint32_t ms) override { real_.sleepMillis(ms); }
    bool started_ = false;

private:
    platform::ClockPort& real_;
};

FrameWatch* watch = nullptr;

// The desktop device, except that while a level's solution is loaded the
// controller state comes from it, frame by frame.
class TourDevice : public DeviceTransport {
public:
    RtString answer(const RtString& request) override {
        if (request.equals("JoyUpdateKeys")) {
            ++updatesSeen;
            watch->started_ = true;
            if (runningScreen() == GameScreen::Game && solution.framesLeft() > 0) return solution.answer(request);
        }
        return desktop_.answer(request);
    }
    ScriptedDevice solution;

private:
    DesktopDevice desktop_;
};
TourDevice* device = nullptr;

// The solutions seed the random generator as the game starts; so does the
// tour while a solution waits.
bool seedOnGame = false;
void screenStarted(GameScreen s) {
    if (s == GameScreen::Game && seedOnGame) {
        SeedRandom(kSolutionSeed);
        seedOnGame = false;
    }
}

std::string readText(const std::string& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

void buildScript() {
    using namespace keys;
    // The splash, then the title menu once its cool-down has run out.
    frames(60);
    shot("01_splash");
    holdFor(F9, 5);
    act([] { pushKey(F9, true); });
    frames(3);
    shot("01_splash_b9");
    act([] { pushKey(F9, false); });
    frames(3);
    tap(Space);
    screen(GameScreen::Title);
    frames(45);
    shot("02_title");
    waitFor([] { return SHARK_X <= 100; });
    shot("02_title_shark_left");
    waitFor([] { return TITLE_SHARK_DIR == 1 && SHARK_X >= 20; });
    shot("02_title_shark_right");
    tap(Down);
    frames(22);
    tap(Down);
    waitFor([] { return PLAYER_Y == 115; });
    frames(22);
    shot("03_title_on_options");
    tap(Enter);
    // Options: both margins ten pixels wider, the volume up one step; then
    // the margins as they were.
    screen(GameScreen::Options);
    act([] {
        startH = OVERSCAN_H;
        startV = OVERSCAN_V;
    });
    frames(45);
    shot("04_options");
    hold(Left, [] { return OVERSCAN_H >= startH + 10 || OVERSCAN_H == 50; });
    tap(Down);
    frames(22);
    hold(Left, [] { return OVERSCAN_V >= startV + 10 || OVERSCAN_V == 50; });
    tap(Down);
    frames(22);
    tap(Right);
    frames(10);
    shot("05_options_margins");
    tap(Up);
    frames(22);
    hold(Right, [] { return OVERSCAN_V <= startV; });
    tap(Up);
    frames(22);
    hold(Right, [] { return OVERSCAN_H <= startH; });
    for (int i = 0; i < 3; ++i) {
        tap(Down);
        frames(22);
    }
    waitFor([] { return PLAYER_Y == 105; });
    tap(Enter);
    screen(GameScreen::Title);
    // The credits, and back.
    frames(45);
    tap(C);
    frames(40);
    shot("06_credits");
    tap(Escape);
    frames(30);
    // NEW GAME: the level card, then the first level's story.
    tap(Enter);
    screen(GameScreen::Game);
    frames(50);
    shot("07_card_level0");
    gameFramesBegun();
    const int64_t storyShots[] = {30, 120, 240, 360, 480, 600, 720};
    int64_t last = 0;
    for (int64_t at : storyShots) {
        frames(at - last);
        last = at;
        shot("08_level0_story_" + std::to_string(at));
    }
    holdFor(Right, 40);
    holdFor(Down, 40);
    shot("09_level0_play");
    // The quit box, then leave to the title menu.
    tap(Escape);
    frames(20);
    shot("10_quit_box");
    frames(20);
    tap(Enter);
    screen(GameScreen::Title);
    // CONTINUE into the level kept in the progress file: a dark one.
    frames(45);
    tap(Down);
    frames(22);
    tap(Enter);
    screen(GameScreen::Game);
    frames(50);
    shot("11_card_dark_level");
    frames(120);
    shot("12_dark_level");
    holdFor(Right, 60);
    shot("13_dark_level_moved");
    // The ending page: the game counts as won.
    act([] { GAME_WON = 1; });
    screen(GameScreen::Ending);
    frames(60);
    shot("14_ending_60");
    frames(200);
    shot("15_ending_260");
    screen(GameScreen::Title);
    // F2: the editor at the current level.
    frames(45);
    tap(F2);
    screen(GameScreen::Editor);
    frames(30);
    shot("16_editor");
    clickCell(6, 11);  // tile 21
    mouseToCell(3, 6);
    act([] { pushButton(platform::MouseLeft, true); });
    frames(3);
    for (int32_t column = 4; column <= 8; ++column) mouseToCell(column, 6);
    act([] { pushButton(platform::MouseLeft, false); });
    frames(3);
    clickCell(5, 12);  // a fish, heading up
    frames(12);
    clickCell(10, 3);
    mouseToCell(9, 13);  // the word of "SAVE LEVEL"
    frames(5);
    shot("17_editor_painted_fish_menu_word");
    mouseToCell(5, 3);
    frames(5);
    shot("18_editor_cursor_on_map");
    frames(20);
    clickCell(MenuNextLevel, 13);
    frames(20);
    shot("19_editor_next_level");
    clickCell(MenuPreviousLevel, 13);
    frames(20);
    // TEST: the edited level plays, the quit box leads back to the editor.
    clickCell(MenuTest, 13);
    screen(GameScreen::Game);
    gameFramesBegun();
    waitFor([] { return STEP_COOLDOWN == 0; });
    frames(30);
    shot("20_test_run");
    tap(Escape);
    frames(20);
    tap(Enter);
    screen(GameScreen::Editor);
    frames(30);
    shot("21_editor_after_test");
    tap(Escape);
    screen(GameScreen::Title);
    frames(45);
    for (int i = 0; i < 3; ++i) {
        tap(Down);
        frames(22);
    }
    shot("22_title_on_exit");
    tap(Enter);
    act([] { std::printf("tour: the script ran to its end\n"); });
}

}  // namespace

// The levels mode: for each level, CONTINUE into it through the progress
// file, pictures of its card and its first seconds of play, and back to the
// title menu through the quit box.
void buildLevelsScript(const std::vector<int32_t>& levels) {
    using namespace keys;
    frames(45);
    tap(Space);
    screen(GameScreen::Title);
    for (int32_t level : levels) {
        const std::string name = "level" + std::to_string(level);
        act([level] {
            if (FILE* f = std::fopen(CONFIG_FILE.data, "wb")) {
                std::fprintf(f, "%d\r\n%d\r\n%d\r\n0.5\r\n", level, OVERSCAN_H, OVERSCAN_V);
                std::fclose(f);
            }
        });
        frames(45);
        tap(Down);
        frames(22);
        tap(Enter);
        screen(GameScreen::Game);
        frames(60);
        shot(name + "_a_card");
        gameFramesBegun();
        frames(60);
        shot(name + "_b_start");
        holdFor(Right, 50);
        holdFor(Down, 30);
        holdFor(Left, 30);
        frames(60);
        shot(name + "_c_moved");
        waitFor([] { return STEP_COOLDOWN == 0; });
        tap(Escape);
        frames(20);
        tap(Enter);
        screen(GameScreen::Title);
    }
    frames(45);
    tap(Escape);
}

// The play mode: each level played from CONTINUE by its solution, with
// pictures every few seconds; the first level's story and the last level's
// scenes, and after the last level the ending page.
void buildPlayScript(const std::string& solutions, const std::vector<int32_t>& levels) {
    using namespace keys;
    frames(45);
    tap(Space);
    screen(GameScreen::Title);
    for (int32_t level : levels) {
        const std::string name = "play" + std::to_string(level);
        char file[32];
        std::snprintf(file, sizeof file, "/level_%02d.txt", level);
        const std::string script = readText(solutions + file);
        act([level, script] {
            if (FILE* f = std::fopen(CONFIG_FILE.data, "wb")) {
                std::fprintf(f, "%d\r\n%d\r\n%d\r\n0.5\r\n", level, OVERSCAN_H, OVERSCAN_V);
                std::fclose(f);
            }
            if (!device->solution.loadScript(script)) std::printf("tour: no solution for level %d\n", level);
            seedOnGame = true;
        });
        frames(45);
        tap(Down);
        frames(22);
        tap(Enter);
        screen(GameScreen::Game);
        gameFramesBegun();
        for (int k = 1; k < 60; ++k) {
            add([](int64_t t) { return t >= 240 || device->solution.framesLeft() == 0; });
            act([name, k] {
                if (device->solution.framesLeft() > 0) shotStep(name + "_" + std::to_string(k * 240))(0);
            });
        }
        frames(2);
        shot(name + "_solved");
        frames(40);
        shot(name + "_after");
        if (level == kLastLevelNumber) {
            screen(GameScreen::Ending);
            frames(200);
            shot(name + "_ending");
            screen(GameScreen::Title);
            continue;
        }
        act([] { updatesAtMark = updatesSeen; });
        gameFramesBegun();
        waitFor([] { return STEP_COOLDOWN == 0; });
        tap(Escape);
        frames(20);
        tap(Enter);
        screen(GameScreen::Title);
    }
    frames(45);
    tap(Escape);
}

int main(int argc, char** argv) {
    if (argc > 1) outFolder = argv[1];
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    static FrameWatch clock(platform::clockPort());
    watch = &clock;
    platform::setClockPort(&clock);
    const bool play = argc > 2 && std::string(argv[2]) == "play";
    if (play) {
        std::vector<int32_t> levels;
        for (int i = 4; i < argc; ++i) levels.push_back(std::atoi(argv[i]));
        buildPlayScript(argc > 3 ? argv[3] : ".", levels);
    } else if (argc > 2) {
        std::vector<int32_t> levels;
        for (int i = 2; i < argc; ++i) levels.push_back(std::atoi(argv[i]));
        buildLevelsScript(levels);
    } else {
        buildScript();
    }
    static TourDevice tourDevice;
    device = &tourDevice;
    setDeviceTransport(device);
    setScreenObserver(screenStarted);
    char* args[] = {argv[0], nullptr};
    runProgram(1, args, shoalrunnerProjectHooks);
}
