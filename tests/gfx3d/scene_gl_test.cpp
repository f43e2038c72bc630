// Scene start, camera, lights, fog and culling, drawn for real offscreen and
// read back.
#include <cmath>

#include "gfx2d/gfx2d_commands.h"
#include "gfx2d/gl_state_cache.h"
#include "gfx2d/screen_orientation.h"
#include "gfx3d/scene_commands.h"
#include "gfx3d/transform_commands.h"
#include "scene_fixture.h"

namespace {

using namespace scenetest;

constexpr uint32_t kBlack = 0xFF000000u, kWhite = 0xFFFFFFFFu, kRed = 0xFF0000FFu;

TEST_F(Scene, StartSceneSetsViewportProjectionAndState) {
    r->lightMask = 0x5;
    r->setUpVector(1, 0, 0);
    StartScene3D(1.0, 100.0, 60.0);
    EXPECT_EQ(g->depthClearPending, 1);
    EXPECT_FLOAT_EQ(r->viewTangent, std::tan(65.0f * 0.017453292f));
    EXPECT_EQ(r->cameraUp[0], 0.0f);
    EXPECT_EQ(r->cameraUp[1], 1.0f);
    EXPECT_EQ(r->nearClip, 1.0f);
    EXPECT_EQ(r->farClip, 100.0f);
    EXPECT_EQ(r->lightMask, 0);  // cleared by the command
    EXPECT_EQ(r->cameraTarget[2], -1.0f);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kSize);
    EXPECT_EQ(viewport[3], kSize);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(projection[i], r->projectionMatrix[i]) << i;
    // h = tan(30 degrees) by the polynomial: [5] = near / h
    EXPECT_NEAR(r->projectionMatrix[5], 1.0f / std::tan(30.0f * 0.017453292f), 1e-4f);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));  // culling 0 after the start
    EXPECT_EQ(sceneState.texturePair[0], -1);
    EXPECT_EQ(r->transformIndex, 0);
}

TEST_F(Scene, ViewAngleLimitsAndOrthographicScenes) {
    StartScene3D(1.0, 100.0, 84.0);
    EXPECT_FLOAT_EQ(r->viewTangent, std::tan(89.0f * 0.017453292f));
    StartScene3D(1.0, 100.0, 84.5);
    EXPECT_FLOAT_EQ(r->viewTangent, std::tan(1.553343f));
    StartScene3D(2.0, 100.0, -60.0);
    EXPECT_EQ(r->projectionMatrix[15], 1.0f);  // orthographic
    EXPECT_NEAR(r->projectionMatrix[5], 1.0f / (std::tan(30.0f * 0.017453292f) * 2.0f * 100.0f), 1e-6f);
    EXPECT_FLOAT_EQ(r->viewTangent, std::tan(1.553343f));
    StartScene3D(1.0, 100.0, 0.0);  // half-height 0: a degenerate projection, nothing to see
    EXPECT_EQ(r->projectionMatrix[15], 1.0f);
}

TEST_F(Scene, UnlitSquareFacingTheCameraIsWhite) {
    put(1, square(1.0f, 0.0f));
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 0, 5, 0, 0, 0);
    DrawObject(1, 0);
    EXPECT_TRUE(near(px(32, 32), kWhite, 2));
    EXPECT_EQ(px(1, 1), kBlack);
}

TEST_F(Scene, CameraAndTransformsPlaceTheObject) {
    put(1, square(0.5f, 0.0f));
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 0, 5, 0, 0, 0);
    r->currentTransform().position[0] = 1.5f;  // to the right
    r->currentTransform().matrixValid = 0;
    DrawObject(1, 0);
    EXPECT_EQ(px(32, 32), kBlack);
    EXPECT_TRUE(near(px(32 + 17, 32), kWhite, 2));  // 1.5 / (5 x tan 30) x 32 = 16.6 pixels
}

