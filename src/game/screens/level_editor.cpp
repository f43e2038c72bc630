// The level editor. Depends on the game world (grids, level files, tile map
// picture), the 2-D commands, the input commands and the frame end.
//
// Departures, each where the editor lost work, crashed or recorded a level
// the game could not play:
// - Fish cells are recorded for the fish codes 35 and 38, the codes from
//   which the loader makes fish (they were recorded for 25 and 28, so placed
//   fish never appeared). What the editor shows is what the level plays:
//   every fish cell painted is recorded once, also along a drag (a 10-frame
//   cool-down recorded one cell of a drag); painting another tile over a
//   fish frees its parameter (ten place-and-erase rounds used up all ten);
//   the free parameter is searched from the first (after CLR LEVEL, which
//   keeps PARAM_INDEX, none was found again); and an eleventh fish is
//   refused and does not paint (it wrote past the ten, later it painted a
//   fish the game never made). So is a second diver: two divers shared
//   every step, and the creatures and the crabs' claims followed whichever
//   moved last.
// - A level without a file, or whose file is not a whole level (LOAD, INC,
//   DEC, or on entry), gives a cleared map to edit as a new level instead of
//   ending the program with the edits lost; INC and DEC keep the level
//   number within 0 to 99 and change nothing at the ends.
// - "TEST" runs only when the level was saved: with the save failed, the run
//   played the old file and the editor came back with it, the edits lost.
//   The edits stay, and a 20-frame cool-down starts as after "SAVE LEVEL".
// - The mouse cell is held to the grids, the map takes clicks only on its
//   15 columns and the palette only on its cells.
// - Neither the palette nor the right button chooses the codes that the
//   families write while they play (22 the diver, 24 to 31 the creatures;
//   the palette shows them blank, like 49 to 58); the right button picks
//   only what the palette could choose and otherwise keeps the current
//   tile. Painted into a level, these codes were walls that nothing draws,
//   or a diver whom the creatures catch.
// - The save makes the "data" folder when the media folder has none.
// - The editor never changes the player's progress: entering opens the
//   editor's session, which keeps the player's level aside and lets no save
//   write the progress file; leaving (or the title menu, after a test run's
//   ending) closes it and the level comes back.
// - The scroll line is printed under the size line, not over it, and the
//   ten level parameters are shown beside the map picture, on a window
//   cleared black each frame so that changed values do not pile up.
#include "game/screens/level_editor.h"

#include "game/screens/screen_bodies.h"
#include "game/world/cell_codes.h"
#include "game/world/config_file.h"
#include "game/world/game_sprites.h"
#include "game/world/game_state.h"
#include "game/world/level_file.h"
#include "game/world/tile_map.h"
#include "gfx2d/gfx2d_commands.h"
#include "input/input_commands.h"
#include "runtime/files/error_log.h"
#include "runtime/files/file_system.h"
#include "shell/frame_end.h"

