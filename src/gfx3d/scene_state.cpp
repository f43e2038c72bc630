// The 3-D command layer's own values and the renderer's place in the engine:
// startRenderer3D makes the one Rainbows3D, connects the 2-D context's hooks
// and registers the release. Kept apart from the commands, so that starting
// the engine needs only the renderer's core, not every command behind it.
#include "gfx2d/opengl_rainbows.h"
#include "gfx2d/renderer3d_link.h"
#include "gfx3d/rainbows3d.h"
#include "gfx3d/scene_commands.h"
#include "runtime/engine/engine_state.h"
#include "runtime/engine/orderly_end.h"

SceneCommandState sceneState;

namespace {

void endShadowPassHook() {
    if (Rainbows3D* r = engine.graphics3D) r->setShadowPass(0);
}

void useFixedPipelineHook() {
    if (Rainbows3D* r = engine.graphics3D) r->useShader(-1);
}

void resetTextureModeHook() { SetTextureMode(0); }

void releaseRenderer3D() {
    Rainbows3D* r = engine.graphics3D;
    if (!r) return;
    renderer3DLink = Renderer3DLink{};
    // The 2-D context goes first at the shutdown, and the GL context with it.
    if (engine.graphics2D == nullptr) r->detachGraphics2D();
    engine.graphics3D = nullptr;
    delete r;
}

}  // namespace

void startRenderer3D(OpenGLRainbows* graphics) {
    if (engine.graphics3D) return;
    engine.graphics3D = new Rainbows3D(graphics);
    renderer3DLink.endShadowPass = endShadowPassHook;
    renderer3DLink.useFixedPipeline = useFixedPipelineHook;
    renderer3DLink.resetTextureMode = resetTextureModeHook;
    setShutdownStep(ShutdownStageGraphics3D, releaseRenderer3D);
}

void SetTextureMode(int mode) { sceneState.textureMode = mode; }
