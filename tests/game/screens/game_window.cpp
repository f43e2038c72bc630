#include "game_window.h"

#include <unistd.h>

#include "engine_harness.h"
#include "game/screens/game_main.h"
#include "game/screens/project_settings.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/engine/display_settings.h"
#include "runtime/services/isaac.h"
#include "runtime/services/process_strings.h"

namespace screenstest {

namespace {
// The engine options that the program's settings hook gives; the display
// settings stay as they were, for the harness to give back after the case.
testsupport::EngineOptions programEngineOptions() {
    const DisplaySettings before = displaySettings;
    ApplyProjectSettings();
    testsupport::EngineOptions options;
    options.width = displaySettings.width;
    options.height = displaySettings.height;
    options.frameRate = displaySettings.frameRate;
    options.fullScreen = displaySettings.fullScreen;
    options.debug = displaySettings.debug;
    options.mouseHidden = displaySettings.mouseHidden;
    options.projectName = projectNameString().data;  // copied by the start
    displaySettings = before;
    return options;
}
}  // namespace

bool startGameEngine(const std::string& folder) {
    if (!testsupport::startTestEngine(folder, programEngineOptions())) return false;
    if (::chdir(folder.c_str()) != 0) return false;
    SeedRandom(kSeed);
    return true;
}

void makeFlatSprite(int32_t sprite, int32_t width, int32_t height, uint32_t colour) {
    RtArray<int> pixels;
    pixels.dim(width * height);
    for (int32_t i = 0; i < width * height; ++i) pixels.at(i) = static_cast<int>(colour);
    ASSERT_TRUE(PixelsToSprite(pixels, sprite, width, height)) << sprite;
}

void GameWindow::SetUp() {
    linkRealMedia();
    ASSERT_TRUE(startGameEngine(dir.path()));
    PrepareGame();
    SetFrameLimit(0, 0);  // unpaced: the frames run as fast as they draw
}

uint32_t GameWindow::px(int32_t x, int32_t y) { return testsupport::readFramePixel(x, y); }

}  // namespace screenstest
