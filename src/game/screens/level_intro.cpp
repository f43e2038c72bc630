// The level card: "DEPTH <level>m" over a white rule and the level's title,
// for 100 frames whatever the player does, then the level is loaded. Escape
// ends the program; the card reads no controller actions.
// Depends on the screen frame, the game world (level titles, level loader,
// font text) and the input commands.
#include "game/screens/screen_frame.h"
#include "game/screens/screens.h"
#include "game/world/font_text.h"
#include "game/world/game_sprites.h"
#include "game/world/game_state.h"
#include "game/world/level_file.h"
#include "gfx2d/gfx2d_commands.h"
#include "input/input_commands.h"
#include "runtime/services/runtime_error.h"
#include "shell/frame_end.h"

namespace {
constexpr int32_t kCardFrames = 100;
constexpr int32_t kEscapeKey = 1;
}  // namespace

double ShowLevelIntro(int32_t level) {
    for (int32_t frame = 0; frame < kCardFrames; ++frame) {
        beginScreenFrame();
        DrawFontText(10, 60, "DEPTH " + RtString(level) + "m");
        DrawLine(10, 72, 80, 72, kWhite);
        DrawFontText(10, 80, LEVEL_NAMES.at(level));
        presentScreenFrame();
        if (ReadKeyState(kEscapeKey) != 0) EndProgram();
        EndFrame();
    }
    LoadLevel(level);
    return 0.0;
}