TEST_F(Scene, DirectionalLightShadesByTheNormal) {
    put(1, cube(1.0f));
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(3, 3, 6, 0, 0, 0);
    SetCulling(-1);
    // Shining along -x: only the +x face is lit, in red.
    SetLight(0, 0x0000FF, 0, 0, 0, -1, 0, 0, 180);
    EXPECT_EQ(r->lightMask, 1);
    DrawObject(1, 0);
    // The +x face lies right of the centre, the +z face left and below it.
    float windowPoint[3];
    auto screenOf = [&](float x, float y, float z) {
        float clip[4], eye[4];
        const float p[4] = {x, y, z, 1};
        for (int row = 0; row < 4; ++row) {
            eye[row] = 0;
            for (int k = 0; k < 4; ++k) eye[row] += r->viewMatrix[k * 4 + row] * p[k];
        }
        for (int row = 0; row < 4; ++row) {
            clip[row] = 0;
            for (int k = 0; k < 4; ++k) clip[row] += r->projectionMatrix[k * 4 + row] * eye[k];
        }
        windowPoint[0] = (clip[0] / clip[3] + 1) * 0.5f * kSize;
        windowPoint[1] = kSize - (clip[1] / clip[3] + 1) * 0.5f * kSize;
    };
    screenOf(1.0f, 0.0f, 0.0f);
    const uint32_t litFace = px(static_cast<int>(windowPoint[0]), static_cast<int>(windowPoint[1]));
    screenOf(0.0f, 0.0f, 1.0f);
    const uint32_t darkFace = px(static_cast<int>(windowPoint[0]), static_cast<int>(windowPoint[1]));
    // Besides the light: the scene's ambient 0.2 x the material's 0.2 (10 of 255).
    EXPECT_TRUE(near(litFace, kRed, 12)) << std::hex << litFace;
    EXPECT_TRUE(near(darkFace, kBlack, 12)) << std::hex << darkFace;
    // Switched off: lighting goes with the last light, the cube draws white.
    SetLight(0, 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(r->lightMask, 0);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
    ClearDepth();
    DrawObject(1, 0);
    EXPECT_TRUE(near(px(static_cast<int>(windowPoint[0]), static_cast<int>(windowPoint[1])), kWhite, 2));
}

TEST_F(Scene, LightIndexWrapsAndSpotDirectionStaysZero) {
    StartScene3D(1.0, 100.0, 60.0);
    SetLight(9, 0xFFFFFF, 1, 2, 3, 0, 0, 0, 45);
    EXPECT_EQ(r->lightMask, 2);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    GLfloat direction[4], cutoff = 0;
    glGetLightfv(GL_LIGHT1, GL_SPOT_DIRECTION, direction);
    glGetLightfv(GL_LIGHT1, GL_SPOT_CUTOFF, &cutoff);
    EXPECT_EQ(direction[0], 0.0f);
    EXPECT_EQ(direction[2], 0.0f);
    EXPECT_EQ(cutoff, 45.0f);
    SetCameraLight(2, 0x00FF00);
    EXPECT_EQ(r->lightMask, 6);
    GLfloat position[4];
    glGetLightfv(GL_LIGHT2, GL_POSITION, position);
    EXPECT_EQ(position[3], 0.0f);  // directional
}

TEST_F(Scene, LinearFogUsesTheScenesNearAndFar) {
    put(1, square(100.0f, -50.5f));
    StartScene3D(1.0, 100.0, 60.0);
    SetFog(0x0000FF, 0, 0, 0);  // red, linear, start and end from the scene
    GLfloat start = 0, end = 0;
    glGetFloatv(GL_FOG_START, &start);
    glGetFloatv(GL_FOG_END, &end);
    EXPECT_EQ(start, 1.0f);
    EXPECT_EQ(end, 100.0f);
    DrawObject(1, 0);
    // Half way through the fog: half white, half red.
    EXPECT_TRUE(near(px(32, 32), 0xFF8080FFu, 6)) << std::hex << px(32, 32);
    SetFog(-1, 0, 0, 0);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    ClearDepth();
    DrawObject(1, 0);
    EXPECT_TRUE(near(px(32, 32), kWhite, 2));
}

TEST_F(Scene, ExponentialFog) {
    put(1, square(100.0f, -50.0f));
    StartScene3D(1.0, 100.0, 60.0);
    SetFog(0x000000, 1, 0.02, 0);
    DrawObject(1, 0);
    const int expected = static_cast<int>(255 * std::exp(-1.0) + 0.5);  // e^-(0.02 x 50)
    EXPECT_TRUE(near(px(32, 32), 0xFF000000u | expected | expected << 8 | expected << 16, 6))
        << std::hex << px(32, 32);
    // A negative density thins the fog to none; it does not keep the last one.
    SetFog(0x000000, 1, -0.02, 0);
    GLfloat density = -1;
    glGetFloatv(GL_FOG_DENSITY, &density);
    EXPECT_EQ(density, 0.0f);
    ClearDepth();
    DrawObject(1, 0);
    EXPECT_TRUE(near(px(32, 32), kWhite, 2)) << std::hex << px(32, 32);
}

TEST_F(Scene, CullingByWinding) {
    put(1, square(1.0f, 0.0f));
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 0, 5, 0, 0, 0);
    SetCulling(5);  // clockwise front faces: this square shows its back
    DrawObject(1, 0);
    EXPECT_EQ(px(32, 32), kBlack);
    SetCulling(-5);
    DrawObject(1, 0);
    EXPECT_TRUE(near(px(32, 32), kWhite, 2));
}

