// Two kinds of geometry on the renderer's side: the cone test (does any
// triangle of an object lie inside a cone given by an apex, an axis and a
// half angle: a view or aim cone) and the mapping of points between the
// 3-D world and window pixels. Matrices are 16 floats, column-major; a
// viewport is x, y, width, height. All arithmetic is in 32-bit floats.
//
// The renderer's cone tests are Rainbows3D methods (coneHitsSlot,
// coneHitsPart); a negative frame number gives 0 like one beyond the last.
#pragma once
#include <cstdint>

#include "gfx3d/vec3.h"

// 1 when the triangle has a point inside the cone with apex V, unit axis D
// and the given cosine of the half angle (the cone's forward half only).
int32_t coneTriangleOverlap(const Vec3& axis, const Vec3& apex, float cosine, const Vec3& p0, const Vec3& p1,
                            const Vec3& p2);

// The float whose bits are ((bits(x) - 0x3F800000) >> 1) + 0x3F800000 in
// unsigned 32-bit arithmetic: a square root, exact for 1, 4, 16, ... and up
// to about 6 per cent off in between.
float approxSqrt(float x);

// World to window: modelview, projection, perspective division, viewport;
// rows counted from the top of the viewport. False (outputs untouched)
// when the clip w is 0.
bool projectPoint(float x, float y, float z, float& sx, float& sy, float& sz, const int32_t (&viewport)[4],
                  const float (&projection)[16], const float (&modelview)[16]);
// Window to world through the inverse of projection x modelview (the
// identity when that product is singular). False (outputs untouched) when
// the result's w is 0.
bool unprojectPoint(float sx, float sy, float sz, float& x, float& y, float& z, const int32_t (&viewport)[4],
                    const float (&projection)[16], const float (&modelview)[16]);

// The inverse by cofactors; false (out untouched) when the determinant is exactly 0.
bool invertByCofactors(const float (&m)[16], float (&out)[16]);
