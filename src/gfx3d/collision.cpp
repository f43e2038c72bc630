// Sphere, box and ray collision against the triangles of object slots.
#include "gfx3d/collision.h"

#include <algorithm>
#include <cmath>

#include "gfx2d/gl_matrix.h"
#include "gfx3d/rainbows3d.h"
#include "gfx3d/render_state.h"

namespace {

constexpr float kFullTurnShare = 6.2203536f;  // 0.99 x 2 pi

// The frame's triangle list when the frame exists and holds a triangle.
const MeshFrame* frameToTest(const MeshObjectX* part, int32_t frame) {
    if (part == nullptr || frame < 0 || frame >= part->frames.count) return nullptr;
    const MeshFrame& f = part->frames.data[frame];
    return f.triangles.count > 2 ? &f : nullptr;
}

Vec3 column(const float* m, int c) { return {m[c * 4], m[c * 4 + 1], m[c * 4 + 2]}; }

// The farthest corner of the box (centre + a sum of +-a, +-b, +-c) from its centre.
float boxReach(const Vec3& a, const Vec3& b, const Vec3& c) {
    const float squared = std::max({lengthSquared(a + b + c), lengthSquared(a + b - c), lengthSquared(a - b + c),
                                    lengthSquared(a - b - c)});
    return std::sqrt(squared);
}

// True when the line through `start` along `direction` (both ways, as the
// ray test counts hits behind the start) passes the sphere so far off that
// no triangle inside it can meet the line. Worked in doubles, with room of
// 1e-4 of the lengths involved for the rounding of the carried triangles
// and of the float triangle test, so a triangle the test would report is
// never passed over. NaN or infinite bounds reject nothing.
bool lineMissesSphere(const Vec3& start, const Vec3& direction, const Vec3& centre, float radius) {
    const double c[3] = {centre.x, centre.y, centre.z};
    const double w[3] = {c[0] - start.x, c[1] - start.y, c[2] - start.z};  // start to centre
    const double d[3] = {direction.x, direction.y, direction.z};
    const double dd = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
    const double along = dd > 0.0 ? (w[0] * d[0] + w[1] * d[1] + w[2] * d[2]) / dd : 0.0;
    double offSquared = 0.0, wSquared = 0.0, cSquared = 0.0;
    for (int i = 0; i < 3; ++i) {
        const double off = w[i] - d[i] * along;  // the line's nearest point to the centre
        offSquared += off * off;
        wSquared += w[i] * w[i];
        cSquared += c[i] * c[i];
    }
    const double reach = radius + 1e-4 * (radius + std::sqrt(wSquared) + std::sqrt(cSquared));
    return offSquared > reach * reach;
}

}  // namespace

ObjectPlacement::ObjectPlacement(Rainbows3D& renderer) {
    renderer.updateObjectMatrix();
    matrix_ = &renderer.currentTransform().matrix;
    const float(&m)[16] = *matrix_;
    identity_ = render3d::upperIsIdentity(m) && m[12] == 0.0f && m[13] == 0.0f && m[14] == 0.0f;
}

Vec3 ObjectPlacement::toWorld(const Vec3& p) const {
    if (identity_) return p;
    const float in[3] = {p.x, p.y, p.z};
    float out[3];
    glmatrix::transformPoint(*matrix_, in, out);
    return vec3(out);
}

void ObjectPlacement::triangle(const MeshFrame& frame, int32_t first, Vec3 (&out)[3]) const {
    for (int32_t k = 0; k < 3; ++k) out[k] = toWorld(positionOf(frame.triangles.data[first + k]));
}

void ObjectPlacement::bounds(const MeshFrame& frame, Vec3& centre, float& radius) const {
    centre = toWorld(vec3(frame.centre));
    radius = identity_ ? frame.radius : frame.radius * render3d::largestStretch(*matrix_);
}

// --- Triangle routines ---