namespace {
constexpr int32_t kSurfaceCell = 16;  // surface pixels per cell
constexpr int32_t kPaletteFirstRow = kEditorRows;
constexpr int32_t kMenuRow = kPaletteLastRow;
constexpr int32_t kPaletteFrames = 60;
constexpr int32_t kCursorFrame = 59;
constexpr int32_t kEscapeKey = 1;
constexpr int32_t kEntryCooldown = 20;
constexpr int32_t kFileCooldown = 20;
constexpr int32_t kLevelStepCooldown = 10;
constexpr int32_t kPictureSide = 640;  // the surface at double size in the window
constexpr int32_t kSurfaceSide = 320;
constexpr int32_t kParamsX = 648;

// The clear: MAP all 1, OVERLAY 0, the parameters 0, no scroll.
void clearLevel() { ResetLevelGrids(); }

// The level to edit; a level without a file, or whose file is not a whole
// level, is a new, cleared one.
void loadForEditing(int32_t level) {
    if (LevelFileIsWhole(level)) {
        LoadLevel(level);
        return;
    }
    if (FileExists(levelFileName(level))) {
        appendToErrorLog(("LevelEditor: " + levelFileName(level) + " is not a whole level\n").data);
    }
    clearLevel();
    PARAM_INDEX = 0;
    RenderMapSurface();
}

// True when the level was saved; else the file is as it was (level_file.h).
bool saveEditedLevel() {
    const RtString folder("data");
    if (!IsDirectory(folder)) CreateDir(folder);
    return SaveLevelFile(LEVEL);
}

// INC and DEC: the clear, the level's picture under the map, the level.
void switchLevel(int32_t level) {
    if (level < 0 || level > kLastEditorLevel || level == LEVEL) return;
    LEVEL = level;
    clearLevel();
    LoadSpriteFile(RtString(LEVEL) + ".png", kLevelPictureSprite);
    loadForEditing(LEVEL);
}

bool isFishCode(int32_t code) { return code == cell::kFishUpSpawn || code == cell::kFishDownSpawn; }

// What the palette and the right button choose: the codes 0 to 48 but those
// the families write while they play, the diver's 22 and the creatures' 24
// to 31 (painted into a level they were walls no one sees, or a diver the
// creatures catch).
bool choosableTile(int32_t code) {
    const bool playCode = code == cell::kDiver || (code >= cell::kStarfish && code <= cell::kCrab);
    return code >= 0 && code < kPaletteChoices && !playCode;
}

// True when a cell of the edited map other than (x, y) holds the diver.
bool diverElsewhere(int32_t x, int32_t y) {
    for (int32_t row = 0; row < kEditorRows; ++row) {
        for (int32_t column = 0; column < kEditorColumns; ++column) {
            if ((column != x || row != y) && MAP.at(column, row) == cell::kDiverSpawn) return true;
        }
    }
    return false;
}

// A fish cell as the loader reads it (x + 15 * y), recorded once, in the
// first free parameter; false when all ten are taken, or for the cell 0,
// which no parameter can name.
bool recordFish(int32_t cell) {
    if (cell == 0) return false;
    int32_t free = -1;
    for (int32_t i = kLevelParamCount - 1; i >= 0; --i) {
        if (LEVEL_PARAM.at(i) == cell) return true;
        if (LEVEL_PARAM.at(i) == 0) free = i;
    }
    if (free < 0) return false;
    LEVEL_PARAM.at(free) = cell;
    PARAM_INDEX = free + 1;
    return true;
}

// The parameters that name a cell painted with another tile are free again.
void forgetFish(int32_t cell) {
    for (int32_t i = 0; i < kLevelParamCount; ++i) {
        if (LEVEL_PARAM.at(i) == cell) LEVEL_PARAM.at(i) = 0;
    }
}

void paintCell(const EditorState& e) {
    const int32_t x = e.column + SCROLLX, y = e.row + SCROLLY;
    const int32_t cell = x + kEditorColumns * y;
    if (e.tile == cell::kDiverSpawn && diverElsewhere(x, y)) return;  // one diver a level: refused
    if (isFishCode(e.tile)) {
        if (!recordFish(cell)) return;  // refused: nothing painted
    } else {
        forgetFish(cell);
    }
    MAP.at(x, y) = e.tile;
}

void runMenuCell(EditorState& e) {
    if (e.row != kMenuRow) return;
    switch (e.column) {
    case MenuTest:
        if (STEP_COOLDOWN != 0) return;
        if (!saveEditedLevel()) {  // the run would play the old file: no run
            STEP_COOLDOWN = kFileCooldown;
            return;
        }
        PLAY_MODE = 2;
        SetScreenMode(SCREEN_W, SCREEN_H, 0);
        e.next = GameScreen::Game;
        return;
    case MenuSave:
        if (STEP_COOLDOWN != 0) return;
        saveEditedLevel();
        STEP_COOLDOWN = kFileCooldown;
        return;
    case MenuLoad:
        if (STEP_COOLDOWN != 0) return;
        loadForEditing(LEVEL);
        STEP_COOLDOWN = kFileCooldown;
        return;
    case MenuNextLevel:
    case MenuPreviousLevel:
        if (STEP_COOLDOWN != 0) return;
        switchLevel(LEVEL + (e.column == MenuNextLevel ? 1 : -1));
        STEP_COOLDOWN = kLevelStepCooldown;
        return;
    case MenuClear: clearLevel(); return;
    default: return;
    }
}

void leftButton(EditorState& e) {
    const bool inColumns = e.column < kEditorColumns;
    if (e.row < kEditorRows) {
        if (inColumns) paintCell(e);
    } else if (inColumns && e.row <= kPaletteLastRow) {
        const int32_t k = (e.row - kPaletteFirstRow) * kEditorColumns + e.column;
        if (choosableTile(k)) e.tile = k;
    }
    runMenuCell(e);
}

void drawMap() {
    for (int32_t y = SCROLLY; y <= SCROLLY + SIZE_Y; ++y) {
        for (int32_t x = SCROLLX; x <= SCROLLX + SIZE_X; ++x) {
            DrawAnimFrame(kSpriteTiles, MAP.at(x, y), kSurfaceCell * (x - SCROLLX), kSurfaceCell * (y - SCROLLY));
        }
    }
}

void drawPalette() {
    for (int32_t k = 0; k < kPaletteFrames; ++k) {
        const int32_t row = kPaletteFirstRow + k / kEditorColumns;
        const int32_t column = k % kEditorColumns;
        DrawAnimFrame(kSpriteTiles, k, kSurfaceCell * column, kSurfaceCell * row);
    }
}

void drawStatus(const EditorState& e) {
    PrintText("X=" + RtString(e.column) + " Y=" + RtString(e.row) + "  MAP[" + RtString(MAP.at(e.column, e.row)) +
                  "]",
              0, 240, 0);
    PrintText("LEVEL=" + RtString(LEVEL), 175, 240, 0);
    PrintText("SIZE_X=" + RtString(SIZE_X) + "  SIZE_Y=" + RtString(SIZE_Y), 0, 250, 0);
    PrintText("SCROLLX=" + RtString(SCROLLX) + "  SCROLLY=" + RtString(SCROLLY), 0, 260, 0);
}

// The surface at double size in the window's top left, the parameters beside it.
void presentEditor() {
    SelectScreen(kScreenWindow);
    FillRect(0, 0, kEditorWindowWidth, kEditorWindowHeight, 0);
    SetSmoothing(0);
    BeginPolygon(kSpriteMapPicture, 0);
    AddPolygonVertex(0, 0, 0, 0, kWhite);
    AddPolygonVertex(kPictureSide, 0, kSurfaceSide, 0, kWhite);
    AddPolygonVertex(kPictureSide, kPictureSide, kSurfaceSide, kSurfaceSide, kWhite);
    AddPolygonVertex(0, kPictureSide, 0, kSurfaceSide, kWhite);
    EndPolygon();
    for (int32_t i = 0; i < kLevelParamCount; ++i) {
        PrintText(RtString(LEVEL_PARAM.at(i)), kParamsX, 24 + 16 * i, 0);
    }
}
}  // namespace

