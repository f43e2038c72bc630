// The game's main routine: prepares every global that the screens and the
// game world need, then runs the screens from the splash until the title
// menu's "EXIT".
// Depends on the device bridge (requests, media folder), the game world
// (images, wobble tables, grids, sounds, progress file, screen links,
// notices), the 2-D commands, the runtime's files and services, and the
// shell's platform information.
//
// Departure: when pictures do not load (no Media folder, damaged files) the
// start says so once on standard error, not only in the error log; the game
// reported nothing of its own and opened a bare window.
#include "game/screens/game_main.h"

#include "game/bridge/device_requests.h"
#include "game/bridge/media_path.h"
#include "game/screens/game_helpers.h"
#include "game/screens/game_texts.h"
#include "game/screens/screens.h"
#include "game/world/config_file.h"
#include "game/world/game_sounds.h"
#include "game/world/game_sprites.h"
#include "game/world/game_state.h"
#include "game/world/level_file.h"
#include "game/world/player_notice.h"
#include "game/world/screen_links.h"
#include "game/world/water_background.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/files/file_system.h"
#include "runtime/services/console.h"
#include "runtime/services/pause_flags.h"
#include "shell/platform_info.h"

const char* const kButtonLayout =
    "Left=Go Left;Up=Go Up;Right=Go Right;Down=Go Down;b1=Button 1;b2=Button 2;b3=Button 3;b4=Button 4";

namespace {
constexpr int32_t kFrameRate = 60;
constexpr const char* kDeviceInfoKeys[] = {"model", "manufacture", "device", "product"};
constexpr const char* kMusicFile = "shoalrunner.ogg";

struct ScreenSurface {
    int32_t screen, sprite, width, height;
};
constexpr ScreenSurface kSurfaces[] = {
    {kScreenPlay, kSpritePlaySurface, kPlayWidth, kPlayHeight},
    {kScreenMapPicture, kSpriteMapPicture, 320, 320},
    {kScreenDarkness, kSpriteDarkness, kPlayWidth, kPlayHeight},
};
// Pictures that did not load leave a bare window: one line tells the player
// how many, and where the Media folder was looked for or found (the error
// log names each file).
void tellOfFailedPictures() {
    const int32_t failed = failedGameImages();
    if (failed == 0) return;
    const RtString folder = GetCurrentDir();
    const RtString count = RtString(failed) + " of " + RtString(kGameImageCount) + " pictures did not load";
    if (isNamedMedia(folder)) {
        tellPlayer("Pictures failed: " + count + " from " + folder);
    } else {
        tellPlayer("Media folder not found: looked for " + folder + "Media/; " + count);
    }
}
}  // namespace

double PrepareGame() {
    setDebugPrintRoutine(DebugPrint);
    ReadDeviceInfo();
    SOUND_VOLUME = 0.5;
    for (const char* key : kDeviceInfoKeys) HostGetDeviceInfo(RtString(key));
    HostSetButtonLayout(RtString(kButtonLayout));
    PrintToStdout("GETCURRENTDIR$(): " + GetCurrentDir());  // no line end of its own
    UpdateScreenOrientation();
    LoadGameImages();
    tellOfFailedPictures();
    FillWaveTables();
    GetScreenSizeInt(SCREEN_W, SCREEN_H);
    SetFrameLimit(kFrameRate, 0);
    CONFIG_FILE = configFilePath(GetPlatformInfo(RtString("DOCUMENTS")));
    fillMenuTexts();
    fillLevelNames();
    SetEscapeQuits(0);
    DimensionLevelGrids();
    RegisterGameSounds();
    HostWaitForSamples(0);
    for (const ScreenSurface& s : kSurfaces) CreateScreen(s.screen, s.sprite, s.width, s.height);
    MUSIC_VOLUME = 0.5;
    LoadConfig();
    ResolveMediaPath(RtString(kMusicFile));
    HostPlayMusic(GAME_MUSIC, GetCurrentDir() + kMusicFile, MUSIC_VOLUME, 1.0);
    connectScreenLinks({ShowLevelIntro, ShowEnding, TitleMenu, LevelEditor});
    return 0.0;
}

double GameMain() {
    PrepareGame();
    SplashScreen();
    return 0.0;
}
