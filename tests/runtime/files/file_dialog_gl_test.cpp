// The file dialog on a running engine: the window leaves full screen while
// the dialog is open, and afterwards the display, the input object's level,
// cursor and window, and the frame pacing are set up again.
#include <gtest/gtest.h>

#include <chrono>

#include "engine_harness.h"
#include "gfx2d/opengl_rainbows.h"
#include "input/input_state.h"
#include "platform/file_dialog.h"
#include "runtime/engine/display_settings.h"
#include "runtime/engine/engine_state.h"
#include "runtime/files/file_dialog.h"
#include "runtime/services/process_strings.h"
#include "shell/engine_startup.h"
#include "temp_dir.h"

using platform::FileDialogAnswer;
using platform::FileDialogOutcome;

namespace {

int fullScreenDuringDialog = -1;

FileDialogAnswer answerWhileWatching(const platform::FileDialogRequest&) {
    fullScreenDuringDialog = engine.graphics2D ? engine.graphics2D->fullScreen : -1;
    return {FileDialogOutcome::Chosen, "/chosen/level.dat"};
}

// The engine on its offscreen window, 640 x 480, windowed, 60 frames per
// second, with its error log in the test's folder.
bool startEngineIn(const std::string& folder) {
    testsupport::EngineOptions options;
    options.projectName = "DialogTest";
    return testsupport::startTestEngine(folder, options);
}

struct ScriptedDialog {
    ScriptedDialog() { platform::setFileDialogBackend(answerWhileWatching); }
    ~ScriptedDialog() { platform::setFileDialogBackend(nullptr); }
};

}  // namespace

TEST(DialogOnTheEngine, AWindowedDialogLeavesTheInputAlone) {
    testsupport::TempDir folder;
    ASSERT_TRUE(startEngineIn(folder.path()));
    ScriptedDialog dialog;
    InputState* input = engine.input;
    ASSERT_NE(nullptr, input);
    input->cooperativeLevel = 99;
    EXPECT_STREQ("/chosen/level.dat", OpenFileDialog(1, "Levels|*.dat").data);
    EXPECT_EQ(0, fullScreenDuringDialog);
    EXPECT_EQ(0, displaySettings.fullScreen);
    EXPECT_EQ(99, input->cooperativeLevel);
    EXPECT_EQ(0, engine.graphics2D->fullScreen);
}

TEST(DialogOnTheEngine, AFullScreenDialogSetsTheDisplayAndDevicesUpAgain) {
    testsupport::TempDir folder;
    ASSERT_TRUE(startEngineIn(folder.path()));
    ScriptedDialog dialog;
    displaySettings.fullScreen = 7;
    InputState* input = engine.input;
    ASSERT_NE(nullptr, input);
    input->mouseMode = 1;
    input->cooperativeLevel = InputState::kLevelExclusive;
    input->deviceWindow = nullptr;
    auto start = std::chrono::steady_clock::now();
    EXPECT_STREQ("/chosen/level.dat", OpenFileDialog(0, "").data);
    auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(0, fullScreenDuringDialog);
    EXPECT_EQ(1, displaySettings.fullScreen);
    EXPECT_EQ(InputState::kLevelShared, input->cooperativeLevel);
    EXPECT_EQ(engine.graphics2D->window, input->deviceWindow);
    // Five paced frames at 60 per second take at least four frame times.
    EXPECT_GE(elapsed, std::chrono::milliseconds(60));
}
