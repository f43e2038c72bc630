// The credits page: a screen with its own frame loop, drawn on the play
// surface and shown inside the overscan margins. The page is left at the end
// of the frame in which "b2" was seen, so that frame is still shown, and
// STEP_COOLDOWN is set again on the way out so that the title menu ignores
// the same press.
//
// Departure: a "b2" held when the page opens, or when it returns into the
// title menu, counts only once it has been released (screen_buttons.h). Held
// past the 20 frames of cool-down it left the page, and held on it ended the
// program from the title menu, where "b2" is EXIT.
// Depends on the frame end, the device bridge's controller actions and the
// 2-D commands.
#include "game/world/credits.h"

#include "game/world/font_text.h"
#include "game/world/game_sprites.h"
#include "game/world/game_state.h"
#include "game/world/play_surface.h"
#include "game/world/screen_buttons.h"
#include "game/world/water_background.h"
#include "game/world/world_host.h"
#include "gfx2d/gfx2d_commands.h"
#include "shell/frame_end.h"

namespace {
constexpr int32_t kCreditsX = 10;
constexpr int32_t kButtonCooldown = 20;
}  // namespace

// The credited names are placeholders until the product's texts are supplied
// with its media.
const CreditLine kCreditLines[kCreditLineCount] = {
    {20, "CONCEPT"},
    {35, "THE SHOALRUNNER TEAM"},
    {55, "MUSIC"},
    {70, "THE SHOALRUNNER TEAM"},
    {90, "SFX, GFX, OTHER MEDIA"},
    {105, "THE SHOALRUNNER TEAM"},
    {125, "ANDROID SUPPORT"},
    {140, "THE SHOALRUNNER TEAM"},
};

void drawCreditsPage() {
    DrawWaterBackground();
    for (const CreditLine& line : kCreditLines) DrawFontText(kCreditsX, line.y, RtString(line.text));
}

double ShowCredits() {
    STEP_COOLDOWN = kButtonCooldown;
    openScreenButtons();
    bool leave = false;
    while (!leave) {
        SelectScreen(kScreenPlay);
        drawCreditsPage();
        SelectScreen(kScreenWindow);
        if (screenButtonPressed("b2") && STEP_COOLDOWN == 0) leave = true;
        PresentPlaySurface();
        if (STEP_COOLDOWN > 0) STEP_COOLDOWN -= 1;
        EndFrame();
        refreshControllerState();
    }
    STEP_COOLDOWN = kButtonCooldown;
    openScreenButtons();  // the title menu goes on as if it opened again
    return 0.0;
}
