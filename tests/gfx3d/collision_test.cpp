// Collision of spheres, boxes and rays with object triangles: the triangle
// routines, the per-part and per-slot tests with their hit triangles, and
// the carrying of shapes into the object's space.
#include <gtest/gtest.h>

#include <random>

#include "gfx3d/collision.h"
#include "mesh_fixtures.h"

namespace {

using meshtest::RendererFixture;

const float kOrigin[3] = {0, 0, 0};

class Collision : public ::testing::Test {
protected:
    RendererFixture fixture;
    Rainbows3D& r = fixture.renderer();
};

}  // namespace

TEST(CollisionRoutines, PointInPolygonByAngleSum) {
    const Vec3 t[3] = {{0, 0, 0}, {3, 0, 0}, {0, 3, 0}};
    EXPECT_EQ(1, pointInPolygon({1, 1, 0}, t, 3));
    EXPECT_EQ(0, pointInPolygon({4, 4, 0}, t, 3));
    EXPECT_EQ(1, pointInPolygon({1.5f, 0, 0}, t, 3));  // on an edge: half turns clamp, no NaN
    EXPECT_EQ(0, pointInPolygon({1, 1, 0}, t, 0));
}

TEST(CollisionRoutines, SphereTriangleNeedsThePlaneStrictlyCloserThanTheRadius) {
    const Vec3 t[3] = {{-1, 0, -1}, {1, 0, -1}, {0, 0, 1}};
    EXPECT_EQ(1, collideSphereTriangle(t, {0, 0.5f, 0}, 3, 0.6f));
    EXPECT_EQ(0, collideSphereTriangle(t, {0, 0.5f, 0}, 3, 0.5f));  // exactly at the radius
    EXPECT_EQ(0, collideSphereTriangle(t, {3, 0.1f, 0}, 3, 0.5f));
    EXPECT_EQ(1, collideSphereTriangle(t, {1.3f, 0.1f, -1.0f}, 3, 0.5f));  // beside the corner, within reach
    EXPECT_EQ(1, sphereTouchesEdges({0, 0, -1.4f}, t, 3, 0.5f));
    EXPECT_EQ(0, sphereTouchesEdges({0, 0, -1.6f}, t, 3, 0.5f));
    EXPECT_EQ(1, sphereTouchesEdges({1.45f, 0, -1}, t, 3, 0.5f));  // past the end of an edge: its corner
    EXPECT_EQ(0, sphereTouchesEdges({1.55f, 0, -1}, t, 3, 0.5f));
}

TEST(CollisionRoutines, BoxTriangleSeparatingAxes) {
    const Vec3 a{1, 0, 0}, b{0, 1, 0}, c{0, 0, 1};
    const Vec3 t0{-5, 2, -5}, t1{5, 2, -5}, t2{0, 2, 5};
    EXPECT_EQ(1, boxTriangleOverlap({0, 1, 0}, a, b, c, t0, t1, t2));  // the box's top face touches
    EXPECT_EQ(0, boxTriangleOverlap({0, 0.99f, 0}, a, b, c, t0, t1, t2));
    // Beside the plane of a tilted triangle and inside its outline: only the
    // triangle's normal separates the two.
    const Vec3 s0{-3, -1, 0.5f}, s1{3, -1.5f, 1}, s2{0, 3, -1};
    const Vec3 small[3] = {a * 0.2f, b * 0.2f, c * 0.2f};
    EXPECT_EQ(0, boxTriangleOverlap({0, 0.28f, 0.45f}, small[0], small[1], small[2], s0, s1, s2));
    EXPECT_EQ(1, boxTriangleOverlap({0, 1.0f / 6, 1.0f / 6}, small[0], small[1], small[2], s0, s1, s2));
}