int32_t collideSphereTriangle(const Vec3* vertices, const Vec3& centre, int32_t count, float radius) {
    const Vec3 normal = normalisedOrKept(cross(vertices[2] - vertices[0], vertices[1] - vertices[0]));
    const float distance = dot(normal, centre) - dot(normal, vertices[0]);
    if (std::fabs(distance) >= radius) return 0;
    const Vec3 foot = centre - normal * distance;
    if (pointInPolygon(foot, vertices, count)) return 1;
    return sphereTouchesEdges(centre, vertices, count, radius);
}

int32_t pointInPolygon(const Vec3& point, const Vec3* vertices, int32_t count) {
    float sum = 0.0f;
    for (int32_t i = 0; i < count; ++i) {
        const Vec3 a = vertices[i] - point, b = vertices[(i + 1) % count] - point;
        const float m = lengthOrZero(a) * lengthOrZero(b);
        if (m <= 1e-8f) continue;
        sum += std::acos(std::clamp(dot(a, b) / m, -1.0f, 1.0f));
    }
    return sum >= kFullTurnShare ? 1 : 0;
}

int32_t sphereTouchesEdges(const Vec3& centre, const Vec3* vertices, int32_t count, float radius) {
    for (int32_t i = 0; i < count; ++i) {
        const Vec3& from = vertices[i];
        const Vec3& to = vertices[(i + 1) % count];
        const float length = std::sqrt(lengthSquared(to - from));
        Vec3 nearest = from;
        if (length >= 1e-8f) {
            const Vec3 along = (to - from) / length;
            const float t = dot(along, centre - from);
            if (t >= length) nearest = to;
            else if (t > 0.0f) nearest = from + along * t;
        }
        if (lengthSquared(centre - nearest) < radius * radius) return 1;
    }
    return 0;
}

int32_t boxTriangleOverlap(const Vec3& centre, const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& t0,
                           const Vec3& t1, const Vec3& t2) {
    const Vec3 e0 = t1 - t0, e1 = t2 - t1, e2 = t0 - t2;
    const Vec3 axes[13] = {a,           b,           c,           cross(e0, e1), cross(a, e0),
                           cross(a, e1), cross(a, e2), cross(b, e0), cross(b, e1),  cross(b, e2),
                           cross(c, e0), cross(c, e1), cross(c, e2)};
    for (const Vec3& axis : axes) {
        const float r = std::fabs(dot(a, axis)) + std::fabs(dot(b, axis)) + std::fabs(dot(c, axis));
        const float p = dot(centre, axis);
        const float p0 = dot(t0, axis), p1 = dot(t1, axis), p2 = dot(t2, axis);
        if (std::max({p0, p1, p2}) < p - r || std::min({p0, p1, p2}) > p + r) return 0;
    }
    return 1;
}

double rayTriangleDistance(const Vec3 (&triangle)[3], const Vec3& start, const Vec3& end) {
    const Vec3 e1 = triangle[1] - triangle[0], e2 = triangle[2] - triangle[0];
    const Vec3 n = cross(e1, e2);
    if (n.x == 0.0f && n.y == 0.0f && n.z == 0.0f) return 0.0;
    const Vec3 direction = end - start;
    const float den = dot(n, direction);
    if (den == 0.0f) return 0.0;
    const float t = -dot(n, start - triangle[0]) / den;
    const Vec3 w = start + direction * t - triangle[0];
    const float uu = dot(e1, e1), uv = dot(e1, e2), vv = dot(e2, e2), wu = dot(w, e1), wv = dot(w, e2);
    const float k = uv * uv - uu * vv;
    if (k == 0.0f) return 0.0;
    const float s = (uv * wv - vv * wu) / k;
    if (s < 0.0f || s > 1.0f) return 0.0;
    const float q = (uv * wu - uu * wv) / k;
    if (q < 0.0f || s + q > 1.0f) return 0.0;
    return t;
}