TEST_F(Scene, SpriteTextureAndTextureOffset) {
    DecodedImage image;
    image.width = image.height = 16;
    image.pixels.assign(256, kRed);
    for (int y = 0; y < 16; ++y) {
        for (int x = 8; x < 16; ++x) image.at(x, y) = 0xFFFF0000u;  // right half blue
    }
    ASSERT_TRUE(g->setSpriteImage(20, image));
    SetSmoothing(0);
    put(1, square(1.0f, 0.0f));
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 0, 1.0 / std::tan(30.0 * 0.017453292), 0, 0, 0);  // the square fills the view
    SetTexture(20, -1);
    DrawObject(1, 0);
    EXPECT_TRUE(near(px(10, 32), kRed, 2));
    EXPECT_TRUE(near(px(54, 32), 0xFFFF0000u, 2));
    SetTextureOffset(0.5, 0.0);
    ClearDepth();
    DrawObject(1, 0);
    EXPECT_TRUE(near(px(10, 32), 0xFFFF0000u, 2));
    EXPECT_TRUE(near(px(54, 32), kRed, 2));
}

TEST_F(Scene, AnimatedDrawBlendsTwoFrames) {
    MeshObjectX part = square(0.5f, 0.0f, -2.0f, 0.0f);
    MeshObjectX right = square(0.5f, 0.0f, 2.0f, 0.0f);
    addFrame(part, right.frames.data[0].triangles.data, 6);
    put(1, part);
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 0, 6, 0, 0, 0);
    DrawObjectAnimated(1, 0, 1, 0.5, 0);  // half way: at the centre
    EXPECT_TRUE(near(px(32, 32), kWhite, 2));
    g->clear(0);
    DrawObject(1, 1);
    EXPECT_EQ(px(32, 32), kBlack);
    EXPECT_NE(px(32 + 16, 32), kBlack);
}

TEST_F(Scene, PartOutsideTheFrustumCostsNoGLCall) {
    put(1, square(0.5f, 0.0f, 500.0f, 0.0f));
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 0, 5, 0, 0, 0);
    const unsigned long before = glcache::glCallsMade();
    r->drawObject(1, 0, 0, 0.0f, 0);
    EXPECT_EQ(glcache::glCallsMade(), before);
}

