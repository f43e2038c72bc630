// The cone test and the projection between the world and window pixels.
#include <gtest/gtest.h>

#include <cmath>

#include "gfx3d/cone_and_projection.h"
#include "gfx2d/gl_matrix.h"
#include "gfx3d/render_state.h"
#include "mesh_fixtures.h"

namespace {

constexpr float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// glFrustum(-1, 1, -0.75, 0.75, 1, 100)
void frustum(float (&m)[16]) {
    const float n = 1, f = 100, r = 1, t = 0.75f;
    for (float& v : m) v = 0;
    m[0] = n / r;
    m[5] = n / t;
    m[10] = -(f + n) / (f - n);
    m[11] = -1;
    m[14] = -2 * f * n / (f - n);
}

const float kCos10 = std::cos(10.0f * 0.017453292f);

}  // namespace

TEST(Projection, IdentityMapsTheOriginToTheViewportCentre) {
    const int32_t viewport[4] = {0, 0, 640, 480};
    float sx = -1, sy = -1, sz = -1;
    ASSERT_TRUE(projectPoint(0, 0, 0, sx, sy, sz, viewport, kIdentity, kIdentity));
    EXPECT_EQ(320.0f, sx);
    EXPECT_EQ(240.0f, sy);
    EXPECT_EQ(0.5f, sz);
    ASSERT_TRUE(projectPoint(1, 1, 1, sx, sy, sz, viewport, kIdentity, kIdentity));
    EXPECT_EQ(640.0f, sx);
    EXPECT_EQ(0.0f, sy);  // rows from the top
    EXPECT_EQ(1.0f, sz);
}

TEST(Projection, AViewportBelowTheTopMovesThePointDownByItsY) {
    const int32_t viewport[4] = {0, 100, 640, 200};
    float sx = -1, sy = -1, sz = -1;
    ASSERT_TRUE(projectPoint(0, 0, 0, sx, sy, sz, viewport, kIdentity, kIdentity));
    EXPECT_EQ(320.0f, sx);
    EXPECT_EQ(200.0f, sy);  // the viewport's middle row
    ASSERT_TRUE(projectPoint(0, 1, 0, sx, sy, sz, viewport, kIdentity, kIdentity));
    EXPECT_EQ(100.0f, sy);  // its top row
    float x = 9, y = 9, z = 9;
    ASSERT_TRUE(unprojectPoint(320, 100, 0.5f, x, y, z, viewport, kIdentity, kIdentity));
    EXPECT_EQ(0.0f, x);
    EXPECT_EQ(1.0f, y);
    EXPECT_EQ(0.0f, z);
}

TEST(Projection, APointAtTheCameraCannotBeProjected) {
    float p[16];
    frustum(p);
    const int32_t viewport[4] = {0, 0, 640, 480};
    float sx = 7, sy = 8, sz = 9;
    EXPECT_FALSE(projectPoint(0, 0, 0, sx, sy, sz, viewport, p, kIdentity));
    EXPECT_EQ(7.0f, sx);
    EXPECT_EQ(9.0f, sz);
}

TEST(Projection, UnprojectingTheProjectionGivesThePointBack) {
    float p[16], view[16];
    frustum(p);
    std::copy(kIdentity, kIdentity + 16, view);
    view[12] = -2.0f;  // the camera moved to x = 2, looking along -z
    view[14] = -5.0f;
    const int32_t viewport[4] = {10, 20, 640, 480};
    for (const Vec3& point : {Vec3{0, 0, -10}, Vec3{3, -2, -20}, Vec3{-4, 1.5f, 6}}) {
        float sx, sy, sz, x, y, z;
        ASSERT_TRUE(projectPoint(point.x, point.y, point.z, sx, sy, sz, viewport, p, view));
        ASSERT_TRUE(unprojectPoint(sx, sy, sz, x, y, z, viewport, p, view));
        EXPECT_NEAR(point.x, x, 2e-3);
        EXPECT_NEAR(point.y, y, 2e-3);
        EXPECT_NEAR(point.z, z, 2e-3);
    }
}

