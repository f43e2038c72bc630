// The file dialog: the command with a scripted backend (filters, the open
// flag, the working directory, "NO_FILE"), and the process backend with
// stand-in dialog programs on PATH.
#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "files_fixture.h"
#include "platform/file_dialog.h"
#include "runtime/engine/display_settings.h"
#include "runtime/files/file_dialog.h"
#include "runtime/files/file_dialog_hooks.h"

using platform::FileDialogAnswer;
using platform::FileDialogOutcome;
using platform::FileDialogRequest;

namespace {

// What the scripted backend saw and what it answers.
FileDialogRequest seen;
int calls = 0;
FileDialogAnswer scripted;
std::string wanderTo;  // where the backend moves the working directory

FileDialogAnswer scriptedBackend(const FileDialogRequest& request) {
    seen = request;
    ++calls;
    if (!wanderTo.empty() && chdir(wanderTo.c_str()) != 0) ADD_FAILURE() << "chdir";
    return scripted;
}

class Dialog : public filetest::FilesTest {
protected:
    Dialog() {
        platform::setFileDialogBackend(scriptedBackend);
        calls = 0;
        seen = {};
        scripted = {};
        wanderTo.clear();
    }
    ~Dialog() override { platform::setFileDialogBackend(nullptr); }

    std::string ask(int32_t open, const char* filter) {
        RtString r = OpenFileDialog(open, filter);
        return std::string(r.data, r.length);
    }
};

std::string cwd() {
    char buffer[2048];
    return getcwd(buffer, sizeof buffer) ? buffer : "";
}

}  // namespace

TEST_F(Dialog, FiltersBecomeDescriptionAndPatternPairs) {
    scripted = {FileDialogOutcome::Chosen, "/levels/shol3.dat"};
    EXPECT_EQ("/levels/shol3.dat", ask(1, "Levels|*.dat;*.lvl|All files|*.*"));
    EXPECT_TRUE(seen.open);
    ASSERT_EQ(2u, seen.filters.size());
    EXPECT_EQ("Levels", seen.filters[0].description);
    EXPECT_EQ("*.dat;*.lvl", seen.filters[0].patterns);
    EXPECT_EQ("All files", seen.filters[1].description);
    EXPECT_EQ("*.*", seen.filters[1].patterns);
    EXPECT_EQ(cwd(), seen.initialDirectory);

    ask(0, "A|*.a||B|*.b");  // an empty part ends the list
    EXPECT_FALSE(seen.open);
    ASSERT_EQ(1u, seen.filters.size());
    ask(1, "A|*.a|B");  // a description without its pattern is dropped
    ASSERT_EQ(1u, seen.filters.size());
    ask(1, "");
    EXPECT_TRUE(seen.filters.empty());
}

TEST_F(Dialog, AnOverlongFilterIsCutToItsBuffer) {
    std::string filter = "D|" + std::string(1500, 'p');
    ask(1, filter.c_str());
    ASSERT_EQ(1u, seen.filters.size());
    EXPECT_EQ(1020u, seen.filters[0].patterns.size());  // 1,022 characters in all
}

TEST_F(Dialog, TheWorkingDirectoryIsRestoredWhateverTheDialogDid) {
    std::string before = cwd();
    wanderTo = tmp_;
    scripted = {FileDialogOutcome::Cancelled, ""};
    EXPECT_EQ("NO_FILE", ask(1, "All|*.*"));
    EXPECT_EQ(before, cwd());
    scripted = {FileDialogOutcome::Chosen, "C:\\games\\save.dat"};
    EXPECT_EQ("C:/games/save.dat", ask(0, ""));
    EXPECT_EQ(before, cwd());
}

TEST_F(Dialog, EmptyOverlongAndUnavailableAnswersReadNoFile) {
    scripted = {FileDialogOutcome::Chosen, ""};
    EXPECT_EQ("NO_FILE", ask(1, ""));
    scripted = {FileDialogOutcome::Chosen, "/" + std::string(1023, 'n')};
    EXPECT_EQ("NO_FILE", ask(1, ""));
    scripted = {FileDialogOutcome::Chosen, "/" + std::string(1022, 'n')};
    EXPECT_EQ(1023u, ask(1, "").size());
    scripted = {FileDialogOutcome::Unavailable, ""};
    EXPECT_EQ("NO_FILE", ask(1, ""));
    EXPECT_EQ("NO_FILE", ask(1, ""));
    std::string log = testsupport::readFileBytes(tmp_ + "/ErrorLog.txt");
    EXPECT_EQ("File dialog: no zenity or kdialog to show it, or no display; it answers NO_FILE\n", log);
    EXPECT_EQ(0, RtErrorCode);
}

namespace {

// Each hook writes its step; the window it hands out is kWindow.
std::string steps;
const void* const kWindow = &steps;

const FileDialogHooks kRecordingHooks = {
    [] { steps += "leave "; },
    [] { steps += "windowed "; },
    [](int32_t width, int32_t height) { steps += "full " + std::to_string(width) + "x" + std::to_string(height) + " "; },
    [] {
        steps += "window ";
        return kWindow;
    },
    [] { steps += "input "; },
    [](const void* window) { steps += window == kWindow ? "sound " : "sound elsewhere "; },
    [] { steps += "frame "; }};

FileDialogAnswer answerAndRecord(const FileDialogRequest&) {
    steps += "dialog ";
    return {FileDialogOutcome::Chosen, "/level.dat"};
}

// The hooks and display settings a test sets, put back afterwards.
struct DialogSetting {
    DialogSetting() { platform::setFileDialogBackend(answerAndRecord); }
    ~DialogSetting() {
        fileDialogHooks = {};
        displaySettings = saved;
    }
    DisplaySettings saved = displaySettings;
};

}  // namespace

