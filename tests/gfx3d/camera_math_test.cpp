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

// An up vector along the view (a camera looking straight down or up with the
// default up) still gives a turn: the target lands straight ahead and the
// three axes stay orthonormal, so the scene does not collapse to a point.
TEST_F(CameraMath, UpAlongTheViewStillGivesATurn) {
    struct Case {
        float eye[3], target[3], up[3], screenUp[3];
    };
    const Case cases[] = {
        {{0, 10, 0}, {0, 0, 0}, {0, 1, 0}, {0, 0, -1}},   // straight down: far side of the world is up
        {{2, -5, 1}, {2, 5, 1}, {0, 1, 0}, {0, 0, -1}},   // straight up
        {{0, 0, 10}, {0, 0, 0}, {0, 0, 3}, {0, 1, 0}},    // up along the view on the z axis
        {{0, 10, 0}, {0, 0, 0}, {0, -2, 0}, {0, 0, -1}},  // up against the view
        {{0, 10, 0}, {0, 0, 0}, {0, 1e6f, 0}, {0, 0, -1}},  // a long up along the view
        {{0, 0, 10}, {0, 0, 0}, {0, 0, 2e9f}, {0, 1, 0}},
    };
    for (const Case& c : cases) {
        float m[16];
        r.loadViewMatrix(c.eye, c.target, c.up, m);
        const float distance = std::hypot(c.target[0] - c.eye[0], c.target[1] - c.eye[1], c.target[2] - c.eye[2]);
        float seen[3];
        for (int row = 0; row < 3; ++row) {
            seen[row] = m[row] * c.target[0] + m[4 + row] * c.target[1] + m[8 + row] * c.target[2] + m[12 + row];
        }
        EXPECT_NEAR(seen[0], 0.0f, 1e-5f);
        EXPECT_NEAR(seen[1], 0.0f, 1e-5f);
        EXPECT_NEAR(seen[2], -distance, 1e-5f);
        for (int a = 0; a < 3; ++a) {
            for (int b = 0; b < 3; ++b) {
                const float d = m[a] * m[b] + m[4 + a] * m[4 + b] + m[8 + a] * m[8 + b];
                EXPECT_NEAR(d, a == b ? 1.0f : 0.0f, 1e-6f) << a << b;
            }
        }
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(m[4 * k + 1], c.screenUp[k], 1e-6f) << k;
    }
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