TEST_F(Scene, AShearedPartThatReachesIntoViewIsDrawn) {
    // A thin bar along (1, 1, 1), sheared so that z gains x and y: its tip
    // reaches 1.73 towards the camera, further than any column of the
    // matrix (1.41), and lies just inside the far plane.
    const float d = 1.0f / std::sqrt(3.0f), w = 0.05f;
    const MeshVertex bar[6] = {vertex(-d - w, -d + w, -d), vertex(d - w, d + w, d), vertex(d + w, d - w, d),
                               vertex(-d - w, -d + w, -d), vertex(d + w, d - w, d), vertex(-d + w, -d - w, -d)};
    put(1, partFromTriangles(bar, 6));
    StartScene3D(1.0, 10.0, 60.0);  // the far plane at z = -5
    SetCamera(0, 0, 5, 0, 0, 0);
    RtArray<double> shear;
    shear.dim(16);
    for (int i : {0, 2, 5, 6, 10, 15}) shear.at(i) = 1;
    SetObjectPosition(0, 0, -6.6);  // the tip at z = -4.87
    AddObjectMatrix(shear);
    const unsigned long before = glcache::glCallsMade();
    r->drawObject(1, 0, 0, 0.0f, 0);
    EXPECT_GT(glcache::glCallsMade(), before);
}

TEST_F(Scene, MultiPartSlotBindsEachPartsOwnTexture) {
    solidSprite(21, kRed);
    Object3DSlot& s = r->objects.data[7];
    s.parts.append(square(0.5f, 0.0f, -1.0f, 0.0f));
    s.parts.append(square(0.5f, 0.0f, 1.0f, 0.0f));
    s.parts.data[0].textureA = 0;
    s.parts.data[0].textureB = -1;
    s.parts.data[1].textureA = 3;  // past the slot's list: no texture
    s.parts.data[1].textureB = -1;
    s.textureNames.append(g->sprites[21].texture);
    s.used = s.multiPart = 1;
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 0, 5, 0, 0, 0);
    DrawObject(7, 0);
    EXPECT_TRUE(near(px(32 - 11, 32), kRed, 2));
    EXPECT_TRUE(near(px(32 + 11, 32), kWhite, 2));
    s.textureNames.clear(true);  // owned by the sprite, not by the slot
}

TEST_F(Scene, SceneOnAnOffscreenScreenIsUpright) {
    CreateScreen(0, 30, kSize, kSize);
    SelectScreen(0);
    put(1, square(0.5f, 0.0f, 0.0f, 1.0f));  // above the centre
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 0, 5, 0, 0, 0);
    SetCulling(-1);  // front faces stay front faces on the screen
    DrawObject(1, 0);
    SelectScreen(-1);
    g->reset2DGLState();
    DrawSprite(30, 0, 0);
    g->flushBatch();
    EXPECT_TRUE(near(px(32, 32 - 11), kWhite, 2));
    EXPECT_TRUE(near(px(32, 32 + 11), kBlack, 2));
}

