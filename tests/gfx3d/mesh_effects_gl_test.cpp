// Mesh drawing with the lighting effects on objects built through the
// commands (a stencil shadow on a floor, cel shading, bump-mapping colours),
// the shade texture, the fall-back to client arrays and one texture unit,
// and the release of the renderer at the program's end.
#include <cmath>

#include "gfx2d/gfx2d_commands.h"
#include "gfx2d/gl_extensions.h"
#include "gfx3d/mesh_drawing.h"
#include "gfx3d/scene_commands.h"
#include "gfx3d/transform_commands.h"
#include "runtime/engine/orderly_end.h"
#include "scene_fixture.h"

namespace {

using namespace scenetest;

constexpr uint32_t kWhite = 0xFFFFFFFFu;

// The cube of the fixture built through the object commands, one strip of
// three vertices per triangle, normals as given (lighting mode 0). Built
// objects face outward when wound clockwise (the normal pass's rule), so
// each triangle goes in backwards.
void buildCube(int slot, float half, int colour) {
    MeshObjectX model = cube(half);
    BeginObject(slot);
    const RtVector<MeshVertex>& t = model.frames.data[0].triangles;
    for (int i = 0; i < t.count; ++i) {
        if (i > 0 && i % 3 == 0) AddObjectVertexBreak();
        const MeshVertex& v = t.data[i - i % 3 + 2 - i % 3];
        SetVertexNormal(v.nx, v.ny, v.nz);
        AddObjectVertex(v.x, v.y, v.z, v.u, v.v, colour);
    }
    SetLightingMode(0);
    EndObject();
}

// The window pixel of a world point under the renderer's current camera.
void windowPixel(const Rainbows3D& r, float x, float y, float z, int& px, int& py) {
    const float p[4] = {x, y, z, 1};
    float eye[4], clip[4];
    for (int row = 0; row < 4; ++row) {
        eye[row] = 0;
        for (int k = 0; k < 4; ++k) eye[row] += r.viewMatrix[k * 4 + row] * p[k];
    }
    for (int row = 0; row < 4; ++row) {
        clip[row] = 0;
        for (int k = 0; k < 4; ++k) clip[row] += r.projectionMatrix[k * 4 + row] * eye[k];
    }
    px = static_cast<int>((clip[0] / clip[3] + 1) * 0.5f * kSize);
    py = static_cast<int>(kSize - (clip[1] / clip[3] + 1) * 0.5f * kSize);
}

TEST_F(Scene, StencilShadowOfACubeFallsOnTheFloor) {
    const MeshVertex floor[6] = {vertex(-5, -1, -5, 0, 1, 0), vertex(-5, -1, 5, 0, 1, 0), vertex(5, -1, 5, 0, 1, 0),
                                 vertex(-5, -1, -5, 0, 1, 0), vertex(5, -1, 5, 0, 1, 0), vertex(5, -1, -5, 0, 1, 0)};
    put(2, partFromTriangles(floor, 6));
    buildCube(1, 0.5f, 0xFFFFFF);
    ASSERT_EQ(r->objects.data[1].used, 1);
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 5, 5, 0, 0, 0);
    DrawObject(2, 0);
    DrawObject(1, 0);
    int shadowX, shadowY, litX, litY;
    windowPixel(*r, 0.0f, -1.0f, 0.4f, shadowX, shadowY);  // under the cube, seen below its front
    windowPixel(*r, 2.0f, -1.0f, 0.4f, litX, litY);
    ASSERT_TRUE(near(px(shadowX, shadowY), kWhite, 2));
    SetLight(-3, 0x0000FF, 0, 10, 0, 0, 0, 0, 1);  // red shadows from straight above
    DrawObject(1, 0);
    ClearDepth();
    EXPECT_TRUE(near(px(shadowX, shadowY), 0xFF8080FFu, 3)) << std::hex << px(shadowX, shadowY);
    EXPECT_TRUE(near(px(litX, litY), kWhite, 2)) << std::hex << px(litX, litY);
}