TEST(CollisionRoutines, RayDistanceIsSignedAlongTheDirection) {
    const Vec3 t[3] = {{-1, -1, 5}, {1, -1, 5}, {0, 1, 5}};
    EXPECT_FLOAT_EQ(5.0f, static_cast<float>(rayTriangleDistance(t, {0, 0, 0}, {0, 0, 1})));
    EXPECT_FLOAT_EQ(2.5f, static_cast<float>(rayTriangleDistance(t, {0, 0, 0}, {0, 0, 2})));
    EXPECT_FLOAT_EQ(-5.0f, static_cast<float>(rayTriangleDistance(t, {0, 0, 10}, {0, 0, 11})));
    EXPECT_EQ(0.0, rayTriangleDistance(t, {3, 0, 0}, {3, 0, 1}));  // beside the triangle
    EXPECT_EQ(0.0, rayTriangleDistance(t, {0, 0, 0}, {1, 0, 0}));  // parallel
    EXPECT_EQ(0.0, rayTriangleDistance(t, {0, 0, 5}, {0, 0, 6}));  // starting on it
    const Vec3 flat[3] = {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}};
    EXPECT_EQ(0.0, rayTriangleDistance(flat, {0, 0, -1}, {0, 0, 1}));
}

TEST(CollisionRoutines, SphereBoxComparesSquaredDistances) {
    EXPECT_EQ(1, sphereBoxOverlap({2, 0, 0}, 1.0f, 1, 1, 1));
    EXPECT_EQ(0, sphereBoxOverlap({2, 0, 0}, 0.99f, 1, 1, 1));
    EXPECT_EQ(1, sphereBoxOverlap({2, 2, 0}, 2.0f, 1, 1, 1));
    EXPECT_EQ(1, sphereBoxOverlap({0, 0, -0.5f}, 0.0f, 1, 1, 1));
}

TEST(CollisionRoutines, PlaneHelpers) {
    const Vec3 up{0, 1, 0};
    const Vec3 p = intersectRayPlane(up, {0, 5, 0}, {0, 3, 0}, -1.0f);
    EXPECT_FLOAT_EQ(1.0f, p.y);
    EXPECT_EQ(4.0f, intersectRayPlane(up, {4, 5, 0}, {5, 5, 0}, 0).x);  // parallel: p0
    const Vec3 t[3] = {{-1, 0, -1}, {0, 0, 1}, {1, 0, -1}};
    EXPECT_EQ(1, intersectRayTriangle(t, {0, 1, 0}, {0, -1, 0}, 3));
    EXPECT_EQ(0, intersectRayTriangle(t, {0, 1, 0}, {0, 0.5f, 0}, 3));
    float d = 0;
    EXPECT_EQ(1, classifySpherePlane({0, 0.5f, 0}, up, {0, 0, 0}, 1, d));
    EXPECT_EQ(0.5f, d);
    EXPECT_EQ(2, classifySpherePlane({0, 3, 0}, up, {0, 0, 0}, 1, d));
    EXPECT_EQ(0, classifySpherePlane({0, 1, 0}, up, {0, 0, 0}, 1, d));
    EXPECT_EQ(0, classifySpherePlane({0, -3, 0}, up, {0, 0, 0}, 1, d));
}

TEST_F(Collision, SphereCoveringTheFirstVertexHitsWithoutATriangle) {
    fixture.putTriangles(1, meshtest::floorCorners(0, 1));
    const float centre[3] = {-1, 0.2f, 1};
    EXPECT_EQ(1, r.collideSphereSlot(1, 0, 0.5f, centre));
    EXPECT_EQ(-1, lastHitVertex);
    EXPECT_EQ(0, r.getHitTriangle());
}

TEST_F(Collision, SphereReportsTheFirstTriangleItTouches) {
    fixture.putTriangles(1, meshtest::floorCorners(0, 1));
    const float overSecond[3] = {-0.5f, 0.3f, -0.6f};  // above the second triangle only
    EXPECT_EQ(1, r.collideSphereSlot(1, 0, 0.4f, overSecond));
    EXPECT_EQ(3, lastHitVertex);
    EXPECT_EQ(1, r.getHitTriangle());
    const float above[3] = {-0.5f, 0.4f, -0.6f};  // plane exactly at the radius
    EXPECT_EQ(0, r.collideSphereSlot(1, 0, 0.4f, above));
    EXPECT_EQ(-1, lastHitVertex);
    const float far[3] = {50, 0, 0};
    EXPECT_EQ(0, r.collideSphereSlot(1, 0, 0.4f, far));
}

