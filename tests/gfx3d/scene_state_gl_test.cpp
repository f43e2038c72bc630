// What the 3-D commands leave to 2-D drawing and to later scenes, drawn
// offscreen and read back: queued 2-D drawing keeps the state it was queued
// under, lights of an earlier scene stay off, a shadow pass gives back the
// program's opacity, rebuilt normals reach the vertex buffer, and sprites in
// the scene are front faces.
#include <functional>
#include <string>
#include <vector>

#include "engine_harness.h"
#include "file_bytes.h"
#include "gfx2d/gfx2d_commands.h"
#include "gfx2d/gl_state_cache.h"
#include "gfx3d/scene_commands.h"
#include "gfx3d/transform_commands.h"
#include "runtime/engine/display_settings.h"
#include "scene_fixture.h"
#include "shell/frame_end.h"

namespace {

using namespace scenetest;

constexpr uint32_t kBlack = 0xFF000000u, kWhite = 0xFFFFFFFFu;
constexpr uint32_t kRed = 0xFF0000FFu, kGreen = 0xFF00FF00u, kYellow = 0xFF00FFFFu;

struct Command {
    const char* name;
    std::function<void()> prepare;  // before anything is queued
    std::function<void()> run;
};

class SceneState : public Scene {
protected:
    // The frame after: 2-D state, a red rectangle queued, the command, a blue
    // rectangle, everything drawn. With `flushFirst` the red one is drawn
    // before the command, which is how it must come out either way.
    std::vector<uint32_t> around(const Command& c, bool flushFirst) {
        g->restore2DRenderState();
        g->clear(0);
        c.prepare();
        FillRect(4, 4, 20, 20, 0x0000FF);
        if (flushFirst) g->flushBatch();
        c.run();
        FillRect(40, 40, 20, 20, 0xFF0000);
        return testsupport::readFramePixels(0, 0, kSize, kSize);
    }
    void loadGreenShader(int32_t slot) {
        const std::string v = folder.file("v.vert"), f = folder.file("f.frag");
        testsupport::writeFileBytes(v, "void main() { gl_Position = ftransform(); }\n");
        testsupport::writeFileBytes(f, "void main() { gl_FragColor = vec4(0.0, 1.0, 0.0, 1.0); }\n");
        ASSERT_EQ(LoadShader(slot, RtString(v.c_str()), RtString(f.c_str())), 1);
    }
};

TEST_F(SceneState, TwoDDrawingQueuedBeforeA3DCommandKeepsItsOwnState) {
    solidSprite(22, kGreen);
    put(1, square(0.5f, 0.0f));
    auto nothing = [] {};
    auto depthNearest = [] {  // every pixel's depth 0: a depth test hides what comes
        glClearDepth(0.0);
        glClear(GL_DEPTH_BUFFER_BIT);
        glClearDepth(1.0);
    };
    const Command commands[] = {
        {"UseShader", [&] { loadGreenShader(0); }, [] { UseShader(0); }},
        {"SetCulling", nothing, [] { SetCulling(-1); }},
        {"SetCulling clockwise", nothing, [] { SetCulling(1); }},
        {"SetDepthTest", depthNearest, [] { SetDepthTest(1); }},
        {"SetCamera", nothing, [] { SetCamera(0, 0, 5, 0, 0, 0); }},
        {"StartScene3D", nothing, [] { StartScene3D(1.0, 100.0, 60.0); }},
        {"ClearDepth", depthNearest, [] { ClearDepth(); }},
        {"SetLight", nothing, [] { SetLight(0, 0x0000FF, 0, 0, 0, 0, 0, -1, 180); }},
        {"SetCameraLight", nothing, [] { SetCameraLight(1, 0x00FF00); }},
        {"SetFog", nothing, [] { SetFog(0x00FF00, 1, 5.0, 0); }},
        {"SetTexture", nothing, [] { SetTexture(22, -1); }},
        {"DrawObject", nothing, [] { DrawObject(1, 0); }},
        {"DrawAxes", nothing, [] { DrawAxes(0, 0, 0); }},
        {"DrawLine3D", nothing, [] { DrawLine3D(0, 0, 0, 10, 10, 0, 3, 0xFFFFFF); }},
        {"DrawPoint3D", nothing, [] { DrawPoint3D(5, 5, 0, 4, 0xFFFFFF); }},
        {"DrawSprite3D", [] { SetCulling(1); }, [] { DrawSprite3D(22, 32, 32, 0, 1); }},
        {"DrawTextOver3D", nothing, [] { DrawTextOver3D(RtString("I"), 32, 32, 0, 0, 0); }},
        {"CollideSphere, drawn", [] { displaySettings.debug = 1; }, [] { CollideSphere(1, 0, 1, 0, 0, 0); }},
    };
    for (const Command& c : commands) {
        const std::vector<uint32_t> flushed = around(c, true);
        const std::vector<uint32_t> queued = around(c, false);
        ASSERT_EQ(flushed.size(), queued.size());
        EXPECT_TRUE(flushed == queued) << c.name;
        EXPECT_TRUE(near(queued[10 * kSize + 10], kRed, 2)) << c.name << std::hex << " 0x" << queued[10 * kSize + 10];
        displaySettings.debug = 0;
    }
}

TEST_F(SceneState, ASceneStartSwitchesOffTheLightsOfTheSceneBefore) {
    put(1, square(1.0f, 0.0f));
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 0, 5, 0, 0, 0);
    SetLight(0, 0x0000FF, 0, 0, 0, 0, 0, -1, 180);
    SetLight(1, 0x00FF00, 0, 0, 0, 0, 0, -1, 180);
    DrawObject(1, 0);
    EXPECT_TRUE(near(px(32, 32), kYellow, 12)) << std::hex << px(32, 32);
    EndFrame();
    g->clear(0);
    StartScene3D(1.0, 100.0, 60.0);
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
    SetCamera(0, 0, 5, 0, 0, 0);
    SetLight(0, 0x0000FF, 0, 0, 0, 0, 0, -1, 180);
    EXPECT_EQ(r->lightMask, 1);
    DrawObject(1, 0);
    EXPECT_TRUE(near(px(32, 32), kRed, 12)) << std::hex << px(32, 32);
    for (int n = 0; n < 8; ++n) EXPECT_EQ(glIsEnabled(GL_LIGHT0 + n) != 0, (r->lightMask >> n & 1) != 0) << n;
}

