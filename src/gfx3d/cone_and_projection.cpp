// The cone test against object triangles, and projection between the world
// and window pixels.
#include "gfx3d/cone_and_projection.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "gfx3d/collision.h"
#include "gfx3d/rainbows3d.h"
#include "gfx3d/render_state.h"

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kRounding = 1e-5f;  // slack of the quick rejection, relative to the sizes compared

// False only when the sphere (centre, radius) lies wholly outside the cone
// that coneTriangleOverlap accepts: apex, unit axis, the points in front of
// the apex within the half angle, whose cosine counts by its size (a half
// angle beyond 90 degrees acts as 180 less it). Worked in the plane of the
// axis and the centre: `along` and `across` the axis, the cone's edge the
// ray at the half angle from the apex.
bool boundsMayReachCone(const Vec3& apex, const Vec3& axis, float cosine, const Vec3& centre, float radius) {
    const Vec3 c = centre - apex;
    const float squared = lengthSquared(c);
    const float along = dot(axis, c);
    const float across = std::sqrt(std::max(0.0f, squared - along * along));
    const float cosA = std::fabs(cosine), sinA = std::sqrt(std::max(0.0f, 1.0f - cosA * cosA));
    const float slack = kRounding * (std::sqrt(squared) + radius);
    // Distance beyond the line of the cone's edge (0 or less: the centre is inside).
    const float beyondEdge = across * cosA - along * sinA;
    if (beyondEdge <= 0.0f) return true;
    // Nearest point of the cone the apex itself, or a point of its edge.
    if (along * cosA + across * sinA <= 0.0f) return squared <= (radius + slack) * (radius + slack);
    return beyondEdge <= radius + slack;
}

}  // namespace

int32_t coneTriangleOverlap(const Vec3& axis, const Vec3& apex, float cosine, const Vec3& p0, const Vec3& p1,
                            const Vec3& p2) {
    const float c2 = cosine * cosine;
    const Vec3 p[3] = {p0, p1, p2};
    int32_t mask = 0;
    for (int32_t k = 0; k < 3; ++k) {
        const Vec3 delta = p[k] - apex;
        const float d = dot(axis, delta);
        if (d >= 0.0f && d * d - lengthSquared(delta) * c2 >= 0.0f) return 1;
        if (d >= 0.0f) mask |= 1 << k;
    }
    if (mask == 0) return 0;
    static constexpr int32_t kEdges[3][2] = {{0, 1}, {0, 2}, {1, 2}};
    for (const auto& edge : kEdges) {
        const int32_t startBit = 1 << edge[0], endBit = 1 << edge[1];
        if ((mask & (startBit | endBit)) == 0) continue;
        const Vec3 e = p[edge[1]] - p[edge[0]];
        const Vec3 delta = p[edge[0]] - apex;
        const float d = dot(axis, delta), dE = dot(axis, e);
        const float c0 = dE * dE - lengthSquared(e) * c2;
        if (!(c0 < 0.0f)) continue;
        const float c1 = dE * d - dot(e, delta) * c2;
        const float cS = d * d - lengthSquared(delta) * c2;
        bool qualifies = false;
        if ((mask & startBit) == 0) qualifies = c1 <= -c0 && c0 * d <= c1 * dE;
        else if ((mask & endBit) == 0) qualifies = c1 >= 0.0f && c0 * d <= c1 * dE;
        else qualifies = 0.0f <= c1 && c1 <= -c0;
        if (qualifies && cS * c0 <= c1 * c1) return 1;
    }
    const Vec3 delta0 = p0 - apex, e1 = p1 - p0, e2 = p2 - p0;
    const Vec3 n = cross(e1, e2);
    const float nD = dot(axis, n), nDelta = dot(n, delta0);
    const Vec3 u = axis * nDelta - delta0 * nD;
    const Vec3 w = cross(n, u);
    const float t1 = dot(e1, w), t2 = dot(e2, w);
    const float limit = lengthSquared(n) * nD;
    if (nD < 0.0f) {
        if (t1 < 0.0f || t2 > 0.0f) return 0;
        return t2 - t1 >= limit ? 1 : 0;
    }
    if (t1 > 0.0f || t2 < 0.0f) return 0;
    return t2 - t1 <= limit ? 1 : 0;
}

