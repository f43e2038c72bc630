// The in-game loop. Depends on every family of the game world, the device
// bridge's controller (world_host.h), the 2-D commands and the frame end.
//
// A pop that has played reloads the level and ends the walk over the pops;
// the frame then goes on with the fresh level (its story, tile map, darkness
// and the present) rather than being cut short, so that every frame ends in
// the one frame end and the controller state is fetched once per frame.
//
// Departure, so that the editor's levels above the last can be tested: a
// test run from the editor (PLAY_MODE 2) that completes any level but the
// last returns to the editor; only levels below the last completed, so a
// test of level 31 to 99 never came back. Play from the title completes the
// levels below the last, as before.
//
// Departure, so that a missing or damaged level file does not end the game:
// a level whose file is not whole (level_file.h) is not started; the game
// is left as through the quit box (to the title menu, or to the editor after
// a test run), with a line naming the file in the error log and on standard
// error. This holds for the level that "NEW GAME", "CONTINUE" or a test run
// starts and for the next level after one completed, whose progress is saved
// first. The load ended the program.
#include "game/world/run_game.h"

#include "game/world/collectibles.h"
#include "game/world/config_file.h"
#include "game/world/creatures.h"
#include "game/world/darkness_mask.h"
#include "game/world/effects.h"
#include "game/world/game_sprites.h"
#include "game/world/game_state.h"
#include "game/world/level_file.h"
#include "game/world/mines_blasts.h"
#include "game/world/movable_objects.h"
#include "game/world/play_surface.h"
#include "game/world/player_notice.h"
#include "game/world/player.h"
#include "game/world/screen_links.h"
#include "game/world/story_phases.h"
#include "game/world/submarine_scenes.h"
#include "game/world/tile_map.h"
#include "game/world/water_background.h"
#include "game/world/world_host.h"
#include "gfx2d/gfx2d_commands.h"
#include "runtime/files/file_paths.h"
#include "shell/frame_end.h"

namespace {
constexpr int32_t kButtonCooldown = 20;
constexpr int32_t kRestartCooldown = 30;
constexpr int32_t kDarkWater = 0x200000;  // dark blue, 0x00BBGGRR
constexpr int32_t kBlack = 0;
constexpr int32_t kAnimTicks = 5;         // the shared frame moves on once ANIM_TICK exceeds this

// A level is played only when its file is whole (a load of any other ends
// the program); else the error log and standard error say why the game was
// left, naming the file where it was looked for.
bool levelPlayable() {
    if (LevelFileIsWhole(LEVEL)) return true;
    const std::string path = files::pathForMessages(levelFileName(LEVEL).data);
    tellPlayer("RunGame: " + RtString(path.c_str()) + " is missing or not a whole level");
    return false;
}

// Frame step 4: a level of the game with every gem taken leads on to the next one
// inside this loop (saving the progress); a test run from the editor leaves,
// for every level but the last, whose story has its own ending.
void completeLevel(GameLoop& loop) {
    if (GEMS_LEFT != 0) return;
    if (PLAY_MODE == 1 && LEVEL < kLastLevel) {
        LEVEL += 1;
        SaveConfig();
        ClearLevel();
        if (!levelPlayable()) {
            loop.leave = 1;
            return;
        }
        screenLinks().showLevelIntro(LEVEL);
    } else if (PLAY_MODE == 2 && LEVEL != kLastLevel) {
        loop.leave = 1;
    }
}

void animateShared() {
    ANIM_TICK += 1;
    if (ANIM_TICK > kAnimTicks) {
        ANIM_FRAME += 1;
        ANIM_TICK = 0;
    }
    if (ANIM_FRAME > 3) ANIM_FRAME = 0;
}

// Frame step 8: the families in the order in which they see one another.
void updateFamilies() {
    UpdatePlayer();
    UpdateDivers();
    UpdateReelDivers();
    UpdateMines();
    UpdateBlasts();
    UpdateBubbles();
    UpdateStarfish();
    UpdateOctopuses();
    UpdateFish();
    UpdateCrabs();
    UpdateAnglers();
    UpdateSponges();
    UpdateBoulders();
    UpdateBombs();
    UpdateGems();
}

// Frame step 23: the mask on screen 5 with its holes, laid over the play surface.
void drawDarkness() {
    if (DARK_LEVEL != 1) return;
    SetAlphaMode(0);
    DrawDarknessMask();
    SetAlphaMode(-1);
    DrawSprite(kSpriteDarkness, 0, 0);
}

// Frame steps 1 and 24: the quit box opens on "b2" and, once the cooldown has run
// out, closes on "b2" or leaves the game on "b1".
void openQuitBox(GameLoop& loop) {
    if (buttonPressed("b2") && loop.quitOpen == 0 && STEP_COOLDOWN == 0) {
        loop.quitOpen = 1;
        STEP_COOLDOWN = kButtonCooldown;
    }
}
void runQuitBox(GameLoop& loop) {
    if (loop.quitOpen == 0) return;
    DrawAnimFrame(kSpriteQuit, 0, 77, 40);
    if (STEP_COOLDOWN != 0) return;
    if (buttonPressed("b2")) {
        loop.quitOpen = 0;
        STEP_COOLDOWN = kButtonCooldown;
    }
    if (buttonPressed("b1")) {
        loop.quitOpen = 0;
        loop.leave = 1;
    }
}

// The way out without the ending: the title menu after play, the editor
// after a test run.
void leaveToMenu() {
    if (PLAY_MODE == 1) screenLinks().titleMenu();
    if (PLAY_MODE == 2) screenLinks().levelEditor();
}
}  // namespace