int32_t editorCell(int32_t pixel) {
    const int32_t cell = pixel / kEditorCellPixels;
    return cell < 0 ? 0 : cell > kGridSize - 1 ? kGridSize - 1 : cell;
}

void StartLevelEditor(EditorState& e) {
    e = EditorState{};
    OpenEditorSession();  // already open when a test run comes back
    PLAY_MODE = 0;  // the loader makes no records: the raw codes stay in the map
    SetScreenMode(kEditorWindowWidth, kEditorWindowHeight, 0);
    clearLevel();
    loadForEditing(LEVEL);
    STEP_COOLDOWN = kEntryCooldown;
}

void RunLevelEditorFrame(EditorState& e) {
    SelectScreen(kScreenMapPicture);
    FillRect(0, 0, 800, 800, 0);
    if (ReadKeyState(kEscapeKey) != 0 && STEP_COOLDOWN == 0) e.leave = true;
    SIZE_X = kEditorColumns - 1;  // every level edited here is 15 x 10
    SIZE_Y = kEditorRows - 1;
    SetAlphaMode(-0.5);
    DrawSprite(kLevelPictureSprite, -kSurfaceCell * SCROLLX, -kSurfaceCell * SCROLLY);
    SetAlphaMode(0);
    ReadMouseState(&e.mouseX, &e.mouseY, &e.left, &e.right);
    if (e.left != 0) {
        leftButton(e);
        if (e.next != GameScreen::None) return;
    }
    if (e.right != 0 && e.row < kEditorRows && e.column < kEditorColumns) {
        const int32_t code = MAP.at(e.column + SCROLLX, e.row + SCROLLY);
        if (choosableTile(code)) e.tile = code;
    }
    e.column = editorCell(e.mouseX);
    e.row = editorCell(e.mouseY);
    if (e.row == kMenuRow) PrintText(MENU_TEXT.at(e.column), kSurfaceCell * e.column, 228, 0);
    drawMap();
    if (STEP_COOLDOWN > 0) STEP_COOLDOWN -= 1;
    drawPalette();
    if (e.row < kEditorRows) DrawAnimFrame(kSpriteTiles, e.tile, kSurfaceCell * e.column, kSurfaceCell * e.row);
    DrawAnimFrame(kSpriteTiles, kCursorFrame, kSurfaceCell * e.column, kSurfaceCell * e.row);
    drawStatus(e);
    presentEditor();
}

GameScreen LeaveLevelEditor() {
    SetScreenMode(SCREEN_W, SCREEN_H, 0);
    CloseEditorSession();
    return GameScreen::Title;
}

GameScreen runLevelEditor() {
    EditorState e;
    StartLevelEditor(e);
    for (;;) {
        RunLevelEditorFrame(e);
        if (e.next != GameScreen::None) return e.next;
        EndFrame();
        if (e.leave) return LeaveLevelEditor();
    }
}