TEST_F(SceneState, EndingAShadowPassGivesBackTheProgramsOpacityAndBlending) {
    SetAlphaMode(-0.5);
    FillRect(0, 0, 16, 16, 0xFFFFFF);
    EXPECT_TRUE(near(px(8, 8), 0xFF808080u, 2)) << std::hex << px(8, 8);
    StartScene3D(1.0, 100.0, 60.0);
    SetLight(-3, 0x0000FF, 0, 10, 0, 0, 0, 0, 1);  // the pass starts
    ClearDepth();                                  // and ends
    EXPECT_EQ(g->alpha, 0.5f);
    EndFrame();
    g->clear(0);
    FillRect(0, 0, 16, 16, 0xFFFFFF);
    EXPECT_TRUE(near(px(8, 8), 0xFF808080u, 2)) << std::hex << px(8, 8);
    SetAlphaMode(0.25);  // additive stays additive through a pass in the frame
    StartScene3D(1.0, 100.0, 60.0);
    SetLight(-3, 0x0000FF, 0, 10, 0, 0, 0, 0, 1);
    ClearDepth();
    EXPECT_EQ(g->alpha, 0.25f);
    EXPECT_EQ(g->blendMode, BlendMode::Additive);
}

// A square facing the viewer built through the commands with normals that
// face away (lighting mode 0 keeps them until a lighting effect computes
// its own from the winding; built faces go clockwise).
void buildSquareFacingAwayNormals(int slot) {
    const MeshObjectX model = square(1.0f, 0.0f);
    const RtVector<MeshVertex>& t = model.frames.data[0].triangles;
    BeginObject(slot);
    for (int i = 0; i < t.count; ++i) {
        if (i > 0 && i % 3 == 0) AddObjectVertexBreak();
        const MeshVertex& v = t.data[i - i % 3 + 2 - i % 3];
        SetVertexNormal(0, 0, -1);
        AddObjectVertex(v.x, v.y, v.z, v.u, v.v, 0xFFFFFF);
    }
    SetLightingMode(0);
    EndObject();
}

TEST_F(SceneState, NormalsComputedForALightingEffectReachTheStaticBuffer) {
    buildSquareFacingAwayNormals(1);
    ASSERT_EQ(r->objects.data[1].used, 1);
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 0, 5, 0, 0, 0);
    SetLight(0, 0xFFFFFF, 0, 0, 0, 0, 0, -1, 180);
    DrawObject(1, 0);  // lit from behind: dark; the static buffer holds these normals
    EXPECT_TRUE(near(px(32, 32), kBlack, 12)) << std::hex << px(32, 32);
    SetLight(-2, 0, 0, 0, 10, 0, 0, 0, 1);  // cel shading computes normals from the winding
    ClearDepth();
    DrawObject(1, 0);
    SetLight(-2, 0, 0, 0, 10, 0, 0, 0, 0);  // effect off: the static buffer again
    ClearDepth();
    DrawObject(1, 0);
    EXPECT_TRUE(near(px(32, 32), kWhite, 12)) << std::hex << px(32, 32);
}

TEST_F(SceneState, ASpriteInTheSceneIsAFrontFaceOnTheWindowAndOnAScreen) {
    solidSprite(22, kGreen);
    // The billboard itself winds counter-clockwise: culling back faces keeps it.
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 0, 5, 0, 0, 0);
    glcache::enableCapability(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    g->drawBillboard(22, 0, 0, 0, 0.05f);
    EXPECT_TRUE(near(px(32, 32), kGreen, 2)) << std::hex << px(32, 32);
    // On an offscreen screen, whose scenes are mirrored, as on the window.
    CreateScreen(0, 30, kSize, kSize);
    SelectScreen(0);
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 0, 5, 0, 0, 0);
    SetCulling(1);
    DrawSprite3D(22, 0, 0, 0, 0.05);
    EXPECT_EQ(r->cullMode, 1);
    SelectScreen(-1);
    g->reset2DGLState();
    DrawSprite(30, 0, 0);
    EXPECT_TRUE(near(px(32, 32), kGreen, 2)) << std::hex << px(32, 32);
}

}  // namespace
