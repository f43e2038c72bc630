// Two kinds of geometry on the renderer's side: the cone test (does any
// triangle of an object lie inside a cone given by an apex, an axis and a
// half angle: a view or aim cone) and the mapping of points between the
// 3-D world and window pixels. Matrices are 16 floats, column-major; a
// viewport is x, y, width, height. All arithmetic is in 32-bit floats.
//
// The renderer's cone tests are Rainbows3D methods (coneHitsSlot,
// coneHitsPart); a negative frame number gives 0 like one beyond the last.
//
// Departures, where the exact rules gave a plainly wrong answer: the cone
// meets the object's triangles in the world, where the next draw puts them
// (the object's scale counts, and the cone keeps its angle); its quick
// rejection is the distance from the bounding sphere's centre to the cone,
// so it never rejects an object that a triangle of it would hit (the sum of
// squares it replaces, and its rule for centres behind the apex, missed
// real hits). Both projections count rows from the top, with the
// viewport's top at its y: a point projects where GL draws it, in the
// picture's coordinates (as the mouse reads them, whatever the orientation;
// an offscreen screen's own while one is selected), and unprojecting a
// projected point gives it back.
#pragma once
#include <cstdint>

#include "gfx3d/vec3.h"

// 1 when the triangle has a point inside the cone with apex V, unit axis D
// and the given cosine of the half angle (the cone's forward half only).
int32_t coneTriangleOverlap(const Vec3& axis, const Vec3& apex, float cosine, const Vec3& p0, const Vec3& p1,
                            const Vec3& p2);

// World to window: modelview, projection, perspective division, viewport;
// rows counted from the top, the viewport's top row at its y. False
// (outputs untouched) when the clip w is 0.
bool projectPoint(float x, float y, float z, float& sx, float& sy, float& sz, const int32_t (&viewport)[4],
                  const float (&projection)[16], const float (&modelview)[16]);
// Window to world through the inverse of projection x modelview (the
// identity when that product is singular), rows from the top as
// projectPoint gives them. False (outputs untouched) when the result's w is 0.
bool unprojectPoint(float sx, float sy, float sz, float& x, float& y, float& z, const int32_t (&viewport)[4],
                    const float (&projection)[16], const float (&modelview)[16]);

// The inverse by cofactors; false (out untouched) when the determinant is exactly 0.
bool invertByCofactors(const float (&m)[16], float (&out)[16]);
