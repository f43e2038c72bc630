// The toolkit's routines that touch the desktop: debug lines, the
// screenshot and the window title.
// Depends on the shell's platform information and engine state, the 2-D
// commands and the console.
#include "game/screens/game_helpers.h"
#include "game/world/game_state.h"
#include "gfx2d/gfx2d_commands.h"
#include "gfx2d/opengl_rainbows.h"
#include "runtime/engine/engine_state.h"
#include "runtime/services/console.h"
#include "runtime/services/process_strings.h"
#include "shell/platform_info.h"

namespace {
RtString lastText;  // the last text DebugPrint was given
}  // namespace

double DebugPrint(const RtString& text) {
    if (text.equals(lastText)) return 0.0;
    lastText = text;
    if (GetPlatformInfo(RtString("DEVICE")).equals("DESKTOP")) PrintToStdout("[VNT]->" + text + "\n");
    return 0.0;
}

void resetDebugPrintMemory() { lastText = RtString(); }

double SaveScreenshot(const RtString& file) {
    SCREENSHOT_SPRITE = 0;
    const int sprite = FindFreeSprite();
    if (sprite < 0) return 0.0;
    SCREENSHOT_SPRITE = sprite;
    int width = 0, height = 0;
    GetScreenSizeInt(width, height);
    GrabScreenToSprite(sprite, 0, 0, width, height);
    RtArray<int> pixels;
    SpriteToPixels(sprite, pixels);
    for (int32_t i = 0; i < pixels.total; ++i) pixels.at(i) = static_cast<int>(static_cast<uint32_t>(pixels.at(i)) | 0xFF000000u);
    if (PixelsToSprite(pixels, sprite, width, height)) SaveSpriteToFile(file, sprite);
    // Keep only a small grab, so the large picture is not held.
    GrabScreenToSprite(sprite, 0, 0, 8, 8);
    return 0.0;
}

double SetWindowTitle(const RtString& text) {
    windowTitleString() = text;
    if (OpenGLRainbows* graphics = engine.graphics2D) graphics->setTitle(windowTitleString());
    return 0.0;
}
