// The camera arithmetic that needs no GL context: the look-at matrix, the
// projection matrices, the frustum planes and the sphere test.
#include <gtest/gtest.h>

#include <cmath>

#include "gfx3d/rainbows3d.h"

namespace {

class CameraMath : public ::testing::Test {
protected:
    Rainbows3D r{nullptr};
};

TEST_F(CameraMath, LookAtMatrixMovesTheEyeToTheOrigin) {
    const float eye[3] = {0, 0, 10}, target[3] = {0, 0, 0}, up[3] = {0, 1, 0};
    float m[16];
    r.loadViewMatrix(eye, target, up, m);
    const float expected[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -10, 1};
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(m[i], expected[i]) << i;
}

TEST_F(CameraMath, EyeOnTheTargetGivesAFiniteDegenerateMatrix) {
    const float eye[3] = {1, 2, 3}, up[3] = {0, 1, 0};
    float m[16];
    r.loadViewMatrix(eye, eye, up, m);
    for (float v : m) EXPECT_TRUE(std::isfinite(v));
    EXPECT_EQ(m[2], 0.0f);  // z stays zero
    EXPECT_EQ(m[15], 1.0f);
}

TEST_F(CameraMath, FrustumPlanesAndTheSphereTest) {
    // A 90-degree view from the origin along -z, near 1, far 100.
    r.multProjection(-1, 1, -1, 1, 1, 100, r.projectionMatrix);
    const float eye[3] = {0, 0, 0}, target[3] = {0, 0, -1}, up[3] = {0, 1, 0};
    r.loadViewMatrix(eye, target, up, r.viewMatrix);
    r.updateCamera();
    for (const auto& plane : r.frustum) {
        EXPECT_NEAR(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2], 1.0f, 1e-5f);
    }
    EXPECT_NEAR(r.frustum[5][2], -1.0f, 1e-6f);  // near plane faces down the view
    EXPECT_NEAR(r.frustum[5][3], -1.0f, 1e-6f);
    EXPECT_EQ(r.isInFrustum(0, 0, -50, 1), 1);
    EXPECT_EQ(r.isInFrustum(0, 0, 5, 1), 0);      // behind the viewer
    EXPECT_EQ(r.isInFrustum(0, 0, -1, 0), 1);     // on the near plane, radius 0
    EXPECT_EQ(r.isInFrustum(0, 0, 0, 1), 1);      // touching the near plane from outside
    EXPECT_EQ(r.isInFrustum(0, 0, 0, 0.99f), 0);  // just short of it
    EXPECT_EQ(r.isInFrustum(0, 0, -150, 10), 0);  // beyond the far plane
    EXPECT_EQ(r.isInFrustum(200, 0, -50, 1), 0);  // off to the right
}

}  // namespace