// What the dialog sets up again goes through the hooks of the layers that
// own each part, in this order; a part that is not there is skipped.
TEST_F(Dialog, TheLayersSetTheirPartsUpAgainInOrder) {
    DialogSetting setting;
    fileDialogHooks = kRecordingHooks;
    struct Case {
        int32_t fullScreen;
        const char* steps;
    };
    const Case cases[] = {
        {0, "leave dialog windowed "},
        {7, "leave dialog full 640x480 input window sound frame frame frame frame frame "},
    };
    for (const Case& c : cases) {
        displaySettings = DisplaySettings{c.fullScreen, 1, 60, 0, 0, 480, 640};
        steps.clear();
        EXPECT_STREQ("/level.dat", OpenFileDialog(1, "").data);
        EXPECT_EQ(c.steps, steps) << "full screen " << c.fullScreen;
        EXPECT_EQ(c.fullScreen ? 1 : 0, displaySettings.fullScreen);
    }
    fileDialogHooks.deviceWindow = nullptr;  // no window: no sound level to take again
    fileDialogHooks.restoreInput = nullptr;
    displaySettings.fullScreen = 1;
    steps.clear();
    OpenFileDialog(1, "");
    EXPECT_EQ("leave dialog full 640x480 frame frame frame frame frame ", steps);
    fileDialogHooks = {};
    steps.clear();
    EXPECT_STREQ("/level.dat", OpenFileDialog(1, "").data);
    EXPECT_EQ("dialog ", steps);
}

TEST(DialogArguments, ZenityAndKdialogWords) {
    FileDialogRequest request;
    request.open = false;
    request.initialDirectory = "/home/diver/levels";
    request.filters = {{"Levels", "*.dat; *.lvl"}, {"Empty", ""}, {"All", "*.*"}};
    EXPECT_EQ((std::vector<std::string>{"zenity", "--file-selection", "--save", "--filename=/home/diver/levels/",
                                        "--file-filter=Levels | *.dat *.lvl", "--file-filter=All | *.*"}),
              platform::fileDialogArguments("zenity", request));
    request.open = true;
    EXPECT_EQ((std::vector<std::string>{"kdialog", "--getopenfilename", "/home/diver/levels/",
                                        "*.dat *.lvl|Levels\n*.*|All"}),
              platform::fileDialogArguments("kdialog", request));
    request.filters.clear();
    request.initialDirectory.clear();
    EXPECT_EQ((std::vector<std::string>{"zenity", "--file-selection", "--filename=./"}),
              platform::fileDialogArguments("zenity", request));
}

namespace {

// A folder on PATH holding a stand-in dialog program that records its words
// and answers with a fixed text and exit status.
class ProcessDialog : public filetest::FilesTest {
protected:
    void program(const std::string& name, const std::string& answer, int status) {
        std::string bin = made(dir_.file("bin"));
        std::string script = bin + "/" + name;
        std::ofstream(script) << "#!/bin/sh\n"
                              << "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" << dir_.file("words") << "'\n"
                              << "printf '" << answer << "'\n"
                              << "exit " << status << "\n";
        chmod(script.c_str(), 0755);
    }
    std::string words() { return testsupport::readFileBytes(dir_.file("words")); }

    testsupport::ScopedEnv path_{"PATH", dir_.file("bin").c_str()};
    testsupport::ScopedEnv display_{"DISPLAY", ":99"};
    testsupport::ScopedEnv wayland_{"WAYLAND_DISPLAY", nullptr};
};

}  // namespace

TEST_F(ProcessDialog, ZenityAnswersOnItsOutput) {
    program("zenity", "/picked/level.dat\\n", 0);
    FileDialogRequest request;
    request.initialDirectory = "/start";
    request.filters = {{"Levels", "*.dat"}};
    FileDialogAnswer answer = platform::runProcessFileDialog(request);
    EXPECT_EQ(FileDialogOutcome::Chosen, answer.outcome);
    EXPECT_EQ("/picked/level.dat", answer.path);
    EXPECT_EQ("--file-selection\n--filename=/start/\n--file-filter=Levels | *.dat\n", words());
}

TEST_F(ProcessDialog, ANonZeroExitIsACancel) {
    program("zenity", "", 1);
    EXPECT_EQ(FileDialogOutcome::Cancelled, platform::runProcessFileDialog({}).outcome);
    platform::setFileDialogBackend(nullptr);
    EXPECT_STREQ("NO_FILE", OpenFileDialog(1, "").data);
}

TEST_F(ProcessDialog, KdialogServesWhenZenityIsMissing) {
    program("kdialog", "/k/file.txt\\n", 0);
    FileDialogRequest request;
    request.open = false;
    request.initialDirectory = "/s";
    FileDialogAnswer answer = platform::runProcessFileDialog(request);
    EXPECT_EQ(FileDialogOutcome::Chosen, answer.outcome);
    EXPECT_EQ("/k/file.txt", answer.path);
    EXPECT_EQ("--getsavefilename\n/s/\n", words());
}

TEST_F(ProcessDialog, WithoutADisplayNothingIsStarted) {
    program("zenity", "/x\\n", 0);
    testsupport::ScopedEnv noDisplay("DISPLAY", "");
    EXPECT_EQ(FileDialogOutcome::Unavailable, platform::runProcessFileDialog({}).outcome);
    EXPECT_FALSE(testsupport::fileExists(dir_.file("words")));
}

TEST_F(ProcessDialog, WithoutADialogProgramNothingIsShown) {
    made(dir_.file("bin"));
    EXPECT_EQ(FileDialogOutcome::Unavailable, platform::runProcessFileDialog({}).outcome);
}
