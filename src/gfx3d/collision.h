// Collision tests between simple shapes (sphere, oriented box, ray) and the
// triangles of an object slot, and the triangle routines under them. A test
// is asked for one slot and one animation frame; the shape is given in world
// coordinates and met by the object where the next draw puts it: the
// triangles are carried into the world through the current object transform
// (ObjectPlacement), so scale and shear count as they do on the screen, and
// radii and ray distances are world units. All arithmetic is in 32-bit
// floats, save the rays' quick rejection: a ray whose line passes clear of
// the frame's bounding sphere (with room for rounding) gives 0 without
// visiting the triangles, which is what visiting them gives.
//
// The renderer's per-slot and per-part tests are Rainbows3D methods
// (collideSphereSlot, collideBoxSlot, rayDistanceSlot, collideSphereBox and
// the per-part collideSphere, collideBoxPart, rayDistance); they leave the
// first record of the deciding triangle in lastHitVertex (rainbows3d.h).
//
// Departures, each where the exact routine was left open or gave a plainly
// wrong answer: the tests meet the shapes in the world (above) instead of
// carrying them into the object through the inverse of its rotation and
// translation alone, which made a scaled object collide at 1/scale of its
// drawn size; the box test's quick rejection compares the distance with the
// box's reach plus the bounding radius (the sum squared, not the sum of the
// squares), so it never rejects a box that touches; CollideSphereBox's box
// turns and scales with the transform, the radius staying in world units;
// the edge point of sphereTouchesEdges is the point of the edge
// segment nearest to the centre; boxTriangleOverlap tests the triangle's
// normal as its fourth axis (so a box beside a triangle's plane is never
// reported as touching it); pointInPolygon clamps the cosine of each angle
// to -1..1 (rounding never turns the angle sum into NaN); a negative frame
// number gives 0 like a frame beyond the last; a triangle list whose length
// is not a multiple of 3 has its incomplete last triangle ignored.
#pragma once
#include <cstdint>

#include "gfx3d/vec3.h"

class MeshFrame;
class Rainbows3D;

// Where the next draw puts an object: the renderer's current transform, its
// matrix brought up to date. Carries the points of a frame into the world.
class ObjectPlacement {
public:
    explicit ObjectPlacement(Rainbows3D& renderer);
    Vec3 toWorld(const Vec3& point) const;
    // The three corners of the triangle whose first record is `first`.
    void triangle(const MeshFrame& frame, int32_t first, Vec3 (&out)[3]) const;
    // A sphere around the frame's triangles in the world: the frame's centre
    // carried over, its radius times the most the matrix stretches a length.
    void bounds(const MeshFrame& frame, Vec3& centre, float& radius) const;

private:
    const float (*matrix_)[16];  // the transform's finished matrix, column-major
    bool identity_;
};

// 1 when the sphere touches the polygon of `count` vertices (a triangle
// normally): its plane closer than the radius, and the centre's foot inside
// the polygon or an edge within the radius.
int32_t collideSphereTriangle(const Vec3* vertices, const Vec3& centre, int32_t count, float radius);
// 1 when the angles from the point to consecutive vertices add up to at
// least 0.99 of a full turn (the point inside the polygon's outline).
int32_t pointInPolygon(const Vec3& point, const Vec3* vertices, int32_t count);
// 1 when some edge segment passes closer than the radius to the centre.
int32_t sphereTouchesEdges(const Vec3& centre, const Vec3* vertices, int32_t count, float radius);
// Separating axes between the box (centre, half-axis vectors a, b, c) and
// the triangle; touching counts as overlap. 1 when no axis separates them.
int32_t boxTriangleOverlap(const Vec3& centre, const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& t0,
                           const Vec3& t1, const Vec3& t2);
// The signed distance along end - start from start to the triangle's plane
// where the line meets the triangle; 0 for a miss, a line parallel to the
// plane or a degenerate triangle. Hits behind the start are negative.
double rayTriangleDistance(const Vec3 (&triangle)[3], const Vec3& start, const Vec3& end);
// 1 when the squared distance from p to the box of half sizes h (centred at
// the origin) is at most rr.
int32_t sphereBoxOverlap(const Vec3& p, float rr, float hx, float hy, float hz);
// The point where the line from p0 towards p1 meets the plane N . x + d = 0
// (p0 itself when the line is parallel to the plane).
Vec3 intersectRayPlane(const Vec3& normal, const Vec3& p0, const Vec3& p1, float d);
// 1 when the segment's ends lie strictly on both sides of the polygon's
// plane and the crossing lies inside the polygon.
int32_t intersectRayTriangle(const Vec3* vertices, const Vec3& p0, const Vec3& p1, int32_t count);
// The signed distance of the centre from the plane (stored in `distance`):
// 1 when it is below the radius in size, 2 when it is beyond it in front,
// 0 otherwise (behind, or exactly at the radius).
int32_t classifySpherePlane(const Vec3& centre, const Vec3& normal, const Vec3& planePoint, float radius,
                            float& distance);