int32_t sphereBoxOverlap(const Vec3& p, float rr, float hx, float hy, float hz) {
    float sum = 0.0f;
    const float point[3] = {p.x, p.y, p.z}, half[3] = {hx, hy, hz};
    for (int i = 0; i < 3; ++i) {
        if (point[i] < -half[i]) sum += (point[i] + half[i]) * (point[i] + half[i]);
        else if (point[i] > half[i]) sum += (point[i] - half[i]) * (point[i] - half[i]);
    }
    return sum <= rr ? 1 : 0;
}

Vec3 intersectRayPlane(const Vec3& normal, const Vec3& p0, const Vec3& p1, float d) {
    const Vec3 along = p1 - p0;
    const float length = lengthOrZero(along);
    const Vec3 u = length != 0.0f ? along / length : along;
    const float den = dot(normal, u);
    if (den == 0.0f) return p0;
    const float t = -(dot(normal, p0) + d) / den;
    return p0 + u * t;
}

int32_t intersectRayTriangle(const Vec3* vertices, const Vec3& p0, const Vec3& p1, int32_t count) {
    const Vec3 normal = normalisedOrKept(cross(vertices[2] - vertices[0], vertices[1] - vertices[0]));
    const float d = -dot(normal, vertices[0]);
    if (!((dot(normal, p1) + d) * (dot(normal, p0) + d) < 0.0f)) return 0;
    return pointInPolygon(intersectRayPlane(normal, p0, p1, d), vertices, count);
}

int32_t classifySpherePlane(const Vec3& centre, const Vec3& normal, const Vec3& planePoint, float radius,
                            float& distance) {
    distance = dot(normal, centre) - dot(normal, planePoint);
    if (std::fabs(distance) < radius) return 1;
    if (distance > radius) return 2;
    return 0;
}

// --- Per part ---

int32_t Rainbows3D::collideSphere(MeshObjectX* part, int32_t frame, float radius, const float (&centre)[3]) {
    lastHitVertex = -1;
    const MeshFrame* f = frameToTest(part, frame);
    if (f == nullptr) return 0;
    const ObjectPlacement place(*this);
    const Vec3 c = vec3(centre);
    Vec3 frameCentre;
    float frameRadius = 0.0f;
    place.bounds(*f, frameCentre, frameRadius);
    const float reach = radius + frameRadius;
    if (reach * reach < lengthSquared(c - frameCentre)) return 0;
    if (lengthSquared(c - place.toWorld(positionOf(f->triangles.data[0]))) <= radius * radius) return 1;
    for (int32_t i = 0; i + 2 < f->triangles.count; i += 3) {
        Vec3 triangle[3];
        place.triangle(*f, i, triangle);
        if (collideSphereTriangle(triangle, c, 3, radius)) {
            lastHitVertex = i;
            return 1;
        }
    }
    return 0;
}

int32_t Rainbows3D::collideBoxPart(MeshObjectX* part, int32_t frame, const float (&centre)[3], const float (&a)[3],
                                   const float (&b)[3], const float (&c)[3]) {
    lastHitVertex = -1;
    const MeshFrame* f = frameToTest(part, frame);
    if (f == nullptr) return 0;
    const ObjectPlacement place(*this);
    const Vec3 p = vec3(centre), axisA = vec3(a), axisB = vec3(b), axisC = vec3(c);
    Vec3 frameCentre;
    float frameRadius = 0.0f;
    place.bounds(*f, frameCentre, frameRadius);
    // Apart when the box's farthest corner and the bounding sphere cannot meet.
    const float reach = boxReach(axisA, axisB, axisC) + frameRadius;
    if (lengthSquared(p - frameCentre) > reach * reach) return 0;
    for (int32_t i = 0; i + 2 < f->triangles.count; i += 3) {
        Vec3 t[3];
        place.triangle(*f, i, t);
        if (boxTriangleOverlap(p, axisA, axisB, axisC, t[0], t[1], t[2])) {
            lastHitVertex = i;
            return 1;
        }
    }
    return 0;
}