TEST_F(Collision, TestsUseTheCurrentTransform) {
    fixture.putTriangles(1, meshtest::floorCorners(0, 1));
    Object3DTransform& t = r.currentTransform();
    t.position[0] = 10.0f;
    t.rotations[0] = TransformRotation{90.0f, 0, 0, 1};  // the floor stands up: its normal along -x
    t.rotationCount = 1;
    t.matrixValid = 0;
    const float beside[3] = {10.3f, 0.5f, 0.5f};
    EXPECT_EQ(1, r.collideSphereSlot(1, 0, 0.4f, beside));
    const float old[3] = {-0.5f, 0.3f, -0.6f};
    EXPECT_EQ(0, r.collideSphereSlot(1, 0, 0.4f, old));
    const float start[3] = {12, 0.5f, 0.5f}, left[3] = {-1, 0, 0};
    EXPECT_NEAR(2.0, r.rayDistanceSlot(1, 0, start, left), 1e-5);
    EXPECT_EQ(0, lastHitVertex);
}

TEST_F(Collision, BoxesMissFarAwayAndHitWhenAFaceTouches) {
    fixture.putTriangles(2, meshtest::floorCorners(0, 1));
    const float a[3] = {0.5f, 0, 0}, b[3] = {0, 0, 0.5f}, c[3] = {0, 0.5f, 0};
    const float touching[3] = {0.5f, 0.5f, 0.5f};
    EXPECT_EQ(1, r.collideBoxSlot(2, 0, touching, a, b, c));
    EXPECT_EQ(0, lastHitVertex);
    const float lifted[3] = {0.5f, 0.51f, 0.5f};
    EXPECT_EQ(0, r.collideBoxSlot(2, 0, lifted, a, b, c));
    EXPECT_EQ(-1, lastHitVertex);
    const float far[3] = {100, 0, 0};
    EXPECT_EQ(0, r.collideBoxSlot(2, 0, far, a, b, c));
    const float onSecond[3] = {-0.6f, 0.2f, -0.7f};
    const float small[3] = {0.1f, 0, 0}, smallB[3] = {0, 0, 0.1f}, smallC[3] = {0, 0.25f, 0};
    EXPECT_EQ(1, r.collideBoxSlot(2, 0, onSecond, small, smallB, smallC));
    EXPECT_EQ(3, lastHitVertex);
}

TEST_F(Collision, RayFromInsideACubeMeasuresToTheWallAhead) {
    fixture.putTriangles(3, meshtest::cubeCorners(2.0f));
    const float start[3] = {0.5f, 0.25f, 0.5f}, up[3] = {0, 3, 0};
    EXPECT_FLOAT_EQ(1.75f, static_cast<float>(r.rayDistanceSlot(3, 0, start, up)));
    EXPECT_TRUE(lastHitVertex == 24 || lastHitVertex == 27);  // the +y face
    const float outside[3] = {0.5f, 5.0f, 0.5f};
    EXPECT_FLOAT_EQ(-3.0f, static_cast<float>(r.rayDistanceSlot(3, 0, outside, up)));
    const float beside[3] = {9, 9, 9};
    EXPECT_EQ(0.0, r.rayDistanceSlot(3, 0, beside, up));
    EXPECT_EQ(-1, lastHitVertex);
    EXPECT_EQ(0, r.getHitTriangle());
}

TEST_F(Collision, EveryTestGivesZeroForAFrameWithoutATriangle) {
    MeshObjectX& part = fixture.putTriangles(4, meshtest::floorCorners(0, 1));
    part.frames.data[0].triangles.count = 2;
    const float centre[3] = {0, 0, 0}, axis[3] = {0.5f, 0, 0};
    lastHitVertex = 6;
    EXPECT_EQ(0, r.collideSphereSlot(4, 0, 5, centre));
    EXPECT_EQ(-1, lastHitVertex);
    EXPECT_EQ(0, r.collideBoxSlot(4, 0, centre, axis, axis, axis));
    lastHitVertex = 6;
    EXPECT_EQ(0.0, r.rayDistanceSlot(4, 0, centre, axis));
    EXPECT_EQ(6, lastHitVertex);  // the ray leaves it alone
    part.frames.data[0].triangles.count = 6;
    EXPECT_EQ(0, r.collideSphereSlot(4, 1, 5, centre));
    EXPECT_EQ(0, r.collideSphereSlot(4, -1, 5, centre));
    EXPECT_EQ(0, r.collideSphereSlot(kObjectSlotCount, 0, 5, centre));
    EXPECT_EQ(0, r.collideSphereSlot(-1, 0, 5, centre));
}