TEST_F(Scene, CelShadingLightsTheFaceTowardsTheLight) {
    buildCube(1, 1.0f, 0x00FF00);
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 0, 5, 0, 0, 0);
    SetCulling(1);
    SetLight(-2, 0, 0, 0, 10, 0, 0, 0, 1);
    DrawObject(1, 0);
    const MeshObjectX& part = r->objects.data[1].parts.data[0];
    ASSERT_NE(part.textureName, 0u);
    EXPECT_EQ(part.shadeScale, 1.0f / shadeTextureHeight(part.palette.count));
    EXPECT_TRUE(near(px(32, 32), 0xFF00FF00u, 4)) << std::hex << px(32, 32);
    // A new shade table drops the texture; the next draw makes it again, darker.
    const uint8_t dim[4] = {64, 64, 64, 64};
    r->setShadeTable(dim, 4);
    EXPECT_EQ(r->objects.data[1].parts.data[0].textureName, 0u);
    ClearDepth();
    DrawObject(1, 0);
    EXPECT_TRUE(near(px(32, 32), 0xFF004000u, 4)) << std::hex << px(32, 32);
}

TEST_F(Scene, BumpMappingWritesTheLightVectorAsColour) {
    buildCube(1, 1.0f, 0xFFFFFF);
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 0, 5, 0, 0, 0);
    SetLight(-1, 0, 0, 0, 100, 0, 0, 0, 1);
    DrawObject(1, 0);
    // Straight towards the front face: N . L = 1 gives 255 in blue; the
    // tangent-space parts lie about the middle.
    const uint32_t pixel = px(32, 32);
    EXPECT_NEAR(static_cast<int>((pixel >> 16) & 0xFF), 255, 4) << std::hex << pixel;
}

TEST_F(Scene, ShadeTextureFromPaletteAndDefaultRamp) {
    MeshObjectX part = square(1.0f, 0.0f);
    for (uint32_t c : {0x0000FFu, 0x00FF00u, 0xFF0000u}) part.palette.append(c);
    shadeTable.clear(true);
    r->uploadTexture(&part, 0);
    ASSERT_NE(part.textureName, 0u);
    EXPECT_EQ(shadeTable.count, 16);
    EXPECT_EQ(shadeTable.data[0], 100);
    EXPECT_EQ(part.shadeScale, 0.25f);
    GLint width = 0, height = 0;
    glBindTexture(GL_TEXTURE_2D, part.textureName);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 4);
    uint8_t texels[64 * 4 * 4];
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    EXPECT_EQ(texels[(3 * 64 + 63) * 4 + 0], 255);  // row 3 repeats colour 0, red
    EXPECT_EQ(texels[(3 * 64 + 63) * 4 + 1], 0);
    EXPECT_EQ(texels[(1 * 64 + 0) * 4 + 1], 100);  // green at the ramp's start
    const GLuint name = part.textureName;
    r->uploadTexture(&part, 0);  // made once
    EXPECT_EQ(part.textureName, name);
}

TEST_F(Scene, WithoutExtensionsDrawsFromClientArraysOnOneUnit) {
    solidSprite(20, 0xFF0000FFu);
    solidSprite(21, 0xFFFF0000u);
    put(1, square(1.0f, 0.0f));
    const auto bind = glext::glBindBufferARB;
    const auto gen = glext::glGenBuffersARB;
    const auto active = glext::glActiveTextureARB;
    const auto clientActive = glext::glClientActiveTextureARB;
    const auto multiTexCoord = glext::glMultiTexCoord2fARB;
    glext::glBindBufferARB = nullptr;
    glext::glGenBuffersARB = nullptr;
    glext::glActiveTextureARB = nullptr;
    glext::glClientActiveTextureARB = nullptr;
    glext::glMultiTexCoord2fARB = nullptr;
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 0, 5, 0, 0, 0);
    SetTexture(20, 21);
    DrawObjectAnimated(1, 0, 0, 0.5, 1);
    SetLight(-2, 0, 0, 0, 10, 0, 0, 0, 1);  // an effect falls back to plain drawing
    DrawObject(1, 0);
    const uint32_t pixel = px(32, 32);
    glext::glBindBufferARB = bind;
    glext::glGenBuffersARB = gen;
    glext::glActiveTextureARB = active;
    glext::glClientActiveTextureARB = clientActive;
    glext::glMultiTexCoord2fARB = multiTexCoord;
    EXPECT_EQ(r->objects.data[1].parts.data[0].bufferNames[0], 0u);
    EXPECT_EQ(r->objects.data[1].parts.data[0].bufferNames[1], 0u);
    EXPECT_TRUE(near(pixel, 0xFF0000FFu, 2)) << std::hex << pixel;
}