TEST(Projection, ASingularMatrixUnprojectsThroughTheIdentity) {
    const float zero[16] = {};
    float inverse[16] = {};
    EXPECT_FALSE(invertByCofactors(zero, inverse));
    const int32_t viewport[4] = {0, 0, 100, 100};
    float x = 0, y = 0, z = 0;
    ASSERT_TRUE(unprojectPoint(75, 25, 1, x, y, z, viewport, zero, kIdentity));
    EXPECT_EQ(0.5f, x);
    EXPECT_EQ(0.5f, y);  // a quarter from the top
    EXPECT_EQ(1.0f, z);
    float p[16], product[16];
    frustum(p);
    ASSERT_TRUE(invertByCofactors(p, inverse));
    glmatrix::multiply(p, inverse, product);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(kIdentity[i], product[i], 1e-5) << i;
}

TEST(ConeTest, VerticesEdgesAndFaceInsideTheCone) {
    const Vec3 apex{0, 0, 0}, axis{0, 0, 1};
    // A vertex on the axis in front of the apex.
    EXPECT_EQ(1, coneTriangleOverlap(axis, apex, kCos10, {0, 0, 5}, {9, 0, 5}, {0, 9, 5}));
    // Wholly behind the apex.
    EXPECT_EQ(0, coneTriangleOverlap(axis, apex, kCos10, {0, 0, -5}, {9, 0, -5}, {0, 9, -1}));
    // Only an edge crosses the cone.
    EXPECT_EQ(1, coneTriangleOverlap(axis, apex, kCos10, {-5, 0, 10}, {5, 0, 10}, {0, 5, 20}));
    // Only the face: the axis pierces it far from every edge.
    EXPECT_EQ(1, coneTriangleOverlap(axis, apex, kCos10, {-10, -10, 10}, {10, -10, 10}, {0, 10, 10}));
    // Beside the cone.
    EXPECT_EQ(0, coneTriangleOverlap(axis, apex, kCos10, {20, -10, 10}, {40, -10, 10}, {30, 10, 10}));
    // A vertex just inside and just outside the 10-degree surface.
    const float inside = 10.0f * std::tan(9.9f * 0.017453292f), outside = 10.0f * std::tan(10.1f * 0.017453292f);
    EXPECT_EQ(1, coneTriangleOverlap(axis, apex, kCos10, {inside, 0, 10}, {30, 0, 10}, {30, 1, 10}));
    EXPECT_EQ(0, coneTriangleOverlap(axis, apex, kCos10, {outside, 0, 10}, {30, 0, 10}, {30, 1, 10}));
}

TEST(ConeTest, SlotsAreTestedInTheObjectsSpace) {
    meshtest::RendererFixture fixture;
    Rainbows3D& r = fixture.renderer();
    fixture.putTriangles(8, meshtest::floorCorners(0, 1));
    EXPECT_EQ(1.0, r.coneHitsSlot(8, 0, 0, 5, 0, 0, -1, 0, 10));
    EXPECT_EQ(0.0, r.coneHitsSlot(8, 0, 0, 5, 0, 0, 1, 0, 10));  // looking away
    EXPECT_EQ(0.0, r.coneHitsSlot(8, 0, 5, 5, 0, 0, -1, 0, 10));  // beside the floor
    EXPECT_EQ(1.0, r.coneHitsSlot(8, 0, 5, 5, 0, 0, -1, 0, 60));  // a wide cone reaches it
    EXPECT_EQ(0.0, r.coneHitsSlot(8, 1, 0, 5, 0, 0, -1, 0, 10));  // no frame 1
    r.currentTransform().position[0] = 5.0f;  // the floor moves under the second apex
    r.currentTransform().matrixValid = 0;
    EXPECT_EQ(1.0, r.coneHitsSlot(8, 0, 5, 5, 0, 0, -1, 0, 10));
    EXPECT_EQ(0.0, r.coneHitsSlot(8, 0, 0, 5, 0, 0, -1, 0, 10));
    EXPECT_EQ(0.0, r.coneHitsSlot(-3, 0, 0, 5, 0, 0, -1, 0, 10));
}