TEST_F(Collision, RayOverPartsTakesTheNearestAheadElseTheNearestBehind) {
    Object3DSlot& s = *r.slot(5);
    s.parts.reserve(2);
    s.parts.count = 2;
    meshtest::fillTriangleList(s.parts.data[0], meshtest::floorCorners(4, 1));
    meshtest::fillTriangleList(s.parts.data[1], meshtest::floorCorners(2, 1));
    const float start[3] = {0.2f, 0, 0.3f}, up[3] = {0, 1, 0}, down[3] = {0, -1, 0};
    EXPECT_FLOAT_EQ(2.0f, static_cast<float>(r.rayDistanceSlot(5, 0, start, up)));
    EXPECT_FLOAT_EQ(-2.0f, static_cast<float>(r.rayDistanceSlot(5, 0, start, down)));
    const float centre[3] = {0.5f, 2.2f, 0.5f};
    EXPECT_EQ(1, r.collideSphereSlot(5, 0, 0.3f, centre));  // the second part
    const float point[3] = {1.5f, 0, 0};
    EXPECT_EQ(1, r.collideSphereBox(point, 0.25f, 1, 1, 1));
    EXPECT_EQ(0, r.collideSphereBox(point, 0.24f, 1, 1, 1));
    EXPECT_EQ(1, r.collideSphereBox(kOrigin, 0, 0, 0, 0));
}

TEST_F(Collision, QuickRejectionsLetEveryRealHitThrough) {
    // A 2 x 2 x 2 box beside the cube's corner region overlaps 7 of its triangles.
    fixture.putTriangles(1, meshtest::cubeCorners(1));
    const float corner[3] = {1.9f, 1.9f, 0}, a[3] = {1, 0, 0}, b[3] = {0, 0, 1}, c[3] = {0, 1, 0};
    EXPECT_EQ(1, r.collideBoxSlot(1, 0, corner, a, b, c));
    const float apart[3] = {2.1f, 2.1f, 0};
    EXPECT_EQ(0, r.collideBoxSlot(1, 0, apart, a, b, c));

    // A 45-degree cone along +z: a small triangle at (3, 0, 4) lies inside it,
    // one at (8, 0, 4) outside; together their bounds must not hide the hit.
    auto triangleAt = [](float x, float y, float z) {
        return std::vector<Vec3>{{x, y, z}, {x + 0.1f, y, z}, {x, y + 0.1f, z}};
    };
    std::vector<Vec3> both = triangleAt(3, 0, 4), outside = triangleAt(8, 0, 4);
    both.insert(both.end(), outside.begin(), outside.end());
    fixture.putTriangles(2, triangleAt(3, 0, 4));
    fixture.putTriangles(3, both);
    fixture.putTriangles(4, outside);
    EXPECT_EQ(1.0, r.coneHitsSlot(2, 0, 0, 0, 0, 0, 0, 1, 45));
    EXPECT_EQ(1.0, r.coneHitsSlot(3, 0, 0, 0, 0, 0, 0, 1, 45));
    EXPECT_EQ(0.0, r.coneHitsSlot(4, 0, 0, 0, 0, 0, 0, 1, 45));
    // A wide cone reaches an object whose centre lies behind its apex.
    std::vector<Vec3> straddling = triangleAt(5, 0, 1), behind = triangleAt(5, 0, -3);
    straddling.insert(straddling.end(), behind.begin(), behind.end());
    fixture.putTriangles(5, straddling);
    EXPECT_EQ(1.0, r.coneHitsSlot(5, 0, 0, 0, 0, 0, 0, 1, 80));
    EXPECT_EQ(1.0, r.coneHitsSlot(5, 0, 0, 0, 0, 0, 0, 1, 100));  // beyond 90 degrees: as 80, ahead only
    EXPECT_EQ(0.0, r.coneHitsSlot(5, 0, 0, 0, 0, 0, 0, 1, 70));
}

