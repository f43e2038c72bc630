// The game on an offscreen window for the screens' tests: the engine
// started as the program starts it, the build's pictures linked into the
// private Media folder, the game prepared as its main routine prepares it,
// and frames unpaced.
#pragma once
#include <cstdint>

#include "screen_run.h"

namespace screenstest {

// The engine started by the test harness with the program's settings (its
// settings hook) and TMPDIR and HOME in `folder`, shut down when the case
// ends; then the private folder as the working directory again (the
// start-up moves to the program's folder) and the fixed seed. False when no
// window could be made.
bool startGameEngine(const std::string& folder);

// A sprite of one colour (0xAABBGGRR), made from pixels.
void makeFlatSprite(int32_t sprite, int32_t width, int32_t height, uint32_t colour);

class GameWindow : public ScreenTest {
protected:
    void SetUp() override;
    static uint32_t px(int32_t x, int32_t y);
};

}  // namespace screenstest