double Rainbows3D::coneHitsPart(MeshObjectX* part, int32_t frame, const float (&apex)[3], const float (&axis)[3],
                                float halfAngle) {
    if (part == nullptr || frame < 0 || frame >= part->frames.count) return 0.0;
    const MeshFrame& f = part->frames.data[frame];
    if (f.triangles.count < 3) return 0.0;
    // The cone meets the triangles where the next draw puts them, in the world.
    const ObjectPlacement place(*this);
    const Vec3 a = vec3(apex), d = normalisedOrKept(vec3(axis));
    const float cosine = std::cos(halfAngle * kDegreesToRadians);
    Vec3 frameCentre;
    float frameRadius = 0.0f;
    place.bounds(f, frameCentre, frameRadius);
    if (!boundsMayReachCone(a, d, cosine, frameCentre, frameRadius)) return 0.0;
    for (int32_t i = 0; i + 2 < f.triangles.count; i += 3) {
        Vec3 t[3];
        place.triangle(f, i, t);
        if (coneTriangleOverlap(d, a, cosine, t[0], t[1], t[2])) return 1.0;
    }
    return 0.0;
}

double Rainbows3D::coneHitsSlot(int32_t number, int32_t frame, float apexX, float apexY, float apexZ, float axisX,
                                float axisY, float axisZ, float halfAngle) {
    Object3DSlot* s = slot(number);
    if (s == nullptr) return 0.0;
    const float apex[3] = {apexX, apexY, apexZ}, axis[3] = {axisX, axisY, axisZ};
    for (int32_t p = 0; p < s->parts.count; ++p) {
        if (coneHitsPart(&s->parts.data[p], frame, apex, axis, halfAngle) != 0.0) return 1.0;
    }
    return 0.0;
}

// --- Projection ---

bool invertByCofactors(const float (&m)[16], float (&out)[16]) {
    float inv[16];
    inv[0] = m[5] * m[10] * m[15] - m[5] * m[11] * m[14] - m[9] * m[6] * m[15] + m[9] * m[7] * m[14] +
             m[13] * m[6] * m[11] - m[13] * m[7] * m[10];
    inv[4] = -m[4] * m[10] * m[15] + m[4] * m[11] * m[14] + m[8] * m[6] * m[15] - m[8] * m[7] * m[14] -
             m[12] * m[6] * m[11] + m[12] * m[7] * m[10];
    inv[8] = m[4] * m[9] * m[15] - m[4] * m[11] * m[13] - m[8] * m[5] * m[15] + m[8] * m[7] * m[13] +
             m[12] * m[5] * m[11] - m[12] * m[7] * m[9];
    inv[12] = -m[4] * m[9] * m[14] + m[4] * m[10] * m[13] + m[8] * m[5] * m[14] - m[8] * m[6] * m[13] -
              m[12] * m[5] * m[10] + m[12] * m[6] * m[9];
    inv[1] = -m[1] * m[10] * m[15] + m[1] * m[11] * m[14] + m[9] * m[2] * m[15] - m[9] * m[3] * m[14] -
             m[13] * m[2] * m[11] + m[13] * m[3] * m[10];
    inv[5] = m[0] * m[10] * m[15] - m[0] * m[11] * m[14] - m[8] * m[2] * m[15] + m[8] * m[3] * m[14] +
             m[12] * m[2] * m[11] - m[12] * m[3] * m[10];
    inv[9] = -m[0] * m[9] * m[15] + m[0] * m[11] * m[13] + m[8] * m[1] * m[15] - m[8] * m[3] * m[13] -
             m[12] * m[1] * m[11] + m[12] * m[3] * m[9];
    inv[13] = m[0] * m[9] * m[14] - m[0] * m[10] * m[13] - m[8] * m[1] * m[14] + m[8] * m[2] * m[13] +
              m[12] * m[1] * m[10] - m[12] * m[2] * m[9];
    inv[2] = m[1] * m[6] * m[15] - m[1] * m[7] * m[14] - m[5] * m[2] * m[15] + m[5] * m[3] * m[14] +
             m[13] * m[2] * m[7] - m[13] * m[3] * m[6];
    inv[6] = -m[0] * m[6] * m[15] + m[0] * m[7] * m[14] + m[4] * m[2] * m[15] - m[4] * m[3] * m[14] -
             m[12] * m[2] * m[7] + m[12] * m[3] * m[6];
    inv[10] = m[0] * m[5] * m[15] - m[0] * m[7] * m[13] - m[4] * m[1] * m[15] + m[4] * m[3] * m[13] +
              m[12] * m[1] * m[7] - m[12] * m[3] * m[5];
    inv[14] = -m[0] * m[5] * m[14] + m[0] * m[6] * m[13] + m[4] * m[1] * m[14] - m[4] * m[2] * m[13] -
              m[12] * m[1] * m[6] + m[12] * m[2] * m[5];
    inv[3] = -m[1] * m[6] * m[11] + m[1] * m[7] * m[10] + m[5] * m[2] * m[11] - m[5] * m[3] * m[10] -
             m[9] * m[2] * m[7] + m[9] * m[3] * m[6];
    inv[7] = m[0] * m[6] * m[11] - m[0] * m[7] * m[10] - m[4] * m[2] * m[11] + m[4] * m[3] * m[10] +
             m[8] * m[2] * m[7] - m[8] * m[3] * m[6];
    inv[11] = -m[0] * m[5] * m[11] + m[0] * m[7] * m[9] + m[4] * m[1] * m[11] - m[4] * m[3] * m[9] -
              m[8] * m[1] * m[7] + m[8] * m[3] * m[5];
    inv[15] = m[0] * m[5] * m[10] - m[0] * m[6] * m[9] - m[4] * m[1] * m[10] + m[4] * m[2] * m[9] +
              m[8] * m[1] * m[6] - m[8] * m[2] * m[5];
    const float det = m[0] * inv[0] + m[1] * inv[4] + m[2] * inv[8] + m[3] * inv[12];
    if (det == 0.0f) return false;
    for (int i = 0; i < 16; ++i) out[i] = inv[i] / det;
    return true;
}

