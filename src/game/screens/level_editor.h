// The level editor: the map of one level (15 x 10 cells), a palette of tiles
// and a row of menu words on the editor's 320 x 320 surface (screen 4),
// shown at double size in a 720 x 672 window and worked with the mouse.
// Escape leaves to the title menu; "TEST" saves the level, plays it and
// comes back (a level that cannot be saved is not played).
//
// The surface in cells of 16 pixels (32 window pixels), column and row:
//   rows 0 to 9, columns 0 to 14: the map
//   rows 10 to 13, columns 0 to 14: the palette, tile (row - 10) * 15 + column;
//     tiles 0 to 48 can be chosen but 22 and 24 to 31, the codes of the
//     diver and the creatures in play
//   row 13, columns 4 to 13: the menu, its word shown under the row while
//     the mouse is on it: TEST, four scroll words that do nothing, SAVE
//     LEVEL, LOAD LEVEL, INC LEVEL, DEC LEVEL, CLR LEVEL
#pragma once
#include <cstdint>

#include "game/screens/screen_dispatcher.h"

constexpr int32_t kEditorWindowWidth = 720;
constexpr int32_t kEditorWindowHeight = 672;
constexpr int32_t kEditorCellPixels = 32;  // window pixels per cell
constexpr int32_t kEditorColumns = 15;
constexpr int32_t kEditorRows = 10;
constexpr int32_t kPaletteLastRow = 13;
constexpr int32_t kPaletteChoices = 49;
constexpr int32_t kLevelPictureSprite = 999;
constexpr int32_t kLastEditorLevel = 99;

// Menu cells of row 13, by column.
enum EditorMenuColumn : int32_t {
    MenuTest = 4,
    MenuSave = 9,
    MenuLoad = 10,
    MenuNextLevel = 11,
    MenuPreviousLevel = 12,
    MenuClear = 13,
};

// The editor's working values for one visit.
struct EditorState {
    int32_t mouseX = 0, mouseY = 0;  // window pixels
    int32_t left = 0, right = 0;     // 1 while held
    int32_t column = 0, row = 0;     // the mouse cell found in the previous frame
    int32_t tile = 0;                // the tile the left button paints
    bool leave = false;              // Escape: leave after this frame
    GameScreen next = GameScreen::None;  // "TEST": the frame was cut short
};

// The cell of a window position on one axis: pixels / 32 cut toward zero,
// held to 0..29 so that every cell lies inside the 30 x 30 grids.
int32_t editorCell(int32_t pixel);

// The editor step by step, for tests that work the mouse between frames. Start:
// the editor's session opened (config_file.h), PLAY_MODE 0, the 720 x 672
// window, the level LEVEL to edit (a level without a file starts cleared),
// STEP_COOLDOWN 20. A frame: everything up to its frame end; "TEST" cuts it
// short with `next` set. Leave: the window's normal size, the session
// closed (the player's level back); the title menu follows.
void StartLevelEditor(EditorState& e);
void RunLevelEditorFrame(EditorState& e);
GameScreen LeaveLevelEditor();