void StartGame() {
    STEP_COOLDOWN = kButtonCooldown;
    PLAYER_CONTROL = LEVEL > 0 ? 1 : 0;
    screenLinks().showLevelIntro(LEVEL);
    FillRect(0, 0, 480, 320, kBlack);
}

void RunGameFrame(GameLoop& loop) {
    openQuitBox(loop);
    if (GAME_WON == 1) loop.leave = 1;
    runLevelZeroOpening();
    completeLevel(loop);
    startLastLevelFinale();

    SelectScreen(kScreenPlay);
    if (DARK_LEVEL == 0) {
        DrawWaterBackground();
    } else {
        FillRect(0, 0, 320, 240, kDarkWater);
    }
    animateShared();
    updateFamilies();
    UpdateSparkles();
    AnimateWeeds();
    UpdatePearls();
    UpdateOysters();
    UpdatePops();
    runLevelZeroStory();
    runQuake(loop.explosionCount);
    UpdateBubbleVents();
    openQuakeColumn();
    sendLastLevelSubmarine();
    DrawTileMap();
    UpdateSubmarine();
    UpdateExplosions();
    UpdateFlyingGems();
    UpdateSharks();
    UpdateBlood();
    runBriefing();
    drawDarkness();
    runQuitBox(loop);

    SelectScreen(kScreenWindow);
    PresentPlaySurface();
    if (STEP_COOLDOWN > 0) STEP_COOLDOWN -= 1;
    if (buttonPressed("b3") && STEP_COOLDOWN == 0) {
        LoadLevel(LEVEL);
        STEP_COOLDOWN = kRestartCooldown;
    }
}

double LeaveGame() {
    if (GAME_WON == 1) screenLinks().showEnding();
    leaveToMenu();
    return 0.0;
}

double RunGame() {
    if (!levelPlayable()) {
        leaveToMenu();  // nothing was played, so nothing won (GAME_WON may be a past game's)
        return 0.0;
    }
    StartGame();
    GameLoop loop;
    for (;;) {
        RunGameFrame(loop);
        EndFrame();
        refreshControllerState();
        if (loop.leave != 0) return LeaveGame();
    }
}