bool projectPoint(float x, float y, float z, float& sx, float& sy, float& sz, const int32_t (&viewport)[4],
                  const float (&projection)[16], const float (&modelview)[16]) {
    const float point[4] = {x, y, z, 1.0f};
    float eye[4], clip[4];
    glmatrix::transform(modelview, point, eye);
    glmatrix::transform(projection, eye, clip);
    if (clip[3] == 0.0f) return false;
    const float nx = clip[0] / clip[3], ny = clip[1] / clip[3], nz = clip[2] / clip[3];
    const float vx = static_cast<float>(viewport[0]), vy = static_cast<float>(viewport[1]);
    const float vw = static_cast<float>(viewport[2]), vh = static_cast<float>(viewport[3]);
    sx = (nx + 1.0f) * vw * 0.5f + vx;
    sy = vh - (ny + 1.0f) * vh * 0.5f + vy;  // rows from the top, the viewport's top at vy
    sz = (nz + 1.0f) * 0.5f;
    return true;
}

bool unprojectPoint(float sx, float sy, float sz, float& x, float& y, float& z, const int32_t (&viewport)[4],
                    const float (&projection)[16], const float (&modelview)[16]) {
    float product[16], inverse[16];
    glmatrix::multiply(projection, modelview, product);
    if (!invertByCofactors(product, inverse)) {
        static constexpr float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        std::memcpy(inverse, kIdentity, sizeof inverse);
    }
    const float vx = static_cast<float>(viewport[0]), vy = static_cast<float>(viewport[1]);
    const float vw = static_cast<float>(viewport[2]), vh = static_cast<float>(viewport[3]);
    // Rows from the top, as projectPoint gives them.
    const float normalised[4] = {(sx - vx) / vw * 2.0f - 1.0f, 1.0f - (sy - vy) / vh * 2.0f, sz * 2.0f - 1.0f, 1.0f};
    float r[4];
    glmatrix::transform(inverse, normalised, r);
    if (r[3] == 0.0f) return false;
    x = r[0] / r[3];
    y = r[1] / r[3];
    z = r[2] / r[3];
    return true;
}