double Rainbows3D::rayDistance(MeshObjectX* part, int32_t frame, const float (&start)[3],
                               const float (&direction)[3]) {
    const MeshFrame* f = frameToTest(part, frame);
    if (f == nullptr) return 0.0;
    float front = 0.0f, back = 0.0f;
    int32_t frontIndex = -1, backIndex = -1;
    const ObjectPlacement place(*this);
    const Vec3 s = vec3(start);
    const Vec3 u = normalisedOrKept(vec3(direction));
    const Vec3 e = s + u;
    Vec3 frameCentre;
    float frameRadius = 0.0f;
    place.bounds(*f, frameCentre, frameRadius);
    if (lineMissesSphere(s, u, frameCentre, frameRadius)) {  // what visiting every triangle would find
        lastHitVertex = -1;
        return 0.0;
    }
    for (int32_t i = 0; i + 2 < f->triangles.count; i += 3) {
        Vec3 t[3];
        place.triangle(*f, i, t);
        const float d = static_cast<float>(rayTriangleDistance(t, s, e));
        if (d > 0.0f && (front == 0.0f || d < front)) {
            front = d;
            frontIndex = i;
        } else if (d < 0.0f && (back == 0.0f || d > back)) {
            back = d;
            backIndex = i;
        }
    }
    if (front != 0.0f) {
        lastHitVertex = frontIndex;
        return front;
    }
    lastHitVertex = backIndex;
    return back;
}

// --- Per slot ---

int32_t Rainbows3D::collideSphereSlot(int32_t number, int32_t frame, float radius, const float (&centre)[3]) {
    Object3DSlot* s = slot(number);
    if (s == nullptr) return 0;
    for (int32_t p = 0; p < s->parts.count; ++p) {
        if (collideSphere(&s->parts.data[p], frame, radius, centre)) return 1;
    }
    return 0;
}

int32_t Rainbows3D::collideBoxSlot(int32_t number, int32_t frame, const float (&centre)[3], const float (&a)[3],
                                   const float (&b)[3], const float (&c)[3]) {
    Object3DSlot* s = slot(number);
    if (s == nullptr) return 0;
    for (int32_t p = 0; p < s->parts.count; ++p) {
        if (collideBoxPart(&s->parts.data[p], frame, centre, a, b, c)) return 1;
    }
    return 0;
}

double Rainbows3D::rayDistanceSlot(int32_t number, int32_t frame, const float (&start)[3],
                                   const float (&direction)[3]) {
    Object3DSlot* s = slot(number);
    if (s == nullptr) return 0.0;
    double nearestAhead = 0.0, nearestBehind = 0.0;
    for (int32_t p = 0; p < s->parts.count; ++p) {
        const double d = rayDistance(&s->parts.data[p], frame, start, direction);
        if (d > 0.0 && (nearestAhead == 0.0 || d < nearestAhead)) nearestAhead = d;
        if (d < 0.0 && (nearestBehind == 0.0 || d > nearestBehind)) nearestBehind = d;
    }
    return nearestAhead != 0.0 ? nearestAhead : nearestBehind;
}

int32_t Rainbows3D::collideSphereBox(const float (&point)[3], float squaredRadius, float hx, float hy, float hz) {
    // The box turns and scales with the transform; distances stay in world
    // units: the point is measured along each unit column, and each half
    // size stretched by its column's length.
    updateObjectMatrix();
    const float* m = currentTransform().matrix;
    const Vec3 d = vec3(point) - Vec3{m[12], m[13], m[14]};
    float local[3], half[3] = {hx, hy, hz};
    for (int c = 0; c < 3; ++c) {
        const float length = std::sqrt(lengthSquared(column(m, c)));
        local[c] = length > 0.0f ? dot(column(m, c), d) / length : 0.0f;
        half[c] *= length;
    }
    return sphereBoxOverlap({local[0], local[1], local[2]}, squaredRadius, half[0], half[1], half[2]);
}
