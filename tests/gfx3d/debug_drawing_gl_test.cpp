// Helper drawings in the scene: what they draw and the state they leave.
#include "gfx2d/gfx2d_commands.h"
#include "gfx2d/gl_state_cache.h"
#include "gfx3d/scene_commands.h"
#include "scene_fixture.h"

namespace {

using namespace scenetest;


// Mostly of one channel (0 red, 1 green, 2 blue): smoothed lines may blend.
::testing::AssertionResult mostly(uint32_t pixel, int channel) {
    for (int c = 0; c < 3; ++c) {
        const int value = (pixel >> (8 * c)) & 0xFF;
        if (c == channel ? value < 100 : value > 60) {
            return ::testing::AssertionFailure() << std::hex << "0x" << pixel << " is not mostly channel " << channel;
        }
    }
    return ::testing::AssertionSuccess();
}

int litPixels() {
    int count = 0;
    for (uint32_t p : testsupport::readFramePixels(0, 0, kSize, kSize)) count += (p & 0xFFFFFF) != 0;
    return count;
}

class DebugDrawing : public Scene {
protected:
    void SetUp() override {
        Scene::SetUp();
        StartScene3D(1.0, 100.0, 60.0);
        SetCamera(0, 0, 5, 0, 0, 0);
    }
};

TEST_F(DebugDrawing, LineAndPointInTheirColours) {
    DrawLine3D(-10, 0.05, 0, 10, 0.05, 0, 3, 0x0000FF);  // along row 31
    EXPECT_TRUE(mostly(px(10, 31), 0));
    GLfloat width = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 1.0f);
    DrawPoint3D(0, 1, 0, 8, 0x00FF00);
    EXPECT_TRUE(mostly(px(32, 21), 1));  // y = 1 lies 11 pixels above the centre
    EXPECT_FALSE(glIsEnabled(GL_POINT_SMOOTH));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
}

TEST_F(DebugDrawing, PointOfSizeZeroRestoresSizeOne) {
    const float p[3] = {0, 0, 0};
    r->drawPoint(p, 0xFFFFFF, 0.0f);
    GLfloat size = 0;
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, 1.0f);
    float colour[4];
    glcache::lastColour(colour);
    EXPECT_EQ(colour[3], g->alpha);
}

TEST_F(DebugDrawing, DrawingsPutLightingBack) {
    SetLight(0, 0xFFFFFF, 0, 0, 0, 0, 0, -1, 180);
    const float p[3] = {0, 0, 0}, q[3] = {1, 1, 1};
    r->drawLine(p, q, 0xFFFFFF, 2.0f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    r->drawDebugSphere(p, 1.0f, 0xFF, 2);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

TEST_F(DebugDrawing, AxesKeepTexturingOnlyWhenASpriteWasBound) {
    solidSprite(3, 0xFFFFFFFFu);
    SetTexture(3, -1);
    DrawAxes(0, 0, 0);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    SetTexture(-1, -1);
    g->clear(0);
    DrawAxes(0, 0.05f, 0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    // 20 units of x axis in red along row 31: well past the right edge.
    EXPECT_TRUE(mostly(px(50, 31), 0));
}

TEST_F(DebugDrawing, SphereAndBoxLeaveBlendingOff) {
    glcache::enableCapability(GL_BLEND);
    const float c[3] = {0, 0, 0};
    r->drawDebugSphere(c, 1.0f, 0x00FF00, 1);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_GT(litPixels(), 50);
    glcache::enableCapability(GL_BLEND);
    const float a[3] = {1, 0, 0}, b[3] = {0, 1, 0}, d[3] = {0, 0, 1};
    r->drawDebugBox(c, a, b, d, 0xFF0000, 1);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
}

}  // namespace