TEST_F(Collision, RaysBesideTheBoundsGiveWhatEveryTriangleWouldGive) {
    // Rays through the corners of a cube, which lie on its bounding sphere
    // (exactly under a turn and an even scale), some touching the sphere
    // there, some passing just beside, under even and uneven scales, shears
    // and far translations: the result and the hit triangle are those of
    // visiting every carried triangle.
    const MeshObjectX& part = fixture.putTriangles(1, meshtest::cubeCorners(1));
    const MeshFrame& frame = part.frames.data[0];
    std::mt19937 random(20240612);
    auto uniform = [&](float low, float high) { return std::uniform_real_distribution<float>(low, high)(random); };
    auto anyVector = [&] { return Vec3{uniform(-1, 1), uniform(-1, 1), uniform(-1, 1)}; };
    int hits = 0, misses = 0;
    for (int round = 0; round < 6000; ++round) {
        float (&m)[16] = r.currentTransform().matrix;
        for (float& e : m) e = 0.0f;
        m[15] = 1.0f;
        if (round % 2 == 0) {  // a turn (a unit quaternion) times an even scale
            const float q[4] = {uniform(-1, 1), uniform(-1, 1), uniform(-1, 1), uniform(-1, 1)};
            const float n = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
            const float w = q[0] / n, x = q[1] / n, y = q[2] / n, z = q[3] / n, s = uniform(0.1f, 4);
            const float turn[9] = {1 - 2 * (y * y + z * z), 2 * (x * y + w * z), 2 * (x * z - w * y),
                                   2 * (x * y - w * z), 1 - 2 * (x * x + z * z), 2 * (y * z + w * x),
                                   2 * (x * z + w * y), 2 * (y * z - w * x), 1 - 2 * (x * x + y * y)};
            for (int k = 0; k < 9; ++k) m[k / 3 * 4 + k % 3] = turn[k] * s;
        } else {
            for (int k : {0, 1, 2, 4, 5, 6, 8, 9, 10}) m[k] = uniform(-3, 3);
        }
        for (int k : {12, 13, 14}) m[k] = round % 5 == 0 ? uniform(-1e4f, 1e4f) : uniform(-5, 5);
        r.currentTransform().matrixValid = 1;
        const ObjectPlacement place(r);
        const Vec3 centre = place.toWorld(vec3(frame.centre));
        const Vec3 corner = place.toWorld(positionOf(frame.triangles.data[random() % 36]));
        const Vec3 direction = round % 3 == 0 ? anyVector() : cross(corner - centre, anyVector());  // or touching
        const Vec3 beside = round % 3 == 2 ? anyVector() * 1e-3f : Vec3{};
        const Vec3 start = corner + beside - direction * uniform(-20, 20);
        const Vec3 end = start + normalisedOrKept(direction);
        float front = 0.0f, back = 0.0f;
        int32_t frontIndex = -1, backIndex = -1;
        for (int32_t i = 0; i < frame.triangles.count; i += 3) {
            Vec3 triangle[3];
            place.triangle(frame, i, triangle);
            const float d = static_cast<float>(rayTriangleDistance(triangle, start, end));
            if (d > 0.0f && (front == 0.0f || d < front)) front = d, frontIndex = i;
            if (d < 0.0f && (back == 0.0f || d > back)) back = d, backIndex = i;
        }
        const float from[3] = {start.x, start.y, start.z}, along[3] = {direction.x, direction.y, direction.z};
        const double got = r.rayDistanceSlot(1, 0, from, along);
        ASSERT_EQ(front != 0.0f ? front : back, got) << round;
        ASSERT_EQ(front != 0.0f ? frontIndex : backIndex, lastHitVertex) << round;
        (got != 0.0 ? hits : misses) += 1;
    }
    EXPECT_GT(hits, 1000);
    EXPECT_GT(misses, 1000);
}