TEST_F(Scene, BuffersAreMadeOnceForFrameZero) {
    put(1, square(1.0f, 0.0f));
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 0, 5, 0, 0, 0);
    DrawObject(1, 0);
    const MeshObjectX& part = r->objects.data[1].parts.data[0];
    const uint32_t staticBuffer = part.bufferNames[0];
    EXPECT_NE(staticBuffer, 0u);
    EXPECT_EQ(part.bufferNames[1], 0u);
    DrawObject(1, 0);
    EXPECT_EQ(part.bufferNames[0], staticBuffer);
    SetTextureOffset(0.1, 0);  // now from the draw array, streamed
    DrawObject(1, 0);
    EXPECT_NE(part.bufferNames[1], 0u);
    EXPECT_TRUE(near(px(32, 32), kWhite, 2));
}

TEST_F(Scene, ScalingADrawnObjectShowsAtTheNextDraw) {
    put(1, square(0.5f, 0.0f));  // 5.5 pixels each side of the centre
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 0, 5, 0, 0, 0);
    DrawObject(1, 0);  // fills the static buffer from frame 0
    EXPECT_NE(r->objects.data[1].parts.data[0].bufferNames[0], 0u);
    EXPECT_NE(px(32 + 8, 32), kWhite);
    ScaleObjectMesh(1, 2, 2, 2);
    StartScene3D(1.0, 100.0, 60.0);
    SetCamera(0, 0, 5, 0, 0, 0);
    DrawObject(1, 0);
    EXPECT_TRUE(near(px(32 + 8, 32), kWhite, 2));
}

TEST_F(Scene, ScaledMeshesAreLitAsBrightAsBefore) {
    put(1, square(0.5f, 0.0f));
    auto litCentre = [&] {
        StartScene3D(1.0, 100.0, 60.0);
        SetCamera(0, 0, 5, 0, 0, 0);
        SetLight(0, 0x808080, 0, 0, 0, 0, 0, -1, 180);  // half bright, straight at the square
        DrawObject(1, 0);
        return px(32, 32);
    };
    const uint32_t unscaled = litCentre();
    ASSERT_TRUE(near(unscaled, 0xFF8A8A8Au, 4)) << std::hex << unscaled;  // 128 and the ambient 10
    ScaleObjectMesh(1, 2, 2, 2);
    EXPECT_TRUE(near(litCentre(), unscaled, 2)) << std::hex << px(32, 32);
    ScaleObjectMesh(1, 1, 1, 0.25);  // flatter along the view: the face still looks straight at the light
    EXPECT_TRUE(near(litCentre(), unscaled, 2)) << std::hex << px(32, 32);
}

TEST_F(Scene, ProgramEndReleasesTheRendererAfterTheWindow) {
    // The end runs in a freshly started copy of this test program: a plain
    // fork would inherit the software renderer's worker threads half-made.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            put(1, square(1.0f, 0.0f));
            buildCube(2, 1.0f, 0x00FF00);
            StartScene3D(1.0, 100.0, 60.0);
            SetLight(-2, 0, 0, 0, 10, 0, 0, 0, 1);
            DrawObject(1, 0);
            DrawObject(2, 0);
            terminateProgram();
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
