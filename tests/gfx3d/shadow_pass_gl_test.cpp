// The stencil shadow pass: while on, drawing only marks the stencil; its end
// lays the shadow colour at half opacity over the marked pixels and puts the
// scene's state back.
#include <cmath>

#include "gfx2d/gfx2d_commands.h"
#include "gfx2d/gl_state_cache.h"
#include "gfx3d/scene_commands.h"
#include "scene_fixture.h"
#include "shell/frame_end.h"

namespace {

using namespace scenetest;

constexpr uint32_t kBlack = 0xFF000000u;

class ShadowPass : public Scene {
protected:
    void markLeftHalf() {
        put(1, square(1.0f, 0.0f, -1.0f, 0.0f));
        DrawObject(1, 0);
    }
};

TEST_F(ShadowPass, MarkedPixelsGetHalfTheShadowColour) {
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 0, 1.0 / std::tan(30.0 * 0.017453292), 0, 0, 0);
    SetLight(-3, 0x0000FF, 0, 10, 0, 0, 0, 0, 1);  // red shadows; the pass starts
    EXPECT_EQ(r->shadowPassOn, 1);
    EXPECT_TRUE(glIsEnabled(GL_STENCIL_TEST));
    r->effectLightOn = 0;  // the square itself, not its shadow volume, marks the stencil
    markLeftHalf();
    EXPECT_EQ(px(16, 32), kBlack);  // no colour is written during the pass
    ClearDepth();                   // ends the pass
    EXPECT_EQ(r->shadowPassOn, 0);
    EXPECT_TRUE(near(px(16, 32), 0xFF000080u, 2)) << std::hex << px(16, 32);
    EXPECT_EQ(px(48, 32), kBlack);
    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(g->alpha, 1.0f);
    GLboolean mask[4];
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    EXPECT_TRUE(mask[0] && mask[3]);
    GLint stencil = -1;
    glReadPixels(16, 32, 1, 1, GL_STENCIL_INDEX, GL_INT, &stencil);
    EXPECT_EQ(stencil, 0);
}

TEST_F(ShadowPass, EndingTwiceDoesTheWorkOnce) {
    StartScene3D(1.0, 100.0, 60.0);
    r->setShadowPass(1);
    r->setShadowPass(0);
    const unsigned long calls = glcache::glCallsMade();
    r->setShadowPass(0);
    EXPECT_EQ(glcache::glCallsMade(), calls);
}

TEST_F(ShadowPass, FrameEndEndsThePass) {
    StartScene3D(1.0, 100.0, 60.0);
    SetLight(-3, 0x00FF00, 0, 10, 0, 0, 0, 0, 1);
    ASSERT_EQ(r->shadowPassOn, 1);
    EndFrame();
    EXPECT_EQ(r->shadowPassOn, 0);
    SetLight(-3, 0x00FF00, 0, 10, 0, 0, 0, 0, 1);
    SetViewport(0, 0, kSize, kSize);  // a 2-D viewport change ends it too
    EXPECT_EQ(r->shadowPassOn, 0);
}

TEST_F(ShadowPass, LightingAndFogSurviveTheEndOfAPass) {
    StartScene3D(1.0, 100.0, 60.0);
    SetLight(0, 0xFFFFFF, 0, 0, 0, 0, 0, -1, 180);
    SetFog(0x808080, 0, 0, 0);
    r->setShadowPass(1);
    r->setShadowPass(0);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_FOG));
}

}  // namespace
