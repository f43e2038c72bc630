// The toolkit's texts and numbers, the program hooks, the fixed texts, the
// options rows and the editor's cell rule: exact values and edge cases.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <set>
#include <string>
#include <utility>

#include "child_process.h"
#include "game/screens/game_helpers.h"
#include "game/screens/game_texts.h"
#include "game/screens/level_editor.h"
#include "game/screens/options_screen.h"
#include "game/screens/project_settings.h"
#include "game/world/game_state.h"
#include "runtime/engine/display_settings.h"
#include "runtime/services/process_strings.h"

namespace {

std::string text(const RtString& s) { return std::string(s.data, s.length); }

TEST(Toolkit, AnglesFieldsFileNamesTagsAndClamps) {
    EXPECT_EQ(text(AngleToText(12.5)), "12\xB0 30' 0\"");
    EXPECT_EQ(text(AngleToText(-0.25)), "0\xB0 15' 0\"") << "the sign is lost at zero degrees";
    EXPECT_EQ(text(LongitudeToText(-0.25)), "0\xB0 15' 0\" W");
    EXPECT_EQ(text(LatitudeToText(0)), "0\xB0 0' 0\" N");
    const RtString comma(",");
    EXPECT_EQ(text(SplitTokens("a,b,,c", 3, comma)), "");
    EXPECT_EQ(text(SplitTokens("a,b,,c", 4, comma)), "c");
    EXPECT_EQ(text(SplitTokens("a,b,", 3, comma)), "");
    EXPECT_EQ(text(SplitTokens("a,b", 0, comma)), "");
    EXPECT_EQ(text(FileNameOfPath("x/y\\z.txt")), "z.txt");
    EXPECT_EQ(text(FileNameOfPath("plain.obb")), "plain.obb");
    EXPECT_EQ(text(FileNameOfPath("folder/")), "");
    const RtString tag("<img src=\"a.png\" w=\"3\"/>");
    EXPECT_EQ(text(GetTagAttribute(tag, "src")), "a.png");
    EXPECT_EQ(text(GetTagAttribute(tag, "w")), "3") << "the closing slash is cut";
    EXPECT_EQ(text(GetTagAttribute(tag, "W")), "0");
    EXPECT_EQ(text(GetTagAttribute("<a  b=\"1\">", "b")), "0") << "an empty field ends the search";
    EXPECT_EQ(Clamp(5, 0, 3), 3);
    EXPECT_EQ(Clamp(-1, 0, 3), 0);
    EXPECT_EQ(Clamp(std::nan(""), 0, 3), 0);
}

TEST(Toolkit, DebugPrintWritesOnTheDesktopAndSkipsARepeat) {
    const testsupport::ChildResult r = testsupport::runInChild([] {
        resetDebugPrintMemory();  // a line an earlier case printed
        for (const char* line : {"Result: 1", "Result: 1", "Result: 0", "Result: 1"}) DebugPrint(line);
    });
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.out, "[VNT]->Result: 1\n[VNT]->Result: 0\n[VNT]->Result: 1\n");
}

TEST(ProjectHooks, SettingsAndTexts) {
    displaySettings = DisplaySettings{1, 0, 30, 1, 4, 1, 1};
    ApplyProjectSettings();
    EXPECT_EQ(displaySettings.fullScreen, 0);
    EXPECT_EQ(displaySettings.mouseHidden, 1);
    EXPECT_EQ(displaySettings.frameRate, 60);
    EXPECT_EQ(displaySettings.debug + displaySettings.multisampling, 0);
    EXPECT_EQ(displaySettings.width * 1000 + displaySettings.height, 640480);
    EXPECT_EQ(text(projectNameString()), "Shoalrunner_GS");
    EXPECT_EQ(text(GetProjectVersion()), "000.001");
    EXPECT_TRUE(std::regex_match(text(GetProjectId()), std::regex("[0-9a-f]{8}")));
    EXPECT_TRUE(std::regex_match(text(GetBuildDateTime()),
                                 std::regex("[A-Z][a-z]{2} [ 1-3][0-9] [0-9]{4}-[0-2][0-9]:[0-5][0-9]:[0-5][0-9]")));
}

TEST(GameTexts, ThirtyOneShortDistinctTitlesInAHundredSlots) {
    std::set<std::string> seen;
    for (const char* title : kLevelTitles) {
        EXPECT_LE(std::string(title).size(), 32u) << title << ": the card's line holds 32 letters from x 10";
        EXPECT_TRUE(seen.insert(title).second) << title;
    }
    fillLevelNames();
    EXPECT_EQ(LEVEL_NAMES.d1, 100);
    EXPECT_EQ(text(LEVEL_NAMES.at(30)), kLevelTitles[30]);
    EXPECT_TRUE(LEVEL_NAMES.at(31).isEmpty());
}

TEST(OptionsRows, ShownTextsAndVolumeStepsThatLandOnTenths) {
    OVERSCAN_H = 0;
    OVERSCAN_V = 50;
    MUSIC_VOLUME = 0.7;
    EXPECT_EQ(text(optionsRowText(0)), "Overscan H   100");
    EXPECT_EQ(text(optionsRowText(1)), "Overscan V   50");
    EXPECT_EQ(text(optionsRowText(2)), "Music Volume  70%");
    MUSIC_VOLUME = 0.75;  // a hand-edited file: the fraction is dropped
    EXPECT_EQ(text(optionsRowText(2)), "Music Volume  70%");
    // No volume shows "0%" (it showed "00%"); a twentieth is cut to none.
    const std::pair<double, const char*> shown[] = {
        {0.0, "Music Volume  0%"}, {0.05, "Music Volume  0%"}, {0.1, "Music Volume  10%"}, {1.0, "Music Volume  100%"}};
    for (const auto& [volume, row] : shown) {
        MUSIC_VOLUME = volume;
        EXPECT_EQ(text(optionsRowText(2)), row) << volume;
    }
    double v = 0.5;
    for (int i = 0; i < 5; ++i) v = stepMusicVolume(v, -1);
    EXPECT_EQ(v, 0.0) << "five steps down from 0.5 reach 0 exactly";
    EXPECT_EQ(stepMusicVolume(0.0, -1), 0.0);
    for (int i = 0; i < 6; ++i) v = stepMusicVolume(v, 1);
    EXPECT_EQ(text(RtString(v)), "0.6");
    for (int i = 0; i < 6; ++i) v = stepMusicVolume(v, 1);
    EXPECT_EQ(v, 1.0);
}

TEST(EditorCells, ThirtyTwoPixelsACellHeldInsideTheGrids) {
    EXPECT_EQ(editorCell(31), 0);
    EXPECT_EQ(editorCell(32), 1);
    EXPECT_EQ(editorCell(-40), 0);
    EXPECT_EQ(editorCell(5000), 29);
}

}  // namespace