TEST_F(Scene, PointsProjectWhereTheSceneDrawsThemAndBack) {
    put(1, square(0.3f, 0.0f, 1.0f, 1.0f));  // a small square up and to the right
    struct View {
        int orientation;
        bool screen;
        int x, y, width, height;
    };
    const View views[] = {{0, false, 0, 0, kSize, kSize}, {0, false, 0, 16, kSize, 32}, {0, false, 8, 24, 48, 40},
                          {1, false, 0, 16, kSize, 32}, {2, false, 8, 24, 48, 40}, {3, false, 0, 16, kSize, 32},
                          {0, true, 0, 16, kSize, 32}};
    CreateScreen(0, 30, kSize, kSize);
    for (const View& v : views) {
        SCOPED_TRACE(testing::Message() << "orientation " << v.orientation << (v.screen ? " on a screen" : "")
                                        << ", viewport " << v.x << " " << v.y << " " << v.width << " " << v.height);
        SelectScreen(-1);
        SetOrientation(v.orientation);
        g->clear(0);
        if (v.screen) {
            SelectScreen(0);
            g->clear(0);
        }
        SetViewport(v.x, v.y, v.width, v.height);
        StartScene3D(1.0, 100.0, 60.0);
        SetCamera(0, 0, 5, 0, 0, 0);
        DrawObject(1, 0);
        double sx = -1, sy = -1, sz = -1;
        ProjectPoint(1, 1, 0, sx, sy, sz);
        double x = 9, y = 9, z = 9;
        UnprojectPoint(sx, sy, sz, x, y, z);
        EXPECT_NEAR(x, 1.0, 1e-3);
        EXPECT_NEAR(y, 1.0, 1e-3);
        EXPECT_NEAR(z, 0.0, 1e-3);
        // The picture's pixel there: the window's under the orientation, or the screen's own.
        const int pictureX = static_cast<int>(sx), pictureY = static_cast<int>(sy);
        uint32_t there = 0, mirrored = 0;  // and the pixel as far on the other side of the centre
        const int otherX = static_cast<int>(2 * (v.x + v.width / 2.0) - sx);
        const int otherY = static_cast<int>(2 * (v.y + v.height / 2.0) - sy);
        for (int c : {pictureX, pictureY, otherX, otherY}) ASSERT_TRUE(c >= 0 && c < kSize) << sx << ", " << sy;
        if (v.screen) {
            DecodedImage image;
            ASSERT_TRUE(g->spritePixels(30, image));
            there = image.at(pictureX, pictureY);
            mirrored = image.at(otherX, otherY);
        } else {
            const WindowRect w = rotateRectByOrientation(v.orientation, {pictureX, pictureY, 1, 1}, kSize, kSize);
            const WindowRect o = rotateRectByOrientation(v.orientation, {otherX, otherY, 1, 1}, kSize, kSize);
            there = px(w.x, w.y);
            mirrored = px(o.x, o.y);
        }
        EXPECT_TRUE(near(there, 0xFFFFFFFFu, 2)) << std::hex << there << " at " << std::dec << sx << ", " << sy;
        EXPECT_FALSE(near(mirrored, 0xFFFFFFFFu, 2));
    }
    SelectScreen(-1);
    SetOrientation(0);
    SetViewport(0, 0, kSize, kSize);
}

}  // namespace

namespace {

using namespace scenetest;

TEST_F(Scene, SpriteInTheSceneFacesTheViewerAndPutsCullingBack) {
    solidSprite(22, 0xFF00FF00u);
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 0, 5, 0, 0, 0);
    SetCulling(1);
    DrawSprite3D(-1, 0, 0, 0, 0.05);  // nothing, culling untouched
    EXPECT_EQ(r->cullMode, 1);
    DrawSprite3D(22, 0, 0, 0, 0.05);  // 16 x 0.05 = 0.8 units wide
    EXPECT_EQ(r->cullMode, 1);
    EXPECT_TRUE(near(px(32, 32), 0xFF00FF00u, 2)) << std::hex << px(32, 32);
    EXPECT_EQ(px(32 + 12, 32), 0xFF000000u);
}

TEST_F(Scene, SavedObjectLoadsIntoAnotherSlot) {
    BeginObject(3);
    for (float x : {-1.0f, 1.0f}) {
        SetVertexNormal(0, 0, 1);
        AddObjectVertex(x, 1, 0, 0, 0, 0xFFFFFF);
        AddObjectVertex(x, -1, 0, 0, 1, 0xFFFFFF);
    }
    EndObject();
    ASSERT_EQ(r->objects.data[3].used, 1);
    const std::string file = folder.file("square.ddd");
    EXPECT_EQ(SaveObject(RtString(file.c_str()), 3), 1);
    LoadObject(RtString(file.c_str()), 9);
    EXPECT_EQ(r->objects.data[9].used, 1);
    EXPECT_EQ(FindFreeObjectSlot(), 4095);
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 0, 5, 0, 0, 0);
    DrawObject(9, 0);
    EXPECT_TRUE(near(px(32, 32), 0xFFFFFFFFu, 2));
    LoadObject(RtString(folder.file("missing.ddd").c_str()), 9);  // emptied by the first, empty-named load
    EXPECT_EQ(r->objects.data[9].used, 0);
    EXPECT_EQ(r->objects.data[9].parts.count, 0);
}

}  // namespace
