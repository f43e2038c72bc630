// The program's settings hook and the small project hooks that the runtime
// calls by itself, and their table (runtime/engine/project_hooks.h).
#include "game/screens/project_settings.h"

#include "game/screens/game_main.h"
#include "runtime/engine/display_settings.h"
#include "runtime/services/process_strings.h"

namespace {
constexpr const char* kProjectName = "Shoalrunner_GS";
constexpr const char* kProjectId = "5b0a12e1";  // eight lower-case hexadecimal digits
constexpr const char* kProjectVersion = "000.001";
}  // namespace

double ApplyProjectSettings() {
    displaySettings.fullScreen = 0;
    displaySettings.mouseHidden = 1;
    displaySettings.frameRate = 60;
    displaySettings.debug = 0;
    displaySettings.multisampling = 0;
    displaySettings.height = 480;
    displaySettings.width = 640;
    projectNameString() = RtString(kProjectName);
    return 0.0;
}

// The compiler's date ("Mmm dd yyyy") and time ("hh:mm:ss") of this file's build.
RtString GetBuildDateTime() { return RtString(__DATE__ "-" __TIME__); }

RtString GetProjectId() { return RtString(kProjectId); }

RtString GetProjectVersion() { return RtString(kProjectVersion); }

void EmptyProjectHook() {}

const ProjectHooks shoalrunnerProjectHooks = {
    ApplyProjectSettings, GameMain, GetBuildDateTime, GetProjectId, GetProjectVersion, EmptyProjectHook};
