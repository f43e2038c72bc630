// The environment commands, the process strings and the display services.
#include <gtest/gtest.h>

#include <cstdlib>

#include "runtime/engine/display_settings.h"
#include "runtime/services/display_services.h"
#include "runtime/services/engine_hooks.h"
#include "runtime/services/environment.h"
#include "runtime/services/process_strings.h"
#include "service_test_helpers.h"

using servicestest::LogFolder;

TEST(Environment, ListingGivesEveryEntryWithALineEnd) {
    auto child = testsupport::runInChild([] {
        clearenv();
        setenv("A", "1", 1);
        setenv("B", "two words", 1);
        std::fputs(GetEnv(RtString()).data, stdout);
    });
    EXPECT_EQ(child.out, "A=1\nB=two words\n");
    auto empty = testsupport::runInChild([] {
        clearenv();
        std::printf("[%s]", GetEnv(RtString()).data);
    });
    EXPECT_EQ(empty.out, "[]");
}

TEST(Environment, GetAndPut) {
    testsupport::ScopedEnv a("VANTRIC_TEST_A", nullptr);
    testsupport::ScopedEnv b("VANTRIC_TEST_B", nullptr);
    EXPECT_STREQ(GetEnv(RtString("VANTRIC_TEST_A")).data, "");
    PutEnv(RtString("VANTRIC_TEST_A"), RtString("x y"));
    EXPECT_STREQ(GetEnv(RtString("VANTRIC_TEST_A")).data, "x y");
    // An empty value removes the variable.
    PutEnv(RtString("VANTRIC_TEST_A"), RtString());
    EXPECT_EQ(std::getenv("VANTRIC_TEST_A"), nullptr);
    // The name ends at the first "=", as the text "name=value" is read.
    PutEnv(RtString("VANTRIC_TEST_B=C"), RtString("d"));
    EXPECT_STREQ(GetEnv(RtString("VANTRIC_TEST_B")).data, "C=d");
}

TEST(Environment, EmptyNameChangesNothing) {
    auto child = testsupport::runInChild([] {
        clearenv();
        PutEnv(RtString(), RtString("v"));
        PutEnv(RtString("=x"), RtString("v"));
        std::printf("[%s]", GetEnv(RtString()).data);
    });
    EXPECT_EQ(child.out, "[]");
}

TEST(ProcessStrings, CommandLineIsReplacedSafelyAndCopied) {
    setCommandLineString("game.exe -level 3");
    RtString copy = GetCommandLineString();
    EXPECT_STREQ(copy.data, "game.exe -level 3");
    EXPECT_NE(copy.data, commandLineString().data);
    // The new text may come from the old string itself.
    setCommandLineString(commandLineString().data + 9);
    EXPECT_STREQ(commandLineString().data, "-level 3");
    EXPECT_EQ(commandLineString().length, 8u);
    setCommandLineString(nullptr);
    EXPECT_TRUE(commandLineString().isEmpty());
}

TEST(ProcessStrings, EachStringIsItsOwn) {
    projectNameString() = "Shoalrunner_GS";
    windowTitleString() = projectNameString();
    EXPECT_STREQ(windowTitleString().data, "Shoalrunner_GS");
    EXPECT_NE(&projectNameString(), &windowTitleString());
    EXPECT_EQ(&projectNameString(), &projectNameString());
}

namespace {
int32_t hostWidth = 0, hostHeight = 0;
uint8_t lastMoveFlag = 9;
}  // namespace

TEST(DisplayServices, ScreenSizeNoticeLogsAndStores) {
    LogFolder folder;
    notifyScreenSize(800, 600);  // no 2-D context yet
    engineHooks.storeScreenSize = [](int32_t w, int32_t h) {
        hostWidth = w;
        hostHeight = h;
    };
    notifyScreenSize(1024, -1);
    engineHooks = {};
    EXPECT_EQ(folder.log(), "vnt_notify_screen_size 800x600\nvnt_notify_screen_size 1024x-1\n");
    EXPECT_EQ(hostWidth, 1024);
    EXPECT_EQ(hostHeight, -1);
    EXPECT_EQ(displaySettings.width, 1024);
    EXPECT_EQ(displaySettings.height, -1);
}

TEST(DisplayServices, DisplaySizeFillsOnlyTheGivenTargets) {
    displaySettings.width = 640;
    displaySettings.height = 480;
    int32_t w = 0, h = 0;
    GetDisplaySize(&w, &h);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    w = 1;
    GetDisplaySize(&w, nullptr);
    GetDisplaySize(nullptr, nullptr);
    EXPECT_EQ(w, 640);
}

TEST(DisplayServices, MoveTexturesNeedsTheContext) {
    EXPECT_EQ(MoveTexturesToTempFiles(1), 0);
    engineHooks.moveTexturesToTempFiles = [](uint8_t toFiles) -> uint8_t {
        lastMoveFlag = toFiles;
        return toFiles ? 2 : 0;
    };
    EXPECT_EQ(MoveTexturesToTempFiles(5), 1);
    EXPECT_EQ(lastMoveFlag, 1);
    EXPECT_EQ(MoveTexturesToTempFiles(0), 0);
    EXPECT_EQ(lastMoveFlag, 0);
    engineHooks = {};
}
